// Reset, InitNew and IsFree per kind; registration; releasing owned special links.

#include "ObjectFixture.h"

namespace morvell::test {
namespace {

struct KindCase {
    K kind;
    int resetStatus; // record byte 4 after Reset (0xFF: the kind sets none)
    bool freeAfterReset;
    int initStatus; // record byte 4 after InitNew
    bool freeAfterInit;
};

const KindCase kKinds[] = {
    {K::testoHtml, 3, true, 0, false},      {K::internetLink, 5, true, 4, false},
    {K::zipLink, 0xFF, false, 0xFF, false}, {K::genLink, 5, true, 4, false},
    {K::immagine, 3, true, 0, false},       {K::mappaClic, 0xFF, false, 0xFF, false},
    {K::programma, 1, true, 1, true},       {K::tabellaHtml, 0, true, 2, false},
    {K::mappaFrame, 1, true, 2, false},     {K::speclink, 0, true, 1, false},
    {K::shortObj, 0, true, 1, false},       {K::custom, 0, true, 1, false},
    {K::dbloc, 0, true, 7, false},          {K::spazio4, 0xFF, false, 0xFF, false},
    {K::immagineNew, 0, true, 1, false},    {K::stileParagrafo, 0, true, 1, false},
    {K::fontFace, 0xFF, false, 1, false},   {K::formato, 0, true, 1, false},
    {K::inputStat, 0, true, 1, false},      {K::inputDin, 0, true, 1, false},
    {K::bottoneCGI, 0, true, 1, false},     {K::inizioForm, 0, true, 1, false},
    {K::multiMedia, 0, true, 1, false},     {K::none, 0xFF, false, 0xFF, false},
};

TEST(LifeCycle, ResetMakesAnEmptySlotAndInitNewPutsItInUse) {
    for (const auto& c : kKinds) {
        SCOPED_TRACE(std::string(KindName(c.kind)));
        auto o = Loose(c.kind);
        o->Record().Fill(0x42);
        o->Reset();
        EXPECT_EQ(o->Record().U8(4), c.resetStatus);
        EXPECT_EQ(o->IsFree(), c.freeAfterReset);
        o->InitNew();
        EXPECT_EQ(o->Record().U8(4), c.initStatus);
        EXPECT_EQ(o->IsFree(), c.freeAfterInit);
    }
}

TEST(LifeCycle, KeywordIsFreeByItsText) {
    auto o = Loose(K::keyword);
    o->Reset();
    EXPECT_EQ(o->DisplayName(), "-");
    EXPECT_TRUE(o->IsFree());
    o->Record().SetStr(0, 79, "word");
    EXPECT_FALSE(o->IsFree());
}

TEST(LifeCycle, ResetDefaultsOfPagesTablesAndStyles) {
    auto page = Loose(K::testoHtml);
    page->SetData("text");
    page->SetExtra("xxxx");
    page->SetFileName("/tmp/x");
    page->Reset();
    EXPECT_FALSE(page->HasData());
    EXPECT_FALSE(page->HasExtra());
    EXPECT_EQ(page->FileName(), "");
    EXPECT_THAT(page->DisplayName(), ::testing::MatchesRegex("Senza titolo [0-9]+"));
    EXPECT_EQ(page->Record().U32(101), 0xF0F0F0u);
    EXPECT_EQ(page->Record().I32(85), -1);
    EXPECT_EQ(page->Record().U8(195), 2);
    EXPECT_EQ(page->Record().U8(189), 1);
    page->InitNew();
    EXPECT_EQ(page->DataBytes(), std::string("<Z S0 >\0", 8));

    auto table = Loose(K::tabellaHtml);
    table->Reset();
    EXPECT_EQ(table->Record().U8(5), 1);
    EXPECT_EQ(table->Record().U8(54), 1);
    EXPECT_EQ(table->Record().U8(88), 100);
    EXPECT_EQ(table->Record().U8(93), 1);
    EXPECT_EQ(table->Record().I16(97), 0);
    EXPECT_EQ(table->Record().U32(211), 0x80000014u);
    EXPECT_EQ(table->Record().U32(215), 0x80000010u);
    EXPECT_EQ(table->Record().U8(219), 2);

    auto style = Loose(K::stileParagrafo);
    style->Reset();
    EXPECT_EQ(style->Record().Str(39, 32), "Arial");
    EXPECT_EQ(style->Record().I16(94), -32000);
    EXPECT_EQ(style->Record().U8(0), 0);

    auto data = Loose(K::dbloc);
    data->Reset();
    EXPECT_EQ(data->DisplayName(), "db");
    auto custom = Loose(K::custom);
    custom->Reset();
    EXPECT_EQ(custom->DisplayName(), "Nuovo prototipo");
}

class Owned : public ObjectTest {};

TEST_F(Owned, ResetReleasesOwnedSpecialLinksOnly) {
    ovkbuild::Builder b;
    b.AddRecord(K::speclink, FfRecord().U8(4, 3));
    b.AddRecord(K::speclink, FfRecord().U8(4, 3));
    b.AddRecord(K::internetLink, FfRecord().U8(4, 4).Str(5, 127, "http://x"));
    // A marker of sub-kind 13 owns the special link it follows; a button owns its link.
    b.AddRecord(K::shortObj, FfRecord().U8(4, 13).I32(5, MakeReference(K::speclink, 0)));
    b.AddRecord(K::bottoneCGI, FfRecord().U8(4, 1).I32(181, MakeReference(K::speclink, 1)));
    b.AddRecord(K::shortObj, FfRecord().U8(4, 13).I32(5, MakeReference(K::internetLink, 0)));
    // A marker that follows itself.
    b.AddRecord(K::shortObj, FfRecord().U8(4, 13).I32(5, MakeReference(K::shortObj, 2)));
    Open(b);

    Obj(K::shortObj, 0).Reset();
    EXPECT_TRUE(Obj(K::speclink, 0).IsFree());
    EXPECT_FALSE(Obj(K::speclink, 1).IsFree());
    Obj(K::bottoneCGI, 0).Reset();
    EXPECT_TRUE(Obj(K::speclink, 1).IsFree());
    Obj(K::shortObj, 1).Reset();
    EXPECT_FALSE(Obj(K::internetLink, 0).IsFree());

    EXPECT_EQ(Obj(K::shortObj, 2).DisplayName(), "");
    EXPECT_EQ(Obj(K::shortObj, 2).Describe(), "");
    Obj(K::shortObj, 2).Reset();
    EXPECT_TRUE(Obj(K::shortObj, 2).IsFree());
}

TEST_F(Owned, RegisterAndSetKind) {
    ovkbuild::Builder b;
    b.AddRecord(K::speclink, FfRecord().U8(4, 3));
    Open(b);
    auto fresh = Loose(K::speclink, &m_doc);
    fresh->Reset();
    fresh->InitNew();
    TOVKoggetto* raw = fresh.release();
    const std::int32_t index = raw->Register();
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(raw->Registered());
    EXPECT_EQ(m_doc.Object(K::speclink, 1), raw);
    EXPECT_EQ(raw->Register(), 1); // already registered: left alone

    // Changing the kind takes the object out of its old list; the caller owns it then.
    raw->SetKind(K::shortObj);
    EXPECT_FALSE(raw->Registered());
    EXPECT_NE(m_doc.Object(K::speclink, 1), raw);
    EXPECT_EQ(raw->Kind(), K::shortObj);
    EXPECT_EQ(raw->Reference(), MakeReference(K::shortObj, 1));
    delete raw;
}

TEST(LifeCycle, FloatingPictures) {
    auto o = Loose(K::immagineNew);
    for (int placement : {3, 4, 5, 253, 254, 255}) {
        o->Record().SetU8(13, static_cast<std::uint8_t>(placement));
        EXPECT_EQ(o->IsFloating(), placement >= 254) << placement;
    }
    auto other = Loose(K::immagine);
    other->Record().SetU8(13, 255);
    EXPECT_FALSE(other->IsFloating());
}

} // namespace
} // namespace morvell::test

namespace morvell::test {
namespace {

TEST_F(Owned, ResettingAPageResetsTheObjectsItsTextEmbeds) {
    ovkbuild::Builder b;
    auto text = b.AddData("<Z S0 >go <$0A000000>here<%> and <$00000001> <$0B00000");
    b.AddRecord(K::testoHtml, FfRecord()
                                  .U8(4, 0)
                                  .Str(5, 71, "A")
                                  .I32(0, static_cast<std::int32_t>(text.offset))
                                  .I32(185, static_cast<std::int32_t>(text.length)));
    b.AddRecord(K::testoHtml, FfRecord()
                                  .U8(4, 0)
                                  .Str(5, 71, "B")
                                  .I32(0, static_cast<std::int32_t>(text.offset))
                                  .I32(185, static_cast<std::int32_t>(text.length)));
    b.AddRecord(K::speclink, FfRecord().U8(4, 3));
    Open(b);
    Obj(K::testoHtml, 0).Reset();
    EXPECT_TRUE(Obj(K::testoHtml, 0).IsFree());
    EXPECT_TRUE(Obj(K::speclink, 0).IsFree());
    EXPECT_FALSE(Obj(K::testoHtml, 1).IsFree()); // pages are never owned by a page
}

} // namespace
} // namespace morvell::test
