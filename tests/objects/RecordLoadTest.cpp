// Loading stored records: the upgrades of records written by older versions, the data and
// extra blocks, and lengths that lie.

#include "ObjectFixture.h"

#include "objects/AttributeText.h"

namespace morvell::test {
namespace {

class RecordLoad : public ObjectTest {};

TEST_F(RecordLoad, PageRecordOf300BytesIsTakenAsStored) {
    ovkbuild::Builder b;
    b.SetRecordSize(K::testoHtml, 300);
    auto text = b.AddData("<Z S0 >hello");
    Record r = FfRecord(300);
    r.I32(0, static_cast<std::int32_t>(text.offset))
        .U8(4, 0)
        .Str(5, 71, "P")
        .I32(185, static_cast<std::int32_t>(text.length));
    r.U8(195, 2).I16(221, 9).I32(231, 4).I32(235, 5).I32(227, 6);
    b.AddRecord(K::testoHtml, r);
    Open(b);
    const auto& rec = Obj(K::testoHtml, 0).Record();
    EXPECT_EQ(rec.U8(195), 2);
    EXPECT_EQ(rec.I16(221), 9);
    EXPECT_EQ(rec.I32(231), 4);
    EXPECT_EQ(rec.I32(235), 5);
    EXPECT_EQ(rec.I32(227), 6);
    EXPECT_EQ(rec.U8(300), 0xFF); // beyond the stored record
    EXPECT_EQ(Obj(K::testoHtml, 0).DataBytes(), "<Z S0 >hello");
}

TEST_F(RecordLoad, OldPageRecordGetsTheOldDefaultsAndLosesItsSlotWithoutText) {
    ovkbuild::Builder b;
    b.SetRecordSize(K::testoHtml, 242);
    b.Header().SetRevision(7);
    auto text = b.AddData("<Z S0 >old");
    Record withText = FfRecord(242);
    withText.I32(0, static_cast<std::int32_t>(text.offset))
        .U8(4, 0)
        .Str(5, 71, "Old")
        .I32(185, static_cast<std::int32_t>(text.length));
    b.AddRecord(K::testoHtml, withText);
    Record noText = FfRecord(242);
    noText.I32(0, 0).U8(4, 0).Str(5, 71, "Empty").I32(185, 0);
    b.AddRecord(K::testoHtml, noText);
    Open(b);

    const TOVKoggetto& page = Obj(K::testoHtml, 0);
    EXPECT_FALSE(page.IsFree());
    EXPECT_EQ(page.Record().U8(195), 1);
    EXPECT_EQ(page.Record().I16(221), 5);
    EXPECT_EQ(page.Record().I32(227), -1);
    EXPECT_EQ(page.Record().I32(231), -1);
    EXPECT_EQ(page.Record().I32(235), -1);
    EXPECT_EQ(page.Record().I32(223), -1);
    EXPECT_EQ(page.Record().I16(191), 1040);
    EXPECT_EQ(page.Record().I32(196), 6);
    EXPECT_EQ(page.Record().U8(194), 0);

    const TOVKoggetto& empty = Obj(K::testoHtml, 1);
    EXPECT_TRUE(empty.IsFree());
    EXPECT_FALSE(empty.HasData());
    EXPECT_EQ(empty.Describe(), "Non definito.");
}

TEST_F(RecordLoad, DuplicateStoredFileNamesOfOldRecordsAreRenamed) {
    ovkbuild::Builder b;
    b.SetRecordSize(K::genLink, 92);
    b.SetRecordSize(K::immagine, 600);
    for (const char* name : {"Report.PDF", "report.pdf", "other.txt"}) {
        Record r = FfRecord(92);
        r.U8(4, 4).Str(5, 78, name).I32(0, 0).I32(85, 0);
        b.AddRecord(K::genLink, r);
    }
    Record pic = FfRecord(600);
    pic.U8(4, 0).Str(5, 71, "pic").Str(94, 75, "OTHER.TXT").I32(0, 0).I32(174, 0);
    b.AddRecord(K::immagine, pic);
    Open(b);

    EXPECT_EQ(Obj(K::genLink, 0).StoredFileName(), "Report.PDF");
    const std::string renamed = Obj(K::genLink, 1).StoredFileName();
    EXPECT_THAT(renamed, ::testing::MatchesRegex("ed[0-9a-f]{6}\\.pdf"));
    EXPECT_EQ(Obj(K::genLink, 2).StoredFileName(), "other.txt");
    EXPECT_THAT(Obj(K::immagine, 0).StoredFileName(), ::testing::MatchesRegex("ed[0-9a-f]{6}\\.TXT"));
    EXPECT_EQ(Obj(K::immagine, 0).Record().I32(662), -1);
}

TEST_F(RecordLoad, InternetLinkSubKindFollowsTheAddressPrefix) {
    struct Case {
        const char* address;
        int stored;
        int expected;
    };
    const Case cases[] = {
        {"mailto:a@b.example", 4, 8}, {"MAILTO:a@b.example", 4, 4}, {"vosk:x.ovk|2", 0, 6},
        {"http://a.example", 4, 7},   {"ftp://a.example", 9, 9},    {"http://kept", 5, 5},
    };
    ovkbuild::Builder b;
    for (const auto& c : cases) {
        Record r = FfRecord();
        r.U8(4, static_cast<std::uint8_t>(c.stored)).Str(5, 127, c.address);
        b.AddRecord(K::internetLink, r);
    }
    Open(b);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(Obj(K::internetLink, static_cast<int>(i)).Record().U8(4), cases[i].expected)
            << cases[i].address;
}

TEST_F(RecordLoad, ShortTableRecordGetsPercentColumnsAndWideWidths) {
    ovkbuild::Builder b;
    b.SetRecordSize(K::tabellaHtml, 219);
    Record r = FfRecord(219);
    r.U8(4, 2).I32(81, 0);
    for (int i = 0; i < 50; ++i) r.U8(5 + i, 1).U8(97 + i, static_cast<std::uint8_t>(i == 0 ? 200 : i));
    b.AddRecord(K::tabellaHtml, r);
    Open(b);
    const auto& rec = Obj(K::tabellaHtml, 0).Record();
    EXPECT_EQ(rec.I16(97), 200);
    for (int i = 1; i < 50; ++i) EXPECT_EQ(rec.I16(97 + 2 * i), i);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(rec.U8(5 + i), 0);
    EXPECT_EQ(rec.I16(56), 300);
    EXPECT_EQ(rec.U8(55), 1);
    EXPECT_EQ(rec.U8(219), 1);
    EXPECT_FALSE(Obj(K::tabellaHtml, 0).HasData());
}

TEST_F(RecordLoad, OtherUpgrades) {
    ovkbuild::Builder b;
    b.SetRecordSize(K::bottoneCGI, 190);
    b.AddRecord(K::bottoneCGI, FfRecord(190).U8(4, 1).I16(186, 50));
    b.AddRecord(K::multiMedia, FfRecord().U8(4, 1).I32(17, 4));
    b.AddRecord(K::multiMedia, FfRecord().U8(4, 5).I32(17, 4));
    b.AddRecord(K::multiMedia, FfRecord().U8(4, 1).I32(17, -1));
    Open(b);
    EXPECT_EQ(Obj(K::bottoneCGI, 0).Record().I16(186), -1);
    EXPECT_EQ(Obj(K::multiMedia, 0).Record().I32(17), 0x03000004);
    EXPECT_EQ(Obj(K::multiMedia, 1).Record().I32(17), 4);
    EXPECT_EQ(Obj(K::multiMedia, 2).Record().I32(17), -1);
}

TEST_F(RecordLoad, LyingBlockLengthsLeaveTheBlockOut) {
    ovkbuild::Builder b;
    auto text = b.AddData("comment text");
    struct Case {
        std::int32_t pos, len;
        bool data;
    };
    const Case cases[] = {
        {static_cast<std::int32_t>(text.offset), static_cast<std::int32_t>(text.length), true},
        {static_cast<std::int32_t>(text.offset), 0x7FFFFFFF, false},
        {static_cast<std::int32_t>(text.offset), -5, false},
        {0x7FFFFFF0, 4, false},
        {-100000, 4, false},
        {static_cast<std::int32_t>(text.offset), 0, false},
    };
    for (const auto& c : cases) {
        Record r = FfRecord();
        r.U8(4, 10).I32(0, c.pos).I32(13, c.len).I32(20, c.pos).I32(24, c.len);
        b.AddRecord(K::shortObj, r);
    }
    Open(b);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const TOVKoggetto& o = Obj(K::shortObj, static_cast<int>(i));
        EXPECT_EQ(o.HasData(), cases[i].data) << i;
        EXPECT_EQ(o.HasExtra(), cases[i].data) << i;
        if (cases[i].data) EXPECT_EQ(o.DataBytes(), "comment text");
    }
}

TEST_F(RecordLoad, FloatingPositionMovesOutOfTheExtraBlock) {
    ovkbuild::Builder b;
    std::string binary(20, '\0');
    for (int i = 0; i < 20; ++i) binary[static_cast<std::size_t>(i)] = static_cast<char>(i + 1);
    std::string extra = std::string("\x14\0\0\0", 4) + binary + "name=\"pic\"";
    auto block = b.AddData(extra);
    b.AddRecord(K::immagineNew, FfRecord()
                                    .U8(4, 1)
                                    .I32(61, static_cast<std::int32_t>(block.offset))
                                    .I32(65, static_cast<std::int32_t>(block.length)));
    std::string other = std::string("\x03\0\0\0abc", 7) + "name=\"keep\"";
    auto block2 = b.AddData(other);
    b.AddRecord(K::immagineNew, FfRecord()
                                    .U8(4, 1)
                                    .I32(61, static_cast<std::int32_t>(block2.offset))
                                    .I32(65, static_cast<std::int32_t>(block2.length)));
    Open(b);

    const TOVKoggetto& o = Obj(K::immagineNew, 0);
    EXPECT_EQ(o.Record().Raw(556, 20), binary);
    EXPECT_EQ(o.Extra(), std::string("\0\0\0\0", 4) + "name=\"pic\"");
    EXPECT_EQ(o.GetAttribute("name"), "pic");
    EXPECT_EQ(o.ElementName(), "pic");

    const TOVKoggetto& kept = Obj(K::immagineNew, 1);
    EXPECT_EQ(kept.Extra(), other);
    EXPECT_EQ(kept.Record().U8(556), 0xFF);
    EXPECT_EQ(kept.GetAttribute("NAME"), "keep");
}

TEST_F(RecordLoad, FileBackedDataIsReadWhenAsked) {
    ovkbuild::Builder b;
    auto bytes = b.AddData("PDF-BYTES");
    b.AddRecord(K::genLink, FfRecord()
                                .U8(4, 4)
                                .Str(5, 78, "a.pdf")
                                .I32(0, static_cast<std::int32_t>(bytes.offset))
                                .I32(85, static_cast<std::int32_t>(bytes.length)));
    b.AddRecord(K::genLink, FfRecord().U8(4, 5).Str(5, 78, "free.pdf"));
    Open(b);
    EXPECT_TRUE(Obj(K::genLink, 0).IsFileBacked());
    EXPECT_EQ(Obj(K::genLink, 0).DataBytes(), "PDF-BYTES");
    EXPECT_FALSE(Obj(K::genLink, 1).HasData());
}

} // namespace
} // namespace morvell::test
