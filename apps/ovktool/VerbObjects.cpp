// ovktool's object verbs: the objects of an ebook, one object in full, the chapter tree, the
// property list, one attribute, and extraction of carried files. Each verb opens the ebook as
// the reader does; text from the ebook is printed as UTF-8 through the ebook's code page.
#include "Verbs.h"

#include "document/ChapterTree.h"
#include "document/TOVKset.h"
#include "objects/AttributeText.h"
#include "objects/FieldList.h"
#include "objects/SafeStoredName.h"
#include "objects/TOVKoggetto.h"
#include "platform/CodePage.h"
#include "platform/Messages.h"

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>

namespace ovktool {

namespace {

using morvell::TOggettiHel;
using morvell::TOVKoggetto;
using morvell::TOVKset;
using Json = nlohmann::ordered_json;

// The tool's own texts.
constexpr const char* kNoObject = "no object ";
constexpr const char* kUnknownKind = "unknown object kind ";
constexpr const char* kNoAttribute = "no attribute ";
constexpr const char* kNotAFile = " carries no file (only genLink and immagine objects do)";
constexpr const char* kNoStoredName = " has no stored file name";
constexpr const char* kDataOutsideFile = " has file data that lies outside the ebook";
constexpr const char* kNoFolder = " is not a folder";
constexpr const char* kCannotWrite = "cannot write ";
// How many "name (n).ext" names extract tries before it gives up.
constexpr int kMaxNameTries = 1000;

std::optional<std::int32_t> ParseRef(const std::string& text) {
    try {
        std::size_t used = 0;
        const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
        const long long v = hex ? static_cast<long long>(std::stoull(text.substr(2), &used, 16))
                                : std::stoll(text, &used, 10);
        if (used != (hex ? text.size() - 2 : text.size())) return std::nullopt;
        if (v < INT32_MIN || v > static_cast<long long>(UINT32_MAX)) return std::nullopt;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string RefText(std::int32_t ref) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(ref));
    return buf;
}

// The document's open prints its own boxes on stderr; a failed open is the verb's failure.
bool Open(TOVKset& doc, const std::string& path) { return doc.SetOVKFileName(path); }

std::string Utf8(TOVKset& doc, const std::string& bytes) {
    return morvell::CodePage::ToUtf8(bytes, doc.CharSet());
}

// Length of the data block without reading it: a file-backed block counts only when it lies
// inside the ebook, as only then can it be read.
std::int64_t DataLength(const TOVKset& doc, const TOVKoggetto& o) {
    if (!o.HasData()) return 0;
    if (!o.IsFileBacked()) return static_cast<std::int64_t>(o.DataBytes().size());
    const std::int64_t pos = o.FileBlockPosition(), len = o.FileBlockLength();
    if (pos < 0 || len < 0 || pos > doc.FileSize() || len > doc.FileSize() - pos) return 0;
    return len;
}

bool CarriesFile(const TOVKoggetto& o) {
    switch (o.Kind()) {
    case TOggettiHel::genLink:
    case TOggettiHel::zipLink:
    case TOggettiHel::immagine:
    case TOggettiHel::mappaClic:
        return true;
    default:
        return false;
    }
}

Json Summary(TOVKset& doc, const TOVKoggetto& o) {
    Json j;
    j["ref"] = RefText(o.Reference());
    j["kind"] = static_cast<int>(o.Kind());
    j["kindName"] = std::string(morvell::KindName(o.Kind()));
    j["index"] = o.Index();
    j["free"] = o.IsFree();
    j["name"] = Utf8(doc, o.DisplayName());
    j["describe"] = Utf8(doc, o.Describe());
    j["storedFileName"] = Utf8(doc, o.StoredFileName());
    j["dataLength"] = DataLength(doc, o);
    j["extraLength"] = o.HasExtra() ? static_cast<std::int64_t>(o.Extra().size()) : 0;
    return j;
}

std::optional<TOggettiHel> ParseKind(const std::string& text) {
    if (auto k = morvell::KindFromName(text)) return k;
    try {
        std::size_t used = 0;
        const int n = std::stoi(text, &used);
        if (used == text.size() && n >= 0 && n < morvell::kKindCount) return static_cast<TOggettiHel>(n);
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

TOVKoggetto* FindObject(TOVKset& doc, const std::string& refText) {
    auto ref = ParseRef(refText);
    TOVKoggetto* o = ref ? doc.ObjectByRef(*ref) : nullptr;
    if (!o) morvell::Msg().Error(kNoObject + refText);
    return o;
}

// --- objects -----------------------------------------------------------------------------------

int RunObjects(const Args& args) {
    std::optional<TOggettiHel> only;
    if (args.size() == 3 && args[1] == "--kind") {
        only = ParseKind(args[2]);
        if (!only) {
            morvell::Msg().Error(kUnknownKind + args[2]);
            return 1;
        }
    } else if (args.size() != 1) {
        return UsageError("objects");
    }
    TOVKset doc;
    if (!Open(doc, args[0])) return 1;
    for (int k = 0; k < morvell::kKindCount; ++k) {
        const auto kind = static_cast<TOggettiHel>(k);
        if (only && *only != kind) continue;
        for (int i = 0; i < doc.Count(kind); ++i)
            if (const TOVKoggetto* o = doc.Object(kind, i)) std::cout << Summary(doc, *o).dump() << "\n";
    }
    return 0;
}

// --- object ------------------------------------------------------------------------------------

std::string LowerHex(const morvell::OVKRecord& record) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (std::uint8_t b : record.Bytes()) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

Json FieldsOf(TOVKset& doc, const std::string& data) {
    const std::vector<std::string> lines = morvell::ParseFieldLines(data);
    Json fields = Json::object();
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string name = Utf8(doc, lines[i]);
        if (!fields.contains(name)) fields[name] = Utf8(doc, morvell::FindField(lines, lines[i]));
    }
    return fields;
}

int RunObject(const Args& args) {
    if (args.size() != 2 || !ParseRef(args[1])) return UsageError("object");
    TOVKset doc;
    if (!Open(doc, args[0])) return 1;
    TOVKoggetto* o = FindObject(doc, args[1]);
    if (!o) return 1;
    Json j = Summary(doc, *o);
    j["record"] = LowerHex(o->Record());
    j["attributes"] = Utf8(doc, o->AttributeText());
    if (o->Kind() == TOggettiHel::dbloc) j["fields"] = FieldsOf(doc, o->DataBytes());
    std::cout << j.dump(2) << "\n";
    return 0;
}

// --- tree --------------------------------------------------------------------------------------

const char* NodeKindText(morvell::TOVKNodeKind kind) {
    switch (kind) {
    case morvell::TOVKNodeKind::Root:
        return "root";
    case morvell::TOVKNodeKind::Chapter:
        return "chapter";
    case morvell::TOVKNodeKind::Leaf:
        return "leaf";
    case morvell::TOVKNodeKind::Plain:
        return "plain";
    }
    return "plain";
}

int RunTree(const Args& args) {
    const bool custom = args.size() == 2 && args[1] == "--custom";
    if (args.size() != 1 && !custom) return UsageError("tree");
    TOVKset doc;
    if (!Open(doc, args[0])) return 1;
    morvell::TOVKOutline tree;
    tree.SetObjects(custom ? TOggettiHel::custom : TOggettiHel::testoHtml);
    tree.SetLinkedOVKset(&doc);
    tree.Reload();
    for (const morvell::TOVKOutlineNode* n : tree.NodesInOrder()) {
        std::cout << std::string(2 * static_cast<std::size_t>(n->Level()), ' ') << NodeKindText(n->Kind());
        if (n->Kind() == morvell::TOVKNodeKind::Leaf) std::cout << ' ' << n->Reference();
        std::cout << ": " << Utf8(doc, n->Caption()) << "\n";
    }
    tree.SetLinkedOVKset(nullptr);
    return 0;
}

// --- props and attr ----------------------------------------------------------------------------

int RunProps(const Args& args) {
    if (args.size() != 1) return UsageError("props");
    TOVKset doc;
    if (!Open(doc, args[0])) return 1;
    std::cout << FieldsOf(doc, doc.PropertyList()->DataBytes()).dump() << "\n";
    return 0;
}

int RunAttr(const Args& args) {
    if (args.size() != 3 || !ParseRef(args[1])) return UsageError("attr");
    TOVKset doc;
    if (!Open(doc, args[0])) return 1;
    TOVKoggetto* o = FindObject(doc, args[1]);
    if (!o) return 1;
    bool found = false;
    const std::string value = o->GetAttribute(morvell::CodePage::FromUtf8(args[2], doc.CharSet()), &found);
    if (!found) {
        morvell::Msg().Error(kNoAttribute + args[2]);
        return 1;
    }
    std::cout << Utf8(doc, value) << "\n";
    return 0;
}

// --- extract -----------------------------------------------------------------------------------

// Creates `dir`/`name`, or "stem (2).ext", "stem (3).ext" … when that exists, exclusively and
// without following links: a file or link planted under the name is never written through.
// Returns the descriptor and sets `path`; -1 when no name is free or creation fails.
int CreateFree(const std::filesystem::path& dir, const std::string& name, std::string& path) {
    const std::string ext = morvell::ExtensionOf(name);
    const std::string stem = name.substr(0, name.size() - ext.size());
    for (int n = 1; n <= kMaxNameTries; ++n) {
        std::string candidate = name;
        if (n > 1) {
            const std::string suffix = " (" + std::to_string(n) + ")";
            // Keep the whole name within the 255 bytes a file name may have.
            const std::size_t room = 255 - std::min<std::size_t>(255, suffix.size() + ext.size());
            candidate = stem.substr(0, std::min(stem.size(), room)) + suffix + ext;
        }
        path = (dir / candidate).string();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0) return fd;
        if (errno != EEXIST) return -1;
    }
    return -1;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

int RunExtract(const Args& args) {
    if ((args.size() != 2 && args.size() != 3) || !ParseRef(args[1])) return UsageError("extract");
    const std::filesystem::path dir = args.size() == 3 ? std::filesystem::path(args[2]) : ".";
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
        morvell::Msg().Error(dir.string() + kNoFolder);
        return 1;
    }
    TOVKset doc;
    if (!Open(doc, args[0])) return 1;
    TOVKoggetto* o = FindObject(doc, args[1]);
    if (!o) return 1;
    if (!CarriesFile(*o) || o->IsFree()) {
        morvell::Msg().Error(args[1] + kNotAFile);
        return 1;
    }
    const std::string stored = Utf8(doc, o->StoredFileName());
    if (stored.empty()) {
        morvell::Msg().Error(args[1] + kNoStoredName);
        return 1;
    }
    if (o->IsFileBacked() && DataLength(doc, *o) != o->FileBlockLength()) {
        morvell::Msg().Error(args[1] + kDataOutsideFile);
        return 1;
    }
    const std::string bytes = o->DataBytes();
    std::string path;
    const int fd = CreateFree(dir, morvell::SafeStoredName(stored), path);
    if (fd < 0) {
        morvell::Msg().Error(kCannotWrite + path + ": " + std::strerror(errno));
        return 1;
    }
    const bool written = WriteAll(fd, bytes);
    if (::close(fd) != 0 || !written) {
        const int err = errno;
        ::unlink(path.c_str());
        morvell::Msg().Error(kCannotWrite + path + ": " + std::strerror(err));
        return 1;
    }
    std::cout << path << "\n";
    return 0;
}

VerbRegistrar g_objects({"objects", "objects FILE [--kind K]",
                         "one JSON line per object (K a kind number or name)", RunObjects});
VerbRegistrar g_object({"object", "object FILE REF",
                        "one object in full: record, attributes and a data object's fields", RunObject});
VerbRegistrar g_tree({"tree", "tree FILE [--custom]", "the chapter tree (or the custom-object tree)",
                      RunTree});
VerbRegistrar g_props({"props", "props FILE", "the ebook's property list as JSON", RunProps});
VerbRegistrar g_attr({"attr", "attr FILE REF NAME", "an attribute of object REF; exit 1 when it has none",
                      RunAttr});
VerbRegistrar g_extract({"extract", "extract FILE REF [DIR]",
                         "writes the file carried by object REF into DIR (default .) and prints its path",
                         RunExtract});

} // namespace

} // namespace ovktool
