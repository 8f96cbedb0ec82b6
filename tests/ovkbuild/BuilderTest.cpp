#include "ovkbuild/Builder.h"
#include "document/OVKHeader.h"
#include "ovkbuild/Manifest.h"
#include "ovkbuild/Templates.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ovkbuild {
namespace {

using morvell::OVKContainer;
using morvell::OVKHeader;
using morvell::TOggettiHel;
namespace le = morvell::le;

OVKContainer ReadBack(const std::string& bytes) {
    morvell::RecordingMessages messages;
    morvell::ScopedMessages scoped(messages);
    std::istringstream in(bytes);
    auto c = morvell::ReadOVKHeader(in, "built.ovk");
    EXPECT_TRUE(messages.Entries().empty());
    if (!c) throw BuildError("the reader rejected the built file");
    return *c;
}

std::string RecordBytes(const std::string& file, const OVKContainer& c, int kind, int index) {
    auto pos = c.RecordPosition(kind, index);
    if (!pos) return {};
    return file.substr(static_cast<std::size_t>(*pos), static_cast<std::size_t>(c.sections[kind].recordSize));
}

TEST(Builder, ManifestRoundTrip) {
    auto manifest = nlohmann::json::parse(R"J({
      "header": { "title": "Caff\u00e8", "author": "A. Writer", "company": "Co", "rights": "(c)",
                  "coverPage": 1, "summaryPage": 1, "toc": true, "windowMode": 3, "revision": 9,
                  "propertyList": "0x0D000000",
                  "raw": [ {"offset": 1623, "type": "u8", "value": 7} ] },
      "sections": { "keyword": { "recordSize": 80 }, "16": { "recordSize": 700 } },
      "data": [ {"name": "one", "text": "\u00e8!"}, {"name": "two", "hex": "de ad be ef"} ],
      "records": {
        "testoHtml": [ {"template": "page", "title": "First"},
                       {"template": "page", "title": "Second", "text": "<P>hi"} ],
        "keyword": [ {"fields": [ {"offset": 0, "type": "str", "capacity": 79, "value": "word"} ]} ],
        "immagineNew": [ {"fill": 255, "fields": [
            {"offset": 0, "type": "i32", "value": "@two.offset"},
            {"offset": 4, "type": "u8", "value": -1},
            {"offset": 680, "type": "i16", "value": -2},
            {"offset": 13, "type": "bytes", "value": "0102"} ]} ],
        "dbloc": [ {"raw": "05 06", "size": 10} ]
      }
    })J");
    Builder b = BuildFromManifest(manifest, ".");
    const std::string file = b.Bytes();
    OVKContainer c = ReadBack(file);
    const OVKHeader& h = c.header;
    EXPECT_EQ(h.Title(), "Caff\xE8");
    EXPECT_EQ(h.Author(), "A. Writer");
    EXPECT_EQ(h.Company(), "Co");
    EXPECT_EQ(h.Rights(), "(c)");
    EXPECT_EQ(h.CoverPage(), 1);
    EXPECT_EQ(h.SummaryPage(), 1);
    EXPECT_TRUE(h.Toc());
    EXPECT_EQ(h.WindowMode(), 3);
    EXPECT_EQ(h.Revision(), 9);
    EXPECT_EQ(h.PropertyList(), 0x0D000000);
    EXPECT_EQ(h.Raw()[1623], 7);

    EXPECT_EQ(c.sections[0].count, 2);
    EXPECT_EQ(c.sections[4].recordSize, 80);
    EXPECT_EQ(c.sections[16].recordSize, 700);
    EXPECT_EQ(c.sections[13].recordSize, 668);
    EXPECT_EQ(c.recordAreaLength, 2 * 668 + 80 + 700 + 668);

    // Data blocks in order: "one" (2 bytes), "two" (4), then the second page's text.
    const std::string second = RecordBytes(file, c, 0, 1);
    const auto* rec = reinterpret_cast<const std::uint8_t*>(second.data());
    morvell::ByteSpan page(rec, second.size());
    EXPECT_EQ(le::Str(page, 5, 71), "Second");
    EXPECT_EQ(le::I32(page, 0), 6);
    EXPECT_EQ(le::I32(page, 185), 5);
    EXPECT_EQ(file.substr(static_cast<std::size_t>(c.dataBase) + 6, 5), "<P>hi");
    EXPECT_EQ(file.substr(static_cast<std::size_t>(c.dataBase), 2), "\xE8!");

    const std::string pic = RecordBytes(file, c, 16, 0);
    morvell::ByteSpan p(reinterpret_cast<const std::uint8_t*>(pic.data()), pic.size());
    EXPECT_EQ(le::I32(p, 0), 2);
    EXPECT_EQ(le::U8(p, 4), 0xFF);
    EXPECT_EQ(le::I16(p, 680), -2); // beyond 668: kept because the record size is 700
    EXPECT_EQ(le::U8(p, 13), 1);
    EXPECT_EQ(le::U8(p, 200), 0xFF);
    EXPECT_EQ(file.substr(static_cast<std::size_t>(c.dataBase) + 2, 4), "\xDE\xAD\xBE\xEF");

    const std::string kw = RecordBytes(file, c, 4, 0);
    EXPECT_EQ(kw.size(), 80u);
    EXPECT_EQ(kw.substr(0, 5), "\x04word");

    const std::string db = RecordBytes(file, c, 13, 0);
    EXPECT_EQ(db.substr(0, 3), std::string("\x05\x06\0", 3)); // zero-padded to the record size
}

TEST(Builder, RecordsAreCutOrPaddedToTheRecordSize) {
    Builder b;
    b.SetRecordSize(TOggettiHel::testoHtml, 10);
    b.AddRecord(TOggettiHel::testoHtml, Record::FromRaw(std::string(20, 'x')));
    b.AddRecord(TOggettiHel::testoHtml, Record::FromRaw("yy"));
    const std::string file = b.Bytes();
    EXPECT_EQ(file.size(), 2306u + 20);
    EXPECT_EQ(file.substr(2306), std::string(10, 'x') + std::string("yy") + std::string(8, '\0'));
}

TEST(Builder, PageTemplateFollowsTheNewPageValues) {
    Builder b;
    b.SetHeaderField("newPageBackgroundColor", 0x123456);
    Record r = PageRecord(b, "T");
    morvell::ByteSpan s(reinterpret_cast<const std::uint8_t*>(r.Raw().data()), r.Size());
    EXPECT_EQ(le::U32(s, page::kBackgroundColor), 0x123456u);
    EXPECT_EQ(le::U32(s, page::kLinkColor), 0xFF0000u);
    EXPECT_EQ(le::I32(s, page::kFrameMap), -1);
    EXPECT_EQ(le::I32(s, page::kKeywords + 76), -1);
    EXPECT_EQ(le::U8(s, page::kStatus), 0);
    EXPECT_EQ(le::U8(s, page::kMarkupVersion), 2);
    EXPECT_EQ(le::U8(s, 300), 0xFF);
}

TEST(Builder, BrokenOutput) {
    Builder b;
    AddPage(b, "P");
    b.Break().magic = "ABCD";
    b.Break().lastSectionByte = 27;
    b.Break().sections[0].count = -7;
    b.Break().recordAreaLength = 12345;
    b.Break().trailing = "tail";
    std::string file = b.Bytes();
    EXPECT_EQ(file.substr(0, 4), "ABCD");
    EXPECT_EQ(static_cast<std::uint8_t>(file[1620]), 27);
    morvell::ByteSpan s(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
    EXPECT_EQ(le::I32(s, 1978 + 8), -7);
    EXPECT_EQ(le::I32(s, 1978 + 4), 668);
    EXPECT_EQ(le::I32(s, 2302), 12345);
    EXPECT_EQ(file.size(), 2306u + 668 + 4);
    EXPECT_EQ(file.substr(file.size() - 4), "tail");
    for (std::int64_t at : {0, 1, 1977, 2305}) {
        b.Break().truncateAt = at;
        EXPECT_EQ(b.Bytes().size(), static_cast<std::size_t>(at));
    }
}

TEST(Builder, Errors) {
    struct Case {
        const char* what;
        const char* manifest;
    } cases[] = {
        {"unknown header field", R"({"header": {"colour": 1}})"},
        {"string header field given a number", R"({"header": {"title": 5}})"},
        {"number out of range", R"({"header": {"version": 70000}})"},
        {"unknown kind", R"({"records": {"pages": [{}]}})"},
        {"kind number out of range", R"({"records": {"27": [{}]}})"},
        {"bad hex", R"({"data": [{"hex": "xyz"}]})"},
        {"odd hex", R"({"data": [{"hex": "abc"}]})"},
        {"data without content", R"({"data": [{"name": "x"}]})"},
        {"unknown block",
         R"({"records": {"testoHtml": [{"fields": [{"offset": 0, "type": "i32", "value": "@nope.offset"}]}]}})"},
        {"unknown type",
         R"({"records": {"testoHtml": [{"fields": [{"offset": 0, "type": "i64", "value": 1}]}]}})"},
        {"str without capacity",
         R"({"records": {"testoHtml": [{"fields": [{"offset": 0, "type": "str", "value": "a"}]}]}})"},
        {"negative offset",
         R"({"records": {"testoHtml": [{"fields": [{"offset": -1, "type": "u8", "value": 1}]}]}})"},
        {"unknown template", R"({"records": {"testoHtml": [{"template": "nope"}]}})"},
        {"raw header field past the header",
         R"({"header": {"raw": [{"offset": 1977, "type": "i32", "value": 1}]}})"},
        {"file missing", R"({"data": [{"file": "no-such-file.bin"}]})"},
        {"duplicate block", R"({"data": [{"name": "a", "text": "1"}, {"name": "a", "text": "2"}]})"},
        {"wrong JSON type",
         R"({"records": {"testoHtml": [{"fields": [{"offset": "zero", "type": "u8", "value": 1}]}]}})"},
    };
    for (const Case& k : cases) {
        EXPECT_THROW(BuildFromManifest(nlohmann::json::parse(k.manifest), "/nonexistent"), BuildError)
            << k.what;
    }
    Builder b;
    b.SetHeaderField("lastSection", 3);
    b.AddRecord(TOggettiHel::keyword);
    EXPECT_THROW(b.Bytes(), BuildError); // the record's section is not in the table
    EXPECT_THROW(b.SetRecordSize(TOggettiHel::keyword, -1), BuildError);
}

TEST(Builder, EveryHeaderFieldNameIsAccepted) {
    Builder b;
    for (const std::string& name : Builder::HeaderFieldNames()) {
        nlohmann::json value =
            (name == "title" || name == "author" || name == "company" || name == "rights" ||
             name == "exportPrefix" || name == "fixedFontName" || name == "fontName" || name == "magic")
                ? nlohmann::json("QELB")
                : nlohmann::json(1);
        EXPECT_NO_THROW(b.SetHeaderField(name, value)) << name;
    }
}

TEST(Builder, DataFilesAreRelativeToTheManifest) {
    morvell::test::TempDir dir;
    morvell::test::WriteFile(dir / "blob.bin", std::string("\0\1\2", 3));
    morvell::test::WriteFile(dir / "manifest.json", R"({"data": [{"name": "b", "file": "blob.bin"}],
        "records": {"testoHtml": [{"template": "page", "title": "x",
          "fields": [{"offset": 185, "type": "i32", "value": "@b.length"}]}]}})");
    Builder b = BuildFromManifestFile(dir / "manifest.json");
    EXPECT_EQ(b.NamedData("b")->length, 3);
    b.Write(dir / "out.ovk");
    const std::string file = morvell::test::ReadFile(dir / "out.ovk");
    EXPECT_EQ(file.substr(file.size() - 3), std::string("\0\1\2", 3));
    EXPECT_EQ(morvell::PeekPageTitle((dir / "out.ovk").string(), 0), "x");
}

TEST(Builder, WelcomeSample) {
    Builder b = BuildFromManifestFile(std::string(MORVELL_SOURCE_DIR) + "/samples/welcome/manifest.json");
    OVKContainer c = ReadBack(b.Bytes());
    EXPECT_EQ(c.header.Title(), "Welcome to Morvell");
    EXPECT_EQ(c.header.Author(), "The Morvell developers");
    // The sample grows with the reader; it always opens on a page.
    EXPECT_GE(c.sections[0].count, 1);
}

} // namespace
} // namespace ovkbuild
