#include "objects/qt/PictureQt.h"
#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "objects/picture/PictureClipboard.h"
#include "platform/Messages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <memory>

namespace morvell {
namespace {

using namespace std::string_literals;

// Two frames on a 2 x 1 screen, colours black and green: frame 1 is green with its right
// pixel transparent, frame 2 all green.
const std::string kTwoFrameGif =
    "GIF89a\x02\x00\x01\x00\x80\x00\x00\x00\x00\x00\x00\xFF\x00"
    "\x21\xF9\x04\x01\x00\x00\x00\x00\x2C\x00\x00\x00\x00\x02\x00\x01\x00\x00\x02\x02\x0C\x0A\x00"
    "\x21\xF9\x04\x00\x00\x00\xFF\x00\x2C\x00\x00\x00\x00\x02\x00\x01\x00\x00\x02\x02\x4C\x0A\x00"
    "\x3B"s;

void PutU32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A w x h 32-bit BMP of one colour.
std::string SolidBmp(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::string s = "BM";
    PutU32(s, static_cast<std::uint32_t>(54 + w * h * 4));
    PutU32(s, 0);
    PutU32(s, 54);
    PutU32(s, 40);
    PutU32(s, static_cast<std::uint32_t>(w));
    PutU32(s, static_cast<std::uint32_t>(h));
    s += "\x01\x00\x20\x00"s;
    s += std::string(24, '\0');
    for (int i = 0; i < w * h; ++i)
        s += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r), '\0'};
    return s;
}

TEST(PictureQt, FrameBecomesAnEqualQImage) {
    Bitmap bitmap(3, 2);
    bitmap.SetPixel(0, 0, Bitmap::Opaque(255, 0, 0));
    bitmap.SetPixel(2, 1, Bitmap::Premultiplied(0, 0, 255, 0x80));
    const QImage image = BitmapToQImage(bitmap);
    ASSERT_EQ(image.width(), 3);
    ASSERT_EQ(image.height(), 2);
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(image.pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(image.pixelColor(1, 0).alpha(), 0);
    const QColor half = image.pixelColor(2, 1);
    EXPECT_EQ(half.alpha(), 0x80);
    EXPECT_NEAR(half.blue(), 255, 2);

    // The copy does not depend on the bitmap; the wrapper shares its pixels.
    const QImage wrapped = WrapBitmap(bitmap);
    EXPECT_EQ(wrapped.constBits(), reinterpret_cast<const uchar*>(bitmap.Data()));
    bitmap.SetPixel(0, 0, 0);
    EXPECT_EQ(image.pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_TRUE(BitmapToQImage(Bitmap()).isNull());
}

TEST(PictureQt, GifFramesConvertByIndex) {
    TOVKpicture picture;
    ASSERT_TRUE(picture.LoadFromBytes(kTwoFrameGif, "x.gif"));
    EXPECT_EQ(FrameToQImage(picture, 0).pixelColor(1, 0).alpha(), 0);
    EXPECT_EQ(FrameToQImage(picture, 1).pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_TRUE(FrameToQImage(picture, 2).isNull());
}

// A picture object of a document built in memory, as the copy command is handed it.
class PictureCopyQt : public ::testing::Test {
protected:
    PictureCopyQt() : m_scoped(m_messages) { m_doc.New(); }

    TOVKoggetto& AddImmagine(const std::string& storedName, const std::string& bytes) {
        std::unique_ptr<TOVKoggetto> object = TOVKoggetto::Create(TOggettiHel::immagine);
        object->SetDocument(&m_doc);
        object->Record().SetU8(4, 0);
        object->Record().SetStr(5, 71, "sfondo");
        object->Record().SetStr(94, 75, storedName);
        object->SetData(bytes);
        TOVKoggetto* raw = object.release();
        m_doc.RegisterObject(raw, m_doc.Count(TOggettiHel::immagine));
        return *raw;
    }

    RecordingMessages m_messages;
    ScopedMessages m_scoped;
    TOVKset m_doc;
};

TEST_F(PictureCopyQt, CopyPutsTheBlockAndAPngOfThePicture) {
    TOVKoggetto& immagine = AddImmagine("sfondo.bmp", SolidBmp(5, 4, 10, 20, 30));
    QClipboard* clipboard = QGuiApplication::clipboard();
    ASSERT_TRUE(CopyPictureToClipboard(immagine, clipboard));

    const QMimeData* data = clipboard->mimeData();
    ASSERT_NE(data, nullptr);
    const std::string block = AssemblePictureClipboard(immagine)->block;
    EXPECT_EQ(data->data("application/x-vosk30-picture"),
              QByteArray(block.data(), static_cast<qsizetype>(block.size())));
    QImage png;
    ASSERT_TRUE(png.loadFromData(data->data("image/png"), "PNG"));
    EXPECT_EQ(png.size(), QSize(5, 4));
    EXPECT_EQ(png.pixel(4, 3), qRgb(10, 20, 30));
    EXPECT_TRUE(m_messages.Entries().empty());
}

TEST_F(PictureCopyQt, APictureThatDoesNotDecodeGivesOnlyTheBlock) {
    TOVKoggetto& immagine = AddImmagine("sfondo.bmp", "BM but nothing more");
    QClipboard* clipboard = QGuiApplication::clipboard();
    ASSERT_TRUE(CopyPictureToClipboard(immagine, clipboard));
    EXPECT_TRUE(clipboard->mimeData()->hasFormat("application/x-vosk30-picture"));
    EXPECT_FALSE(clipboard->mimeData()->hasFormat("image/png"));
    EXPECT_TRUE(m_messages.Entries().empty());
}

TEST_F(PictureCopyQt, CopyOfAnotherKindLeavesTheClipboardAlone) {
    std::unique_ptr<TOVKoggetto> link = TOVKoggetto::Create(TOggettiHel::genLink);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("before");
    EXPECT_FALSE(CopyPictureToClipboard(*link, clipboard));
    ASSERT_EQ(m_messages.Entries().size(), 1u);
    EXPECT_EQ(m_messages.Entries()[0].kind, MessageKind::Error);
    EXPECT_EQ(m_messages.Entries()[0].text, "Allowed only for immagine");
    EXPECT_EQ(clipboard->text(), "before");
}

} // namespace
} // namespace morvell
