#include "document/OVKHeader.h"
#include "document/DocumentTexts.h"
#include "ovkbuild/Builder.h"
#include "ovkbuild/Templates.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace morvell {
namespace {

using ovkbuild::Builder;
using Entry = RecordingMessages::Entry;

const std::string kUnsupported =
    "File non supportato dalla corrente versione del programma.\r"
    "Contattare support@morvell.example per ottenere una versione pi\xC3\xB9recente "
    "del programma.";
const std::string kTooOld = "Attenzione: file salvato con una versione del programma\ranteriore alla 0.98. "
                            "Non pi\xC3\xB9 supportato. UNSUPPORTED\r";

class OVKHeaderTest : public ::testing::Test {
protected:
    std::optional<OVKContainer> Read(const std::string& bytes, const std::string& path = "/books/book.ovk") {
        std::istringstream in(bytes);
        return ReadOVKHeader(in, path);
    }
    static Builder TwoPages() {
        Builder b;
        b.SetHeaderField("title", "Two pages");
        ovkbuild::AddPage(b, "First");
        ovkbuild::AddPage(b, "Second");
        return b;
    }
    RecordingMessages m_messages;
    ScopedMessages m_scoped{m_messages};
};

TEST_F(OVKHeaderTest, ReadsHeaderSectionsAndPositions) {
    Builder b = TwoPages();
    b.AddRecord(TOggettiHel::keyword).Str(0, 79, "kw");
    b.SetHeaderField("coverPage", 1);
    b.SetHeaderField("toc", true);
    b.AddData("0123456789");
    auto c = Read(b.Bytes());
    ASSERT_TRUE(c);
    EXPECT_TRUE(m_messages.Entries().empty());
    EXPECT_EQ(c->header.Title(), "Two pages");
    EXPECT_EQ(c->header.CoverPage(), 1);
    EXPECT_TRUE(c->header.Toc());
    EXPECT_EQ(c->dataStart, 2306);
    EXPECT_EQ(c->recordAreaLength, 3 * 668);
    EXPECT_EQ(c->dataBase, 2306 + 3 * 668);
    EXPECT_EQ(c->fileSize, 2306 + 3 * 668 + 10);
    EXPECT_EQ(c->sections[0].count, 2);
    EXPECT_EQ(c->sections[4].offset, 2 * 668);
    EXPECT_EQ(c->sections[4].count, 1);
    EXPECT_EQ(c->RecordPosition(4, 0), 2306 + 2 * 668);
    EXPECT_EQ(c->UsableCount(0), 2);
    EXPECT_FALSE(c->RecordPosition(0, 2));
}

TEST_F(OVKHeaderTest, MagicIsComparedInUpperCase) {
    struct Case {
        const char* magic;
        bool accepted;
    } cases[] = {{"QELB", true},  {"qelb", true},  {"QeLb", true},
                 {"QELX", false}, {"RELB", false}, {"QEL ", false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.magic);
        m_messages.Clear();
        Builder b;
        b.Break().magic = k.magic;
        EXPECT_EQ(Read(b.Bytes()).has_value(), k.accepted);
        std::vector<Entry> expected;
        if (!k.accepted) expected = {{MessageKind::Information, kCaptionInformation, "Formato sconosciuto."}};
        EXPECT_EQ(m_messages.Entries(), expected);
    }
}

TEST_F(OVKHeaderTest, VersionAndLastSectionChecks) {
    struct Case {
        int version;
        int lastSection;
        bool accepted;
        std::vector<Entry> boxes;
    } cases[] = {
        {2, 26, true, {}},
        {0, 26, true, {}},
        {-1, 26, true, {}},
        {2, 0, true, {}},
        {1, 8, true, {}},
        {1, 7, false, {{MessageKind::Information, kCaptionInformation, kTooOld}}},
        {1, 0, false, {{MessageKind::Information, kCaptionInformation, kTooOld}}},
        {3, 26, false, {{MessageKind::Error, kCaptionError, kUnsupported}}},
        {32767, 26, false, {{MessageKind::Error, kCaptionError, kUnsupported}}},
        {2, 27, false, {{MessageKind::Information, kCaptionInformation, kUnsupported}}},
        {2, 255, false, {{MessageKind::Information, kCaptionInformation, kUnsupported}}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "version " << k.version << " last section " << k.lastSection);
        m_messages.Clear();
        Builder b;
        b.SetHeaderField("version", k.version);
        if (k.lastSection <= 26)
            b.SetHeaderField("lastSection", k.lastSection);
        else
            b.Break().lastSectionByte = k.lastSection;
        auto c = Read(b.Bytes());
        EXPECT_EQ(c.has_value(), k.accepted);
        EXPECT_EQ(m_messages.Entries(), k.boxes);
        if (c) {
            EXPECT_EQ(c->dataStart, 12 * k.lastSection + 1994);
        }
    }
}

TEST_F(OVKHeaderTest, UnsupportedTextNamesTheMakerContact) {
    std::string text = std::string(texts::kUnsupportedLine1) + "\r" + texts::kUnsupportedContactBefore +
                       kMakerContact + texts::kUnsupportedContactAfter;
    EXPECT_EQ(text, kUnsupported);
}

TEST_F(OVKHeaderTest, VersionOneHeaderIsAdjustedInMemoryOnly) {
    Builder b;
    b.SetHeaderField("version", 1);
    b.SetHeaderField("lastSection", 8);
    for (const char* field : {"author", "rights", "company", "exportPrefix"})
        b.SetHeaderField(field, "old text");
    b.Header().MutableRaw()[OVKHeader::kUnused1363] = 3;
    for (const char* field : {"defaultHeader", "defaultFooter", "treeHolder", "customTreeHolder",
                              "newPageBackgroundColor", "newPageBackgroundPicture", "newPageTextColor",
                              "newPageLinkColor", "newPageLink2Color", "languageId"})
        b.SetHeaderField(field, 7);
    const std::string bytes = b.Bytes();
    auto c = Read(bytes, "/some/folder/My Book.ovk");
    ASSERT_TRUE(c);
    const OVKHeader& h = c->header;
    EXPECT_EQ(h.Author(), "");
    EXPECT_EQ(h.Rights(), "");
    EXPECT_EQ(h.Company(), "");
    EXPECT_EQ(le::Str(h.Span(), OVKHeader::kUnused1363, 16), "");
    EXPECT_EQ(h.ExportPrefix(), "my_book_");
    EXPECT_EQ(h.DefaultHeader(), -1);
    EXPECT_EQ(h.DefaultFooter(), -1);
    EXPECT_EQ(h.TreeHolder(), 0);
    EXPECT_EQ(h.CustomTreeHolder(), 0);
    EXPECT_EQ(h.NewPageBackgroundColor(), 0xF0F0F0u);
    EXPECT_EQ(h.NewPageBackgroundPicture(), -1);
    EXPECT_EQ(h.NewPageTextColor(), 0u);
    EXPECT_EQ(h.NewPageLinkColor(), 0xFF0000u);
    EXPECT_EQ(h.NewPageLink2Color(), 0x0000FFu);
    EXPECT_EQ(h.LanguageId(), 1033);
    EXPECT_EQ(h.Version(), 1);
    EXPECT_EQ(c->dataStart, 12 * 8 + 1994);
}

TEST(ExportPrefixFromFileName, KeepsEightLowerCaseLettersAndDigits) {
    struct Case {
        const char* path;
        const char* prefix;
    } cases[] = {
        {"My Book.ovk", "my_book_"},
        {"/home/a/AB.ovk", "ab_ovk"},
        {"C:\\Books\\Zz9.OVK", "zz9_ovk"},
        {"caff\xC3\xA8.ovk", "caff__ov"},
        {"", ""},
        {"/tmp/dir/", ""},
        {"12345678901.ovk", "12345678"},
    };
    for (const Case& k : cases) EXPECT_EQ(ExportPrefixFromFileName(k.path), k.prefix) << k.path;
}

TEST_F(OVKHeaderTest, RecordAreaLengthFollowsTheTable) {
    // Hand-made: the header, 27 zero entries, and a record-area length at 2302 that no
    // record backs. The reader takes L as stored; D is fixed by the table's size.
    OVKHeader h = OVKHeader::NewDefault("me", 96);
    std::string bytes(reinterpret_cast<const char*>(h.Raw().data()), OVKHeader::kSize);
    bytes.resize(2306, '\0');
    le::SetI32(MutableByteSpan(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()), 2302,
               0x01020304);
    auto c = Read(bytes);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->recordAreaLength, 0x01020304);
    EXPECT_EQ(c->dataStart, 2306);
    EXPECT_EQ(c->dataBase, 2306 + 0x01020304);
    EXPECT_EQ(c->UsableCount(0), 0);
}

TEST_F(OVKHeaderTest, RecordSizesAboveAndBelowTheRecordLength) {
    for (int size : {700, 668, 300}) {
        SCOPED_TRACE(size);
        Builder b = TwoPages();
        b.SetRecordSize(TOggettiHel::testoHtml, size);
        auto c = Read(b.Bytes());
        ASSERT_TRUE(c);
        EXPECT_EQ(c->RecordReadLength(0), std::min(size, 668));
        EXPECT_EQ(c->RecordPosition(0, 1), 2306 + size);
        EXPECT_EQ(c->UsableCount(0), 2);
        EXPECT_EQ(c->recordAreaLength, 2 * size);
    }
}

TEST_F(OVKHeaderTest, ShortAndTruncatedFilesFailWithoutABoxOfTheirOwn) {
    const std::string whole = TwoPages().Bytes();
    // Empty, inside the header, one byte short of it, inside the table, just before L's last byte.
    for (std::size_t length : {0, 1, 1977, 1978, 1989, 2100, 2305}) {
        SCOPED_TRACE(length);
        EXPECT_FALSE(Read(whole.substr(0, length)));
        EXPECT_TRUE(m_messages.Entries().empty());
    }
    // With the table whole the header reads; the missing records are the loader's business.
    auto c = Read(whole.substr(0, 2306 + 700));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->UsableCount(0), 1);
    EXPECT_TRUE(c->RecordPosition(0, 1));
    EXPECT_FALSE(c->RecordPosition(0, 2));
}

TEST_F(OVKHeaderTest, TableOfAShortLastSectionNeedsOnlyItsOwnEntries) {
    Builder b;
    b.SetHeaderField("lastSection", 0);
    ovkbuild::AddPage(b, "Only");
    const std::string bytes = b.Bytes();
    ASSERT_EQ(bytes.size(), 1978u + 12 + 4 + 668);
    EXPECT_FALSE(Read(bytes.substr(0, 1993)));
    auto c = Read(bytes);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->dataStart, 1994);
    EXPECT_EQ(c->sections[1].count, 0); // absent sections are empty
}

TEST_F(OVKHeaderTest, HostileTableValuesNeverReachOutsideTheFile) {
    struct Case {
        std::int32_t offset, recordSize, count;
        std::int32_t usable;
    } cases[] = {
        {0, 668, -5, 0},
        {0, 668, 0x7FFFFFFF, 2},  // huge count: only the records that are there
        {0, 1, 0x7FFFFFFF, 1336}, // tiny records: bounded by the file, not the count
        {0, -1, 2, 0},            // negative record size
        {0, 0, 1000000, 0},       // zero record size
        {-3000, 668, 2, 0},       // before the start of the file
        {-2306, 668, 2, 2},       // D + offset = 0 is still inside the file
        {0x7FFFFFFF, 668, 2, 0},  // past the end
        {668, 0x7FFFFFFF, 2, 1},  // second record would lie 2 GB further on
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.offset << " " << k.recordSize << " " << k.count);
        Builder b = TwoPages();
        b.Break().sections[0] = {k.offset, k.recordSize, k.count};
        b.Break().recordAreaLength = -100;
        auto c = Read(b.Bytes());
        ASSERT_TRUE(c);
        EXPECT_EQ(c->UsableCount(0), k.usable);
        for (std::int64_t j :
             {std::int64_t{0}, std::int64_t{1}, std::int64_t{k.count} - 1, std::int64_t{0xFFFFFF}}) {
            auto pos = c->RecordPosition(0, j);
            if (pos) {
                EXPECT_GE(*pos, 0);
                EXPECT_LT(*pos, c->fileSize);
            }
        }
        EXPECT_EQ(c->dataBase, c->dataStart - 100);
    }
}

TEST(OVKHeaderNew, NewDocumentValues) {
    OVKHeader h = OVKHeader::NewDefault(std::string(100, 'a'), 120);
    EXPECT_EQ(h.Magic(), "QELB");
    EXPECT_EQ(h.Title(), "Senza titolo");
    EXPECT_EQ(h.Author(), std::string(79, 'a'));
    EXPECT_EQ(h.LastSection(), 26);
    EXPECT_EQ(h.Version(), 2);
    EXPECT_EQ(h.Revision(), 2);
    EXPECT_EQ(h.FixedFontName(), "Courier New");
    EXPECT_EQ(h.FontName(), "Arial");
    EXPECT_EQ(h.PixelsPerInch(), 120);
    EXPECT_EQ(h.DefaultHeader(), -1);
    EXPECT_EQ(h.DefaultFooter(), -1);
    EXPECT_EQ(h.NewPageBackgroundColor(), 0xF0F0F0u);
    EXPECT_EQ(h.NewPageLinkColor(), 0xFF0000u);
    EXPECT_EQ(h.NewPageLink2Color(), 0x0000FFu);
    EXPECT_EQ(h.LanguageId(), 1033);
    EXPECT_EQ(h.TileOrigin(), 1);
    EXPECT_EQ(h.PropertyList(), 0);
    const std::uint8_t options[6] = {0, 0, 0, 1, 0, 1};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(h.Raw()[OVKHeader::kEditingOptions + i], options[i]);
    EXPECT_EQ(h.Raw()[1762], 1);
}

class PeekPageTitleTest : public ::testing::Test {
protected:
    std::string Write(const Builder& b, const std::string& name = "peek.ovk") {
        auto path = (m_dir / name).string();
        b.Write(path);
        return path;
    }
    static Builder Book() {
        Builder b;
        ovkbuild::AddPage(b, "Cover");
        ovkbuild::AddPage(b, "Chapter \xC3\xA8"); // è, stored as one latin-1 byte
        b.AddRecord(TOggettiHel::keyword, ovkbuild::PageRecord(b, "not a page"));
        return b;
    }
    test::TempDir m_dir;
};

TEST_F(PeekPageTitleTest, GuardsOfTheReference) {
    const std::string path = Write(Book());
    struct Case {
        std::int32_t ref;
        std::string title;
    } cases[] = {
        {0, "Cover"},
        {1, "Chapter \xE8"},
        {2, ""},                                      // index == count
        {-1, ""},                                     // negative
        {MakeReference(TOggettiHel::keyword, 0), ""}, // the record exists, but is not a page
        {MakeReference(TOggettiHel::keyword, 1), ""},
        {MakeReference(TOggettiHel::testoHtmlRtf, 0), ""},
        {0x1B000000, ""}, // kind 27: no such section
        {0x00FFFFFF, ""},
    };
    for (const Case& k : cases) EXPECT_EQ(PeekPageTitle(path, k.ref), k.title) << std::hex << k.ref;
    EXPECT_EQ(PeekPageTitle((m_dir / "missing.ovk").string(), 0), "");
    EXPECT_EQ(PeekPageTitle(m_dir.Path().string(), 0), ""); // a folder
}

TEST_F(PeekPageTitleTest, HeaderGuards) {
    struct Case {
        const char* name;
        void (*change)(Builder&);
        std::string title;
    } cases[] = {
        {"magic is not checked", [](Builder& b) { b.Break().magic = "XXXX"; }, "Cover"},
        {"version 3", [](Builder& b) { b.SetHeaderField("version", 3); }, ""},
        {"version 1, old", [](Builder& b) { b.SetHeaderField("version", 1); }, "Cover"},
        {"last section 27", [](Builder& b) { b.Break().lastSectionByte = 27; }, ""},
        {"record size 700", [](Builder& b) { b.SetRecordSize(TOggettiHel::testoHtml, 700); }, "Cover"},
        {"record cut by the end of the file", [](Builder& b) { b.Break().truncateAt = 2306 + 600; }, ""},
        {"table cut", [](Builder& b) { b.Break().truncateAt = 2000; }, ""},
        {"hostile count", [](Builder& b) { b.Break().sections[0].offset = 0x7FFFFFF0; }, ""},
    };
    for (const Case& k : cases) {
        Builder b = Book();
        k.change(b);
        EXPECT_EQ(PeekPageTitle(Write(b), 0), k.title) << k.name;
    }
    Builder small;
    small.SetHeaderField("lastSection", 0);
    ovkbuild::AddPage(small, "Cover");
    EXPECT_EQ(PeekPageTitle(Write(small), MakeReference(TOggettiHel::keyword, 0)), "");
}

TEST_F(PeekPageTitleTest, SecondRecordOfLongRecords) {
    Builder b = Book();
    b.SetRecordSize(TOggettiHel::testoHtml, 700);
    EXPECT_EQ(PeekPageTitle(Write(b), 1), "Chapter \xE8");
}

} // namespace
} // namespace morvell
