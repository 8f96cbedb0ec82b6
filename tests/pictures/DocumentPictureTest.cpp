// Pictures reached through real ebook objects: the immagine's bytes come from the open file,
// the document's cache keeps the decoded picture, and an immagineNew shows the picture it names.
#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKpicture.h"
#include "ovkbuild/Builder.h"
#include "ovkbuild/Templates.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"
#include "PictureFixtures.h"

#include <gtest/gtest.h>

namespace morvell {
namespace {

test::Rgb Grey(int, int) { return {128, 128, 128}; }

TEST(DocumentPictures, ImmagineDecodesFromTheEbookOnceAndRecordsItsSize) {
    test::TempHome home;
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    ovkbuild::Builder b;
    ovkbuild::AddPage(b, "Cover");
    ovkbuild::AddImmagine(b, "Logo", "logo.bmp", test::MakeBmp(5, 4, Grey));
    ovkbuild::AddImmagine(b, "Broken", "broken.bmp", "not a bitmap");
    const auto path = home.Path() / "pics.ovk";
    b.Write(path);

    TOVKset doc;
    ASSERT_TRUE(doc.SetOVKFileName(path.string()));
    TOVKoggetto* logo = doc.Object(TOggettiHel::immagine, 0);
    ASSERT_NE(logo, nullptr);
    TOVKpicture* pic = logo->GetPicture();
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->Width(), 5);
    EXPECT_EQ(pic->Height(), 4);
    EXPECT_EQ(logo->Record().U16(85), 5);
    EXPECT_EQ(logo->Record().U16(87), 4);
    EXPECT_EQ(logo->GetPicture(), pic) << "the second request is served from the cache";

    // A picture that does not decode gives no picture and no message.
    TOVKpicture* broken = doc.Object(TOggettiHel::immagine, 1)->GetPicture();
    EXPECT_TRUE(broken == nullptr || broken->IsEmpty());
    EXPECT_TRUE(messages.Entries().empty());

    // Releasing the object's pictures drops the cache entry; the next request decodes again.
    logo->ReleasePictures();
    TOVKpicture* again = logo->GetPicture();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Width(), 5);
}

TEST(DocumentPictures, PlacedPictureShowsTheImmagineItNames) {
    test::TempHome home;
    ovkbuild::Builder b;
    ovkbuild::AddPage(b, "Cover");
    ovkbuild::AddImmagine(b, "Logo", "logo.bmp", test::MakeBmp(6, 2, Grey));
    ovkbuild::Record placed;
    placed.I32(0, 0).U8(4, 1).I32(5, -1).I32(9, -1).U8(13, 4);
    b.AddRecord(TOggettiHel::immagineNew, placed);
    const auto path = home.Path() / "placed.ovk";
    b.Write(path);

    TOVKset doc;
    ASSERT_TRUE(doc.SetOVKFileName(path.string()));
    TOVKoggetto* shown = doc.Object(TOggettiHel::immagineNew, 0);
    ASSERT_NE(shown, nullptr);
    TOVKpicture* pic = shown->GetPicture();
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->Width(), 6);
    EXPECT_EQ(shown->RolloverPicture(), nullptr);
}

} // namespace
} // namespace morvell
