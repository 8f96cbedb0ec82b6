// ovktool info FILE: the container header and section table of an ebook as one JSON object.
// A file the reader would reject prints the reader's message boxes on stderr and exits 1. The
// document's own figures (pages, code page, margin) come from opening the ebook as the reader
// does, so a file whose header reads but whose objects do not fails here as in the reader.
#include "Verbs.h"

#include "document/DocumentTexts.h"
#include "document/OVKHeader.h"
#include "document/TOVKset.h"
#include "platform/CodePage.h"
#include "platform/Messages.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <pwd.h>
#include <unistd.h>

namespace ovktool {

namespace {

using morvell::CodePage;
using morvell::OVKContainer;
using morvell::OVKHeader;

// Until the property list is read, header text is shown in the code page of a new ebook.
constexpr const char* kHeaderCharSet = "iso-8859-1";
// A command-line tool has no screen to ask; new ebooks are reported at the usual 96 dpi.
constexpr int kNewDocumentPixelsPerInch = 96;

std::string Text(const std::string& bytes) { return CodePage::ToUtf8(bytes, kHeaderCharSet); }

std::string LoginName() {
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name) return pw->pw_name;
    if (const char* user = std::getenv("USER")) return user;
    return {};
}

// A zero-length file is an empty ebook of that name, as the reader opens it.
OVKContainer NewDocumentContainer(const std::string& path) {
    OVKContainer c;
    c.header =
        OVKHeader::NewDefault(CodePage::FromUtf8(LoginName(), kHeaderCharSet), kNewDocumentPixelsPerInch);
    c.header.SetExportPrefix(morvell::ExportPrefixFromFileName(path));
    c.dataStart = 12 * static_cast<std::int64_t>(c.header.LastSection()) + 1994;
    c.dataBase = c.dataStart;
    return c;
}

nlohmann::ordered_json Describe(const std::string& path, const OVKContainer& c) {
    const OVKHeader& h = c.header;
    nlohmann::ordered_json sections = nlohmann::ordered_json::array();
    for (int i = 0; i <= h.LastSection() && i < morvell::kKindCount; ++i) {
        sections.push_back({{"kind", std::string(morvell::KindName(static_cast<morvell::TOggettiHel>(i)))},
                            {"offset", c.sections[i].offset},
                            {"recordSize", c.sections[i].recordSize},
                            {"count", c.sections[i].count}});
    }
    nlohmann::ordered_json j;
    j["file"] = path;
    j["title"] = Text(h.Title());
    j["version"] = h.Version();
    j["lastSection"] = h.LastSection();
    j["recordAreaLength"] = c.recordAreaLength;
    j["dataStart"] = c.dataStart;
    j["dataBase"] = c.dataBase;
    j["sections"] = sections;
    j["summaryPage"] = h.SummaryPage();
    j["coverPage"] = h.CoverPage();
    j["revision"] = h.Revision();
    j["author"] = Text(h.Author());
    j["company"] = Text(h.Company());
    j["rights"] = Text(h.Rights());
    j["exportPrefix"] = Text(h.ExportPrefix());
    j["pixelsPerInch"] = h.PixelsPerInch();
    j["defaultHeader"] = h.DefaultHeader();
    j["defaultFooter"] = h.DefaultFooter();
    j["toc"] = h.Toc();
    j["tileOrigin"] = h.TileOrigin();
    j["fullScreen"] = h.FullScreen();
    j["windowMode"] = h.WindowMode();
    j["treeHolder"] = h.TreeHolder();
    j["customTreeHolder"] = h.CustomTreeHolder();
    j["propertyList"] = h.PropertyList();
    return j;
}

int RunInfo(const Args& args) {
    if (args.size() != 1) return UsageError("info");
    const std::string& path = args[0];
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        morvell::Msg().Warning(path + morvell::texts::kNotExists);
        return 1;
    }
    std::optional<OVKContainer> container;
    if (std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) == 0 && !ec) {
        container = NewDocumentContainer(path);
    } else {
        std::ifstream in(path, std::ios::binary);
        if (in) container = morvell::ReadOVKHeader(in, path);
    }
    if (!container) {
        morvell::Msg().Information(morvell::texts::kReadError + path);
        return 1;
    }
    morvell::TOVKset doc;
    if (!doc.SetOVKFileName(path)) return 1;
    nlohmann::ordered_json j = Describe(path, *container);
    j["pages"] = doc.PageCount();
    j["charset"] = doc.CharSet();
    j["fontCharset"] = doc.FontCharSet();
    j["globalMargin"] = doc.GlobalMargin();
    std::cout << j.dump(2) << "\n";
    return 0;
}

VerbRegistrar g_info({"info", "info FILE", "the ebook's header and section table as JSON", RunInfo});

} // namespace

} // namespace ovktool
