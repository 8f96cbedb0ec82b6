#include "objects/TOVKoggetto.h"

#include "document/OVKHeader.h"
#include "document/TOVKset.h"
#include "objects/AttributeText.h"
#include "objects/Entities.h"
#include "objects/FieldList.h"
#include "objects/ObjectTexts.h"
#include "objects/SafeStoredName.h"
#include "objects/TOVKtesto.h"
#include "objects/TOVKpicture.h"
#include "objects/Visual.h"
#include "objects/picture/PictureServices.h"
#include "platform/CodePage.h"
#include "platform/Messages.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace morvell {

using K = TOggettiHel;

namespace {

// References between objects may form cycles (a marker pointing at itself, special links
// pointing back); names and hints follow them at most this deep.
constexpr int kMaxDepth = 8;

OldMarkupConverter g_oldMarkupConverter = nullptr;

int Status(const OVKRecord& r) { return r.U8(4); }

bool In(K kind, K first, K last) {
    return static_cast<int>(kind) >= static_cast<int>(first) &&
           static_cast<int>(kind) <= static_cast<int>(last);
}

std::mt19937& Random() {
    static std::mt19937 engine{std::random_device{}()};
    return engine;
}

std::string Hex(std::uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.starts_with(prefix); }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && LowerAscii(text.substr(0, prefix.size())) == LowerAscii(prefix);
}

void AppendI32(std::string& out, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((u >> (8 * i)) & 0xFF);
}

// Field positions of a kind's stored file name, for the uniqueness check at load time.
struct NameField {
    int offset;
    int capacity;
};
std::optional<NameField> StoredNameField(K kind) {
    switch (kind) {
    case K::zipLink:
    case K::genLink:
        return NameField{5, 78};
    case K::immagine:
    case K::mappaClic:
        return NameField{94, 75};
    default:
        return std::nullopt;
    }
}

// A stored name as it would name a file: a folder part and a trailing-space difference never
// make two names different.
bool SameStoredName(const std::string& a, const std::string& b) { return LowerAscii(a) == LowerAscii(b); }

// Reads a whole external file, refusing anything that is not a regular file.
bool ReadExternalFile(const std::string& path, std::string& out) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace

void SetOldMarkupConverter(OldMarkupConverter converter) { g_oldMarkupConverter = converter; }

// --- construction --------------------------------------------------------------------------

TOVKoggetto::TOVKoggetto() = default;

TOVKoggetto::~TOVKoggetto() {
    // While the document closes it releases its whole cache itself.
    if (m_document && !m_document->Closing() && (m_kind == K::immagine || m_kind == K::immagineNew))
        m_document->ReleasePicturesOf(this);
}

std::unique_ptr<TOVKoggetto> TOVKoggetto::Create(TOggettiHel kind) {
    if (kind == K::testoHtml) return std::make_unique<TOVKtesto>();
    auto object = std::make_unique<TOVKoggetto>();
    object->m_kind = kind;
    return object;
}

std::unique_ptr<TOVKoggetto> TOVKoggetto::NewInstance() const { return std::make_unique<TOVKoggetto>(); }

void TOVKoggetto::SetKind(TOggettiHel kind) {
    if (m_registered && kind != m_kind && m_document) {
        m_document->ForgetObject(this);
        m_registered = false;
    }
    m_kind = kind;
}

int TOVKoggetto::ControlNumber() const { return m_visual ? m_visual->Number() : m_controlNumber; }

// --- blocks --------------------------------------------------------------------------------

const std::string& TOVKoggetto::Extra() const {
    static const std::string kEmpty;
    return m_extra ? *m_extra : kEmpty;
}

std::string TOVKoggetto::AttributeText() const {
    if (!m_extra) return {};
    return std::string(SplitExtra(*m_extra).text);
}

std::int64_t TOVKoggetto::FileBlockPosition() const {
    return static_cast<std::int64_t>(m_record.I32(0)) + (m_document ? m_document->DataBase() : 0);
}

std::int64_t TOVKoggetto::FileBlockLength() const {
    switch (m_kind) {
    case K::zipLink:
    case K::genLink:
        return m_record.I32(85);
    case K::immagine:
    case K::mappaClic:
        return m_record.I32(174);
    default:
        return 0;
    }
}

std::string TOVKoggetto::DataBytes() const {
    if (m_data) return *m_data;
    std::string out;
    if (m_fileBacked && m_document) m_document->ReadFileBlock(FileBlockPosition(), FileBlockLength(), out);
    return out;
}

void TOVKoggetto::SetData(std::string bytes) {
    m_data = std::move(bytes);
    m_fileBacked = false;
    m_fields.reset();
}

void TOVKoggetto::DropData() {
    m_data.reset();
    m_fileBacked = false;
    m_fields.reset();
}

// --- loading -------------------------------------------------------------------------------

void TOVKoggetto::LoadRecord(ByteSpan stored) {
    m_record.Fill(0xFF);
    const int length = static_cast<int>(std::min<std::size_t>(stored.size(), OVKRecord::kSize));
    for (int i = 0; i < length; ++i) m_record.SetU8(i, stored[static_cast<std::size_t>(i)]);
    m_data.reset();
    m_extra.reset();
    m_fields.reset();
    m_fileBacked = false;

    bool clear = false;
    const std::int32_t revision = m_document ? m_document->Revision() : 0;
    auto& r = m_record;
    switch (m_kind) {
    case K::testoHtml:
        if (length < 243) {
            r.SetI16(191, 1040);
            r.SetU8(195, 1);
            r.SetI32(196, revision - 1);
            r.SetU8(200, 0);
            r.SetI16(221, 5);
            r.SetI32(227, -1);
            r.SetI32(231, -1);
            r.SetI32(235, -1);
            r.SetI32(223, -1);
            r.SetU8(194, 0);
        }
        break;
    case K::internetLink: {
        int sub = Status(r);
        if (sub < 5 || sub > 8) {
            std::string address = r.Str(5, 127);
            if (StartsWith(address, objtext::kVoskPrefix)) sub = 6;
            if (StartsWith(address, objtext::kHttpPrefix)) sub = 7;
            if (StartsWith(address, objtext::kMailtoPrefix)) sub = 8;
            r.SetU8(4, static_cast<std::uint8_t>(sub));
        }
        break;
    }
    case K::zipLink:
    case K::genLink:
        if (length < 93) {
            r.SetI32(89, revision - 1);
            MakeStoredNameUnique(5, 78);
        }
        break;
    case K::immagine:
        if (length < 667) {
            if (r.Str(94, 75).empty()) clear = true;
            MakeStoredNameUnique(94, 75);
            r.SetI32(662, -1);
            r.SetU8(666, 0);
            r.SetI32(77, revision - 1);
        }
        break;
    case K::mappaClic:
        MakeStoredNameUnique(94, 75);
        break;
    case K::tabellaHtml:
        if (length < 220) {
            r.SetU8(219, 1);
            r.SetI16(56, 300);
            r.FillRange(5, 50, 0);
            std::string oldWidths = r.Raw(97, 50);
            for (int i = 0; i < 50; ++i)
                r.SetI16(97 + 2 * i, static_cast<std::uint8_t>(oldWidths[static_cast<std::size_t>(i)]));
            r.SetU8(55, 1);
        }
        break;
    case K::bottoneCGI:
        if (length < 195) r.SetI16(186, -1);
        break;
    case K::multiMedia: {
        int media = Status(r);
        if (media != 5 && media != 6 && r.I32(17) != -1)
            r.SetI32(17, static_cast<std::int32_t>(r.U32(17) | 0x03000000u));
        break;
    }
    default:
        break;
    }

    ReadBlocks(length, clear);
    m_registered = true;
    if (clear) Reset();
}

void TOVKoggetto::MakeStoredNameUnique(int offset, int capacity) {
    std::string name = FileNamePart(m_record.Str(offset, capacity));
    if (m_document) {
        static constexpr K kKinds[] = {K::genLink, K::zipLink, K::immagine, K::mappaClic};
        // A document of many same-named files needs a new name per clash; the bound only stops
        // a pathological random sequence.
        for (int attempt = 0; attempt < 100000; ++attempt) {
            bool clash = false;
            for (K kind : kKinds) {
                auto field = StoredNameField(kind);
                const int count = m_document->Count(kind);
                for (int i = 0; i < count && !clash; ++i) {
                    const TOVKoggetto* other = m_document->Object(kind, i);
                    if (!other || other == this) continue;
                    clash = SameStoredName(FileNamePart(other->m_record.Str(field->offset, field->capacity)),
                                           name);
                }
                if (clash) break;
            }
            if (!clash) break;
            std::uniform_int_distribution<std::uint32_t> below(0, 0xFFFFFF);
            name = "ed" + Hex(below(Random()), 6) + ExtensionOf(name);
        }
    }
    m_record.SetStr(offset, capacity, name);
}

void TOVKoggetto::ReadBlocks(int storedLength, bool& clear) {
    auto& r = m_record;
    const std::int64_t base = m_document ? m_document->DataBase() : 0;
    const std::int64_t fileSize = m_document && m_document->IsOpen() ? m_document->FileSize() : 0;

    if (!IsFree()) {
        std::optional<std::int64_t> len;
        switch (m_kind) {
        case K::testoHtml:
            len = r.I32(185);
            break;
        case K::zipLink:
        case K::genLink:
        case K::immagine:
        case K::mappaClic:
            // Attachments and pictures stay in the file and are read when they are needed.
            m_fileBacked = m_document && m_document->IsOpen();
            break;
        case K::tabellaHtml:
            len = r.I32(81) == 0 ? 0 : r.I16(85);
            break;
        case K::mappaFrame:
            len = r.I32(85);
            break;
        case K::speclink:
            len = r.I32(5);
            break;
        case K::multiMedia:
            len = r.I32(13) == -1 ? 0 : r.I32(13);
            break;
        case K::shortObj:
        case K::custom:
        case K::dbloc:
        case K::inputStat:
        case K::inputDin:
            len = r.I32(13);
            break;
        default:
            break;
        }
        if (len) {
            const std::int64_t pos = static_cast<std::int64_t>(r.I32(0)) + base;
            std::string block;
            if (*len > 0 && pos >= 0 && pos < fileSize && m_document->ReadFileBlock(pos, *len, block))
                m_data = std::move(block);
            if (!m_data && m_kind == K::testoHtml && storedLength < 243) clear = true;
        }
    }

    int posField = -1;
    switch (m_kind) {
    case K::testoHtml:
        posField = 239;
        break;
    case K::tabellaHtml:
        posField = 58;
        break;
    case K::speclink:
        posField = 39;
        break;
    case K::shortObj:
        posField = 20;
        break;
    case K::custom:
        posField = 72;
        break;
    case K::dbloc:
    case K::multiMedia:
        posField = 38;
        break;
    case K::immagineNew:
        posField = 61;
        break;
    case K::inputStat:
        posField = 184;
        break;
    case K::inputDin:
        posField = 452;
        break;
    case K::bottoneCGI:
        posField = 195;
        break;
    case K::inizioForm:
        posField = 356;
        break;
    default:
        break;
    }
    if (posField < 0) return;
    std::int64_t pos = r.I32(posField);
    std::int64_t len = r.I32(posField + 4);
    if (pos < 0 || len < 0) pos = len = 0;
    pos += base;
    std::string block;
    if (len > 0 && pos < fileSize && m_document->ReadFileBlock(pos, len, block)) {
        if (m_kind == K::immagineNew && block.size() >= 24 && le::I32(AsBytes(block), 0) == 20) {
            // The floating position travels in the binary part of old blocks.
            r.SetBytes(556, std::string_view(block).substr(4, 20));
            std::string rewritten;
            AppendI32(rewritten, 0);
            rewritten.append(block, 24, std::string::npos);
            block = std::move(rewritten);
        }
        m_extra = std::move(block);
    }
}

// --- life cycle ----------------------------------------------------------------------------

bool TOVKoggetto::IsFree() const {
    const int s = Status(m_record);
    switch (m_kind) {
    case K::testoHtml:
    case K::immagine:
        return s == 3;
    case K::internetLink:
    case K::genLink:
        return s == 5;
    case K::keyword:
        return m_record.Str(0, 79) == "-";
    case K::programma:
    case K::mappaFrame:
        return s == 1;
    default:
        if (m_kind == K::tabellaHtml || In(m_kind, K::speclink, K::dbloc) ||
            In(m_kind, K::immagineNew, K::multiMedia))
            return s == 0;
        return false;
    }
}

void TOVKoggetto::Reset() { ResetAt(0); }

void TOVKoggetto::ReleasePictures() {
    if (m_document) m_document->ReleasePicturesOf(this);
    m_ownPicture.reset();
}

void TOVKoggetto::SetOwnPicture(std::unique_ptr<TOVKpicture> picture) { m_ownPicture = std::move(picture); }

TOVKpicture* TOVKoggetto::GetPicture() {
    if (!m_document) return m_ownPicture.get();
    return morvell::GetPicture(*m_document, *this);
}

TOVKpicture* TOVKoggetto::RolloverPicture() {
    if (!m_document) return nullptr;
    return morvell::RolloverPicture(*m_document, *this);
}

void TOVKoggetto::SetStoredPictureSize(std::uint16_t width, std::uint16_t height) {
    m_record.SetU16(85, width);
    m_record.SetU16(87, height);
}

std::int32_t TOVKoggetto::PictureIndex(PictureSlot slot) const { return m_record.I32(static_cast<int>(slot)); }

void TOVKoggetto::SetOriginalAndDisplayedSize(std::int16_t width, std::int16_t height) {
    m_record.SetI16(15, width);
    m_record.SetI16(17, height);
    m_record.SetI16(19, width);
    m_record.SetI16(21, height);
}

void TOVKoggetto::ReleaseOwnedLinks(int depth) {
    auto resetLink = [&](std::int32_t ref) {
        if (ref == -1) return;
        TOVKoggetto* link = Resolve(ref);
        if (link && link != this && link->Kind() == K::speclink) link->ResetAt(depth + 1);
    };
    switch (m_kind) {
    case K::immagine:
        ReleasePictures();
        break;
    case K::immagineNew:
        ReleasePictures();
        for (int i = 0; i < 30; ++i) resetLink(m_record.I32(73 + 16 * i));
        if (IsFloating()) resetLink(m_record.I32(69));
        break;
    case K::shortObj:
        if (Status(m_record) == 13) resetLink(m_record.I32(5));
        break;
    case K::dbloc:
        for (int off = 51; off <= 63; off += 4) resetLink(m_record.I32(off));
        resetLink(m_record.I32(47));
        break;
    case K::bottoneCGI:
        resetLink(m_record.I32(181));
        break;
    default:
        break;
    }
}

void TOVKoggetto::ResetAt(int depth) {
    if (depth <= kMaxDepth) ReleaseOwnedLinks(depth);
    m_record.Fill(0xFF);
    m_fileName.clear();
    ApplyResetDefaults();
    m_data.reset();
    m_fileBacked = false;
    m_extra.reset();
    m_fields.reset();
}

void TOVKoggetto::ApplyResetDefaults() {
    auto& r = m_record;
    const std::int32_t revision = m_document ? m_document->Revision() : 0;
    switch (m_kind) {
    case K::testoHtml: {
        static int s_untitled = 0;
        r.SetU8(4, 3);
        r.SetStr(5, 71, objtext::kUntitledPage + std::to_string(++s_untitled));
        if (m_document) {
            const OVKHeader& h = m_document->Header();
            r.SetU32(101, h.NewPageBackgroundColor());
            r.SetI32(85, h.NewPageBackgroundPicture());
            r.SetU32(89, h.NewPageTextColor());
            r.SetU32(93, h.NewPageLinkColor());
            r.SetU32(97, h.NewPageLink2Color());
        } else {
            r.SetU32(101, 0xF0F0F0);
            r.SetU32(89, 0);
            r.SetU32(93, 0xFF0000);
            r.SetU32(97, 0x0000FF);
        }
        r.SetU8(200, 0);
        r.SetU8(195, 2);
        r.SetI32(196, revision);
        r.SetI16(191, 1040);
        r.SetU8(189, 1);
        break;
    }
    case K::internetLink:
    case K::genLink:
        r.SetU8(4, 5);
        r.SetI32(89, revision);
        break;
    case K::keyword:
        r.SetStr(0, 79, "-");
        break;
    case K::immagine:
        r.SetU8(4, 3);
        r.SetU8(666, 0);
        r.SetI32(77, revision);
        break;
    case K::programma:
        r.SetU8(4, 1);
        break;
    case K::tabellaHtml: {
        r.SetU8(4, 0);
        r.FillRange(5, 50, 1);
        r.SetU8(55, 1);
        static constexpr std::uint8_t kLayout[] = {100, 100, 2, 2, 0, 1, 1, 0, 0};
        for (int i = 0; i < 9; ++i) r.SetU8(88 + i, kLayout[i]);
        for (int i = 0; i < 50; ++i) r.SetI16(97 + 2 * i, 0);
        r.SetI32(197, 0);
        r.SetI32(201, 0);
        r.SetI16(205, 0);
        r.SetU32(211, 0x80000014u);
        r.SetU32(215, 0x80000010u);
        r.SetU8(219, 2);
        break;
    }
    case K::mappaFrame:
        r.SetU8(4, 1);
        r.SetStr(5, 79, objtext::kFrameMapName);
        break;
    case K::custom:
        r.SetU8(4, 0);
        r.SetStr(17, 40, objtext::kNewPrototype);
        break;
    case K::dbloc:
        r.SetU8(4, 0);
        r.SetU8(46, 0);
        r.SetStr(17, 15, objtext::kDataObjectName);
        break;
    case K::stileParagrafo:
        r.Fill(0);
        r.SetStr(39, 32, objtext::kDefaultFontName);
        r.SetI16(72, 10);
        r.SetI16(79, -1);
        r.SetU32(81, 0xFF0000);
        r.SetU8(85, 4);
        r.SetI16(86, 10);
        r.SetI16(88, 10);
        r.SetI16(94, -32000);
        r.SetU8(98, 1);
        break;
    default:
        if (m_kind == K::speclink || m_kind == K::shortObj || m_kind == K::immagineNew ||
            In(m_kind, K::formato, K::multiMedia))
            r.SetU8(4, 0);
        break;
    }
}

void TOVKoggetto::InitNew() {
    std::uint8_t status = 0xFF;
    switch (m_kind) {
    case K::testoHtml:
        status = 0;
        SetData(std::string(objtext::kEmptyPageText, sizeof(objtext::kEmptyPageText)));
        break;
    case K::internetLink:
    case K::genLink:
        status = 4;
        break;
    case K::immagine:
        status = 0;
        break;
    case K::tabellaHtml:
    case K::mappaFrame:
        status = 2;
        break;
    case K::dbloc:
        status = 7;
        break;
    default:
        if (m_kind == K::speclink || m_kind == K::shortObj || m_kind == K::custom ||
            In(m_kind, K::immagineNew, K::multiMedia))
            status = 1;
        break;
    }
    if (status != 0xFF) m_record.SetU8(4, status);
    const std::int32_t revision = m_document ? m_document->Revision() : 0;
    switch (m_kind) {
    case K::testoHtml:
        m_record.SetI32(196, revision);
        break;
    case K::zipLink:
    case K::genLink:
        m_record.SetI32(89, revision);
        break;
    case K::immagine:
    case K::mappaClic:
        m_record.SetI32(77, revision);
        break;
    default:
        break;
    }
}

std::int32_t TOVKoggetto::Register(std::int32_t wanted) {
    if (m_registered || !m_document) return m_index;
    m_index = m_document->RegisterObject(this, wanted);
    m_registered = true;
    return m_index;
}

bool TOVKoggetto::IsFloating() const {
    if (m_kind != K::immagineNew) return false;
    const int placement = m_record.U8(13);
    return placement == 254 || placement == 255;
}

// --- references ----------------------------------------------------------------------------

TOVKoggetto* TOVKoggetto::Resolve(std::int32_t ref) const {
    if (m_ownerText) return m_ownerText->ResolveLocal(ref);
    if (!m_document || ref < 0) return nullptr;
    return m_document->ObjectByRef(ref);
}

TOVKoggetto* TOVKoggetto::ShownObject() const {
    auto picture = [&](std::int32_t index) -> TOVKoggetto* {
        if (!m_document || index < 0 || index > 0xFFFFFF) return nullptr;
        return m_document->Object(K::immagine, index);
    };
    switch (m_kind) {
    case K::testoHtml:
        return picture(m_record.I32(85));
    case K::tabellaHtml: {
        std::uint32_t v = m_record.U32(207);
        if (v >= 0x03000000u && v <= 0x03FFFFFFu) return picture(static_cast<std::int32_t>(v & 0xFFFFFF));
        return nullptr;
    }
    case K::immagineNew:
        return picture(m_record.I32(0));
    case K::inputStat:
        if (Status(m_record) != 18 || !m_document) return nullptr;
        if (m_record.I32(108) < 0) return nullptr;
        return m_document->Object(K::testoHtml, m_record.I32(108));
    case K::bottoneCGI:
        if (m_record.I32(177) == -1) return nullptr;
        return picture(ReferenceIndex(m_record.I32(177)));
    case K::multiMedia: {
        std::int32_t ref = m_record.I32(17);
        if (ref == -1) return nullptr;
        // Old media references were indexes; one that escaped the load-time upgrade still
        // names its genLink, but it is worth telling.
        if (ReferenceKind(ref) == 0) Msg().Information(objtext::kBugInAux);
        return Resolve(ref);
    }
    default:
        return nullptr;
    }
}

// --- names and hints -----------------------------------------------------------------------

std::string TOVKoggetto::DisplayName() const { return DisplayNameAt(0); }

namespace {

// A fixed label joined with ebook text must be in the ebook's code page.
std::string EbookText(TOVKset* document, const char* utf8) {
    return CodePage::FromUtf8(utf8, document ? document->CharSet() : std::string("iso-8859-1"));
}

} // namespace

std::string TOVKoggetto::DisplayNameAt(int depth) const {
    const auto& r = m_record;
    auto nameOf = [&](std::int32_t ref) -> std::string {
        if (depth >= kMaxDepth) return {};
        TOVKoggetto* target = Resolve(ref);
        return target ? target->DisplayNameAt(depth + 1) : std::string();
    };
    switch (m_kind) {
    case K::testoHtml:
    case K::immagine:
        return r.Str(5, 71);
    case K::internetLink:
        return r.Str(5, 127);
    case K::zipLink:
    case K::genLink:
        return r.Str(5, 78);
    case K::programma:
        return r.Str(5, 75);
    case K::mappaFrame:
        return r.Str(5, 79);
    case K::stileParagrafo:
    case K::fontFace:
        return r.Str(5, 32);
    case K::keyword:
        return r.Str(0, 79);
    case K::custom:
        return r.Str(17, 40);
    case K::dbloc:
        return r.Str(17, 15);
    case K::inputStat:
    case K::inputDin:
    case K::bottoneCGI:
        return r.Str(17, 79);
    case K::inizioForm:
        return r.Str(17, 255);
    case K::immagineNew:
        return r.Str(28, 32);
    case K::speclink:
        switch (Status(r)) {
        case 1:
            return r.U8(18) == 6 ? objtext::kTargetOnlyScroll : nameOf(r.I32(13));
        case 2:
            return objtext::kCloseWindow + r.Str(19, 255).substr(0, 36);
        case 3:
            return objtext::kKeywordWindow;
        case 4:
            return objtext::kPreviousPage;
        case 5:
            return objtext::kNextPage;
        case 6:
            return objtext::kAutoImport;
        case 7:
            return objtext::kAddToCart;
        case 8:
            return objtext::kPrintCurrentFrame;
        case 9:
            return objtext::kPrintFrame + r.Str(19, 255).substr(0, 44);
        case 10:
            return objtext::kPluginLink;
        default:
            return {};
        }
    case K::shortObj: {
        const int sub = Status(r);
        switch (sub) {
        case 10:
            return DecodeEntities(DataBytes());
        case 11:
        case 12:
            return AttributeText().substr(0, 400);
        case 13:
            return nameOf(r.I32(5));
        case 14:
            return objtext::kAnchor + std::to_string(r.I32(5));
        case 21:
        case 22:
        case 23:
        case 24:
        case 25:
        case 26: {
            static constexpr const char* kLabels[] = {
                objtext::kPlaceholderPicture,  objtext::kPlaceholderPageOrLink,
                objtext::kPlaceholderPageText, objtext::kPlaceholderKeyObject,
                objtext::kPlaceholderSizeX,    objtext::kPlaceholderSizeY};
            std::string label = EbookText(m_document, kLabels[sub - 21]);
            if (sub <= 24) label += " " + nameOf(r.I32(5));
            return label;
        }
        case 27:
        case 28:
            if (HasData()) return DataBytes();
            return objtext::kFileNumber + std::to_string(r.I32(5));
        default:
            return {};
        }
    }
    default:
        return {};
    }
}

std::string TOVKoggetto::Describe() const { return DescribeAt(0); }

std::string TOVKoggetto::DescribeOtherEbook(const std::string& address, bool& handled) const {
    handled = false;
    std::string rest;
    if (StartsWithNoCase(address, objtext::kVoskLongPrefix))
        rest = address.substr(7);
    else if (StartsWithNoCase(address, objtext::kVoskPrefix))
        rest = address.substr(5);
    else
        return {};

    auto bar = rest.find('|');
    std::string path = rest.substr(0, bar);
    if (path.empty()) return {};
    std::optional<std::int32_t> page;
    if (bar != std::string::npos && bar + 1 < rest.size()) {
        std::string digits = rest.substr(bar + 1, 12);
        std::int64_t value = 0;
        bool negative = !digits.empty() && digits[0] == '-';
        std::size_t i = negative ? 1 : 0;
        for (; i < digits.size() && digits[i] >= '0' && digits[i] <= '9'; ++i)
            value = value * 10 + (digits[i] - '0');
        if (i != digits.size() || negative) value = 0;
        page = static_cast<std::int32_t>(std::min<std::int64_t>(value, 0xFFFFFF));
    }

    // A hint never asks the user for a CD folder.
    if (m_document && LowerAscii(path).find("cddrive:") != std::string::npos)
        path = m_document->ResolveCdFolder(path, false);
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.empty()) return {};
    const std::string open = m_document ? m_document->OVKFileName() : std::string();
    if (!open.empty() && LowerAscii(path) == LowerAscii(open)) return {}; // a page of this ebook
    if (path[0] != '/') {
        auto cut = open.find_last_of('/');
        path = (cut == std::string::npos ? std::string(".") : open.substr(0, cut)) + "/" + path;
    }
    handled = true;

    std::int32_t index = 0;
    if (page) {
        index = *page;
    } else {
        // No page named: the other ebook opens at its cover page.
        std::ifstream in(path, std::ios::binary);
        char magic[4] = {};
        char cover[4] = {};
        if (in.read(magic, 4) && LowerAscii(std::string_view(magic, 4)) == "qelb" &&
            in.seekg(OVKHeader::kCoverPage) && in.read(cover, 4))
            index = std::max(0, le::I32(AsBytes(std::string_view(cover, 4)), 0));
    }
    std::string title = PeekPageTitle(path, index);
    if (title.empty()) title = FileNamePart(path) + " (" + std::to_string(index) + ")";
    return title + "|" + objtext::kLinkTo + title;
}

std::string TOVKoggetto::DescribeAt(int depth) const {
    std::string result;
    const auto& r = m_record;
    if (IsFree()) {
        result = objtext::kUndefined;
    } else {
        switch (m_kind) {
        case K::testoHtml: {
            std::string n = DisplayNameAt(depth);
            result = n + "|" + objtext::kLinkTo + n;
            break;
        }
        case K::internetLink: {
            const std::string a = r.Str(5, 127);
            bool otherEbook = false;
            std::string other = DescribeOtherEbook(a, otherEbook);
            if (otherEbook)
                result = other;
            else if (StartsWith(a, objtext::kMailtoPrefix)) {
                std::string m = a.substr(7);
                result = m + "|" + objtext::kLinkToMail + m;
            } else if (StartsWith(a, objtext::kProgPrefix) || StartsWith(a, objtext::kRunPrefix)) {
                result.clear();
            } else {
                result = a + "|" + objtext::kLinkTo + a;
            }
            break;
        }
        case K::genLink: {
            std::string f = FileNamePart(DisplayNameAt(depth));
            result = f + "|" + objtext::kLinkToFile + f;
            break;
        }
        case K::immagine:
            result = DisplayNameAt(depth);
            break;
        case K::speclink: {
            const std::string data = HasData() ? DataBytes() : std::string();
            switch (Status(r)) {
            case 1:
                if (r.U8(18) <= 5 && depth < kMaxDepth) {
                    TOVKoggetto* target = Resolve(r.I32(13));
                    if (target) result = target->DescribeAt(depth + 1);
                }
                break;
            case 3:
                result = objtext::kKeywordHint;
                break;
            case 4:
                result = objtext::kPreviousPageHint;
                break;
            case 5:
                result = objtext::kNextPageHint;
                break;
            case 6:
                result = HasData() ? data + "|" + objtext::kAutoImport + ":" + data
                                   : std::string(objtext::kAutoImport);
                break;
            case 7:
                if (HasData()) {
                    std::string s = objtext::kAddToCart + data;
                    result = s + "|" + s;
                }
                break;
            case 8:
                result = std::string(objtext::kPrintCurrentFrame) + "|" + objtext::kPrintCurrentFrame;
                break;
            case 9: {
                std::string name = r.Str(19, 255).substr(0, 44);
                if (LowerAscii(name) == objtext::kShowPrintName)
                    result = objtext::kPrintFrame;
                else {
                    std::string s = objtext::kPrintFrame + name;
                    result = s + "|" + s;
                }
                break;
            }
            case 10:
                if (HasData()) {
                    std::string text = data;
                    auto at = text.find(objtext::kPluginHeadsMarker);
                    if (at != std::string::npos)
                        text.erase(at, std::string_view(objtext::kPluginHeadsMarker).size());
                    std::string s = objtext::kPluginLink + text;
                    result = s + "|" + s;
                }
                break;
            default:
                break;
            }
            break;
        }
        case K::shortObj:
            if (Status(r) == 10 && r.U8(17) != 0) result = DecodeEntities(DataBytes());
            break;
        case K::custom: {
            std::string n = DisplayNameAt(depth);
            result = n + "|" + objtext::kCustom + " " + n;
            break;
        }
        default:
            break;
        }
    }
    // A leading "{…}" group is the author's sorting key, not part of the hint.
    if (!result.empty() && (result[0] == '{' || (result.size() > 1 && result[1] == '{'))) {
        auto close = result.find('}');
        if (close != std::string::npos) result.erase(0, close + 1);
    }
    return result;
}

std::string TOVKoggetto::StoredFileName() const {
    switch (m_kind) {
    case K::genLink:
        return m_record.Str(5, 78);
    case K::immagine:
        return m_record.Str(94, 75);
    case K::programma:
        return m_record.Str(81, 255);
    default:
        return {};
    }
}

std::string TOVKoggetto::ElementName() const {
    switch (m_kind) {
    case K::dbloc:
    case K::inputStat:
    case K::inputDin:
    case K::bottoneCGI: {
        std::string name = LowerAscii(DisplayName());
        return name.empty() ? objtext::kElementPrefix + std::to_string(ControlNumber()) : name;
    }
    case K::immagineNew:
        return GetAttribute(objtext::kAttrName);
    case K::inizioForm: {
        std::string name = GetAttribute(objtext::kAttrName);
        return name.empty() ? objtext::kFormStartPrefix + std::to_string(ControlNumber()) : name;
    }
    default:
        return {};
    }
}

// --- data out ------------------------------------------------------------------------------

std::int64_t TOVKoggetto::WriteData(std::string& out, bool withHeader,
                                    std::vector<std::string>* messages) const {
    auto header = [&](std::int64_t length) {
        if (!withHeader) return;
        AppendI32(out, static_cast<std::int32_t>(length));
        AppendI32(out, 0);
    };
    auto fail = [&](const std::string& file) {
        std::string text = objtext::kOpenFileError + file;
        if (messages)
            messages->push_back(text);
        else
            Msg().Error(text);
    };
    if (m_data) {
        header(static_cast<std::int64_t>(m_data->size()));
        out += *m_data;
        return static_cast<std::int64_t>(m_data->size());
    }
    if (m_fileBacked) {
        const std::int64_t pos = FileBlockPosition();
        const std::int64_t len = FileBlockLength();
        const std::string ebook = m_document ? m_document->OVKFileName() : std::string();
        if (!m_document || len < 0 || pos < 0 || pos > m_document->FileSize() ||
            len > m_document->FileSize() - pos) {
            fail(ebook);
            return 0;
        }
        std::string block;
        if (len > 0 && !m_document->ReadFileBlock(pos, len, block)) {
            fail(ebook);
            return 0;
        }
        header(len);
        out += block;
        return len;
    }
    if (m_kind == K::genLink || m_kind == K::immagine || m_kind == K::immagineNew) {
        std::string bytes;
        if (!m_fileName.empty() && PathExists(m_fileName)) {
            if (!ReadExternalFile(m_fileName, bytes)) {
                fail(m_fileName);
                return 0;
            }
        }
        header(static_cast<std::int64_t>(bytes.size()));
        out += bytes;
        return static_cast<std::int64_t>(bytes.size());
    }
    header(0);
    return 0;
}

std::string TOVKoggetto::ExtractToFile() {
    if (!HasData()) return m_fileName;
    const std::string stored = StoredFileName();
    if (stored.empty()) return {};

    std::string path;
    bool written = false;
    if (m_document) {
        const std::string folder = m_document->TempFolder();
        std::string bytes;
        std::vector<std::string> problems;
        WriteData(bytes, false, &problems);
        path = folder + "/" + SafeStoredName(stored);
        const std::string ext = ExtensionOf(path);
        std::uniform_int_distribution<std::uint32_t> below(0, 4095);
        // Exclusive creation: an existing file, or anything planted under the name (a link
        // above all), is never opened; another name is tried instead.
        for (int attempt = 0; attempt < 1000 && problems.empty(); ++attempt) {
            if (attempt > 0 || PathExists(path)) {
                do {
                    path = folder + "/re" + Hex(below(Random()), 3) + Hex(below(Random()), 3) + ext;
                } while (PathExists(path) && ++attempt < 1000);
            }
            int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd < 0) {
                if (errno == EEXIST || errno == ELOOP) continue;
                break;
            }
            std::size_t done = 0;
            bool ok = true;
            while (done < bytes.size()) {
                ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) {
                    ok = false;
                    break;
                }
                done += static_cast<std::size_t>(n);
            }
            if (::close(fd) != 0) ok = false;
            if (!ok) ::unlink(path.c_str());
            written = ok;
            break;
        }
    }
    if (!written) {
        Msg().Error(objtext::kExtractFailed + path);
        m_fileName.clear();
        return {};
    }
    m_data.reset();
    m_fileBacked = false;
    m_fileName = path;
    return path;
}

// --- attributes and fields -----------------------------------------------------------------

std::string TOVKoggetto::GetAttribute(const std::string& name, bool* found) const {
    if (found) *found = false;
    if (!m_extra) return {};
    std::string_view text = SplitExtra(*m_extra).text;
    if (LowerAscii(name) == objtext::kAllFields) {
        if (found) *found = true;
        return std::string(text);
    }
    return ScanAttribute(text, name, found);
}

void TOVKoggetto::SetAttribute(const std::string& name, const std::string& value) {
    if (m_kind == K::custom) return;
    if (!m_extra) {
        std::string block;
        AppendI32(block, 0);
        block += ReplaceAttribute("", name, value);
        m_extra = std::move(block);
        return;
    }
    ExtraParts parts = SplitExtra(*m_extra);
    std::string block(parts.binary);
    if (block.size() < 4) block.assign("\0\0\0\0", 4); // too short to hold its own length
    block += ReplaceAttribute(parts.text, name, value);
    m_extra = std::move(block);
}

void TOVKoggetto::EnsureFields() {
    if (!m_fields) m_fields = ParseFieldLines(HasData() ? DataBytes() : std::string());
}

void TOVKoggetto::SaveFields() {
    // The list stays built; only the data block follows it.
    m_data = JoinFieldLines(*m_fields);
    m_fileBacked = false;
}

std::string TOVKoggetto::GetField(const std::string& name) {
    EnsureFields();
    return FindField(*m_fields, name);
}

void TOVKoggetto::SetField(const std::string& name, const std::string& value) {
    if (m_kind != K::dbloc) return;
    EnsureFields();
    StoreField(*m_fields, name, value);
    SaveFields();
}

// --- copies --------------------------------------------------------------------------------

void TOVKoggetto::Assign(const TOVKoggetto& source) {
    if (&source == this) return;
    if (source.m_kind == K::mappaClic) Msg().Error(objtext::kMappaClicStillThere);
    m_index = source.m_index;
    m_document = source.m_document;
    m_fields.reset();
    m_fileName = source.m_fileName;

    if (source.m_kind == K::immagine) {
        SetKind(K::immagineNew);
        const OVKRecord& s = source.m_record;
        OVKRecord r;
        r.SetI32(0, source.m_index);
        r.SetU8(4, 1);
        r.SetU8(13, s.U8(89));
        r.SetU8(14, 0);
        r.SetU8(23, 0);
        r.SetU16(15, s.U16(85));
        r.SetU16(17, s.U16(87));
        r.SetU16(19, s.U16(85));
        r.SetU16(21, s.U16(87));
        r.SetU32(24, 0xFF0000);
        r.SetStr(28, 32, s.Str(5, 71));
        r.SetI32(5, -1);
        r.SetI32(9, -1);
        r.SetI32(69, -1);
        if (s.I32(662) != -1 || s.U8(666) != 0) r.SetBytes(73, s.Raw(182, 480));
        m_record = r;
        // The picture's bytes stay with the immagine the new object points at.
        m_data.reset();
        m_fileBacked = false;
        m_extra.reset();
        return;
    }

    SetKind(source.m_kind);
    m_record = source.m_record;
    m_data = source.m_data;
    m_fileBacked = source.m_fileBacked;
    m_extra = source.m_extra;
    if (m_kind == K::testoHtml && m_record.U8(195) == 1 && g_oldMarkupConverter) g_oldMarkupConverter(*this);
}

// --- memory form ---------------------------------------------------------------------------

void TOVKoggetto::WriteToStream(std::string& out) const {
    AppendI32(out, m_index);
    out += static_cast<char>(static_cast<std::uint8_t>(m_kind));
    out.append(reinterpret_cast<const char*>(m_record.Bytes().data()), OVKRecord::kSize);
    AppendI32(out, static_cast<std::int32_t>(m_fileName.size()));
    out += m_fileName;
    std::string data;
    std::vector<std::string> problems; // a copy without its data is still a copy
    WriteData(data, false, &problems);
    AppendI32(out, static_cast<std::int32_t>(data.size()));
    AppendI32(out, 0);
    out += data;
    const std::string& extra = Extra();
    AppendI32(out, static_cast<std::int32_t>(extra.size()));
    out += extra;
}

bool TOVKoggetto::ReadFromStream(ByteSpan in, std::size_t& pos) {
    auto need = [&](std::size_t n) { return pos <= in.size() && in.size() - pos >= n; };
    auto readI32 = [&](std::int32_t& v) {
        if (!need(4)) return false;
        v = le::I32(in, static_cast<std::int64_t>(pos));
        pos += 4;
        return true;
    };
    auto bytes = [&](std::size_t n) {
        std::string s(reinterpret_cast<const char*>(in.data()) + pos, n);
        pos += n;
        return s;
    };
    std::int32_t index = 0;
    if (!readI32(index) || !need(1 + OVKRecord::kSize)) return false;
    const auto kindByte = in[pos++];
    const auto kind = kindByte < kKindCount ? static_cast<K>(kindByte) : K::none;
    if (m_registered && kind != m_kind) {
        Msg().Error(objtext::kWrongKindInMemoryForm);
        // The object stays in its list under its own kind; only its contents are replaced.
    } else if (!m_registered) {
        m_index = index;
        m_kind = kind;
    }
    for (int i = 0; i < OVKRecord::kSize; ++i) m_record.SetU8(i, in[pos + static_cast<std::size_t>(i)]);
    pos += OVKRecord::kSize;
    m_fields.reset();

    std::int32_t nameLength = 0;
    if (!readI32(nameLength)) return false;
    if (nameLength > 0) {
        if (!need(static_cast<std::size_t>(nameLength))) return false;
        m_fileName = bytes(static_cast<std::size_t>(nameLength));
    }
    auto dropBlocks = [&] {
        m_data.reset();
        m_fileBacked = false;
        m_extra.reset();
        return false;
    };
    std::int32_t dataLength = 0, zero = 0;
    if (!readI32(dataLength) || !readI32(zero)) return dropBlocks();
    if (dataLength > 0) {
        if (!need(static_cast<std::size_t>(dataLength))) return dropBlocks();
        m_data = bytes(static_cast<std::size_t>(dataLength));
        m_fileBacked = false;
    }
    std::int32_t extraLength = 0;
    if (!readI32(extraLength)) return dropBlocks();
    if (extraLength > 0) {
        if (!need(static_cast<std::size_t>(extraLength))) return dropBlocks();
        m_extra = bytes(static_cast<std::size_t>(extraLength));
    }
    return true;
}

// --- page controls -------------------------------------------------------------------------

Visual* TOVKoggetto::CreateVisual(TOVKpage* pageView) {
    VisualFactory* factory = CurrentVisualFactory();
    if (m_visual) {
        if (factory) factory->DestroyVisual(m_visual);
        m_visual = nullptr;
    }
    if (m_kind == K::testoHtml) {
        Msg().Error(objtext::kDoNotUseThis);
        return nullptr;
    }
    if (VisualClassOf(*this) == VisualClass::None || !factory) return nullptr;
    m_visual = factory->MakeVisual(*this, pageView);
    if (m_visual) m_waitingToBePlaced = true;
    return m_visual;
}

Printual* TOVKoggetto::CreatePrintual(TPrintOwner* owner) {
    VisualFactory* factory = CurrentVisualFactory();
    if (PrintualClassOf(*this) == PrintualClass::None || !factory) return nullptr;
    m_printual = factory->MakePrintual(*this, owner);
    if (m_printual) m_waitingToBePlaced = true;
    return m_printual;
}

void TOVKoggetto::ForgetVisual(const Visual* visual) {
    if (m_visual == visual) m_visual = nullptr;
}

void TOVKoggetto::ForgetPrintual(const Printual* printual) {
    if (m_printual == printual) m_printual = nullptr;
}

} // namespace morvell
