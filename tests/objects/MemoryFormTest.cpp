// The memory form of an object (clipboard and undo copies) and Assign.

#include "ObjectFixture.h"

#include "objects/TOVKtesto.h"

namespace morvell::test {
namespace {

TEST(MemoryForm, RoundTrip) {
    auto o = Loose(K::shortObj);
    o->SetIndex(42);
    o->Reset();
    o->InitNew();
    o->Record().SetU8(4, 10);
    o->SetData("comment");
    o->SetExtra(std::string("\0\0\0\0", 4) + "a=\"1\"");
    o->SetFileName("/x/y");
    std::string form;
    o->WriteToStream(form);
    EXPECT_EQ(form.size(), 4 + 1 + 668 + 4 + 4 + 4 + 4 + 7 + 4 + 9u);

    auto copy = Loose(K::testoHtmlRtf);
    std::size_t pos = 0;
    ASSERT_TRUE(copy->ReadFromStream(AsBytes(form), pos));
    EXPECT_EQ(pos, form.size());
    EXPECT_EQ(copy->Kind(), K::shortObj);
    EXPECT_EQ(copy->Index(), 42);
    EXPECT_EQ(copy->Record(), o->Record());
    EXPECT_EQ(copy->DataBytes(), "comment");
    EXPECT_EQ(copy->Extra(), o->Extra());
    EXPECT_EQ(copy->FileName(), "/x/y");
}

TEST(MemoryForm, CutShortOrLyingLengthsNeverReadPastTheEnd) {
    auto o = Loose(K::shortObj);
    o->SetData("data");
    o->SetExtra("extra");
    std::string form;
    o->WriteToStream(form);
    for (std::size_t cut = 0; cut < form.size(); ++cut) {
        auto copy = Loose(K::shortObj);
        std::size_t pos = 0;
        EXPECT_FALSE(copy->ReadFromStream(AsBytes(std::string_view(form).substr(0, cut)), pos)) << cut;
        EXPECT_LE(pos, cut);
    }
    // A data length of 2 GB in a short form.
    std::string lying = form;
    const std::size_t dataLengthAt = 4 + 1 + 668 + 4;
    lying[dataLengthAt + 3] = 0x7F;
    auto copy = Loose(K::shortObj);
    copy->SetData("old");
    std::size_t pos = 0;
    EXPECT_FALSE(copy->ReadFromStream(AsBytes(lying), pos));
    EXPECT_FALSE(copy->HasData());
    EXPECT_FALSE(copy->HasExtra());
}

TEST(MemoryForm, EmptyBlocksKeepTheExistingOnes) {
    auto source = Loose(K::dbloc);
    std::string form;
    source->WriteToStream(form);
    auto target = Loose(K::dbloc);
    target->SetData("kept");
    target->SetExtra("kept too");
    std::size_t pos = 0;
    ASSERT_TRUE(target->ReadFromStream(AsBytes(form), pos));
    EXPECT_EQ(target->DataBytes(), "kept");
    EXPECT_EQ(target->Extra(), "kept too");
}

class MemoryFormInBook : public ObjectTest {};

TEST_F(MemoryFormInBook, RegisteredObjectOfAnotherKindComplainsAndKeepsItsPlace) {
    ovkbuild::Builder b;
    b.AddRecord(K::speclink, FfRecord().U8(4, 3));
    Open(b);
    auto source = Loose(K::shortObj);
    source->SetIndex(9);
    source->Record().SetU8(4, 14);
    std::string form;
    source->WriteToStream(form);

    TOVKoggetto& target = Obj(K::speclink, 0);
    std::size_t pos = 0;
    EXPECT_TRUE(target.ReadFromStream(AsBytes(form), pos));
    EXPECT_EQ(m_messages.Texts(),
              std::vector<std::string>{
                  "In un TOVKoggetto registrato si può caricare solo un TOVKoggetto dello stesso tipo!"});
    EXPECT_EQ(target.Kind(), K::speclink);
    EXPECT_EQ(target.Index(), 0);
    EXPECT_EQ(target.Record().U8(4), 14);
    EXPECT_EQ(m_doc.Object(K::speclink, 0), &target);
}

TEST_F(MemoryFormInBook, FileBackedDataTravelsInTheForm) {
    ovkbuild::Builder b;
    auto block = b.AddData("BYTES");
    b.AddRecord(
        K::genLink,
        FfRecord().U8(4, 4).Str(5, 78, "f.bin").I32(0, static_cast<std::int32_t>(block.offset)).I32(85, 5));
    Open(b);
    std::string form;
    Obj(K::genLink, 0).WriteToStream(form);
    auto copy = Loose(K::testoHtmlRtf);
    std::size_t pos = 0;
    ASSERT_TRUE(copy->ReadFromStream(AsBytes(form), pos));
    EXPECT_FALSE(copy->IsFileBacked());
    EXPECT_EQ(copy->DataBytes(), "BYTES");
}

TEST_F(MemoryFormInBook, AssignCopiesAndTurnsOldPicturesIntoPlacedPictures) {
    ovkbuild::Builder b;
    auto block = b.AddData("GIF89a");
    Record pic = FfRecord();
    pic.U8(4, 0).Str(5, 71, "A picture name longer than thirty-two characters").Str(94, 75, "p.gif");
    pic.I32(0, static_cast<std::int32_t>(block.offset)).I32(174, 6).U16(85, 120).U16(87, 80).U8(89, 4);
    pic.I32(662, 0).U8(666, 0);
    for (int i = 0; i < 480; ++i) pic.U8(182 + i, static_cast<std::uint8_t>(i));
    b.AddRecord(K::immagine, pic);
    Open(b);

    auto placed = Loose(K::testoHtmlRtf);
    placed->Assign(Obj(K::immagine, 0));
    const auto& r = placed->Record();
    EXPECT_EQ(placed->Kind(), K::immagineNew);
    EXPECT_EQ(r.I32(0), 0);
    EXPECT_EQ(r.U8(4), 1);
    EXPECT_EQ(r.U8(13), 4);
    EXPECT_EQ(r.I16(15), 120);
    EXPECT_EQ(r.I16(21), 80);
    EXPECT_EQ(r.U32(24), 0xFF0000u);
    EXPECT_EQ(placed->DisplayName(), "A picture name longer than thirt");
    EXPECT_EQ(r.I32(5), -1);
    EXPECT_EQ(r.I32(69), -1);
    EXPECT_EQ(r.Raw(73, 480), Obj(K::immagine, 0).Record().Raw(182, 480));
    EXPECT_EQ(placed->ShownObject(), &Obj(K::immagine, 0));
    EXPECT_FALSE(placed->Registered());

    auto same = Loose(K::testoHtmlRtf);
    same->Assign(*placed);
    EXPECT_EQ(same->Record(), placed->Record());
}

TEST(Assign, MemoryDataIsCopiedNotShared) {
    auto a = Loose(K::shortObj);
    a->SetData("one");
    a->SetExtra("ex");
    auto b = Loose(K::testoHtmlRtf);
    b->Assign(*a);
    a->SetData("two");
    EXPECT_EQ(b->Kind(), K::shortObj);
    EXPECT_EQ(b->DataBytes(), "one");
    EXPECT_EQ(b->Extra(), "ex");
}

TEST(Assign, MappaClicSourceComplains) {
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    auto a = Loose(K::mappaClic);
    auto b = Loose(K::testoHtmlRtf);
    b->Assign(*a);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"mappaclic presente ancora! bug!"});
}

} // namespace
} // namespace morvell::test
