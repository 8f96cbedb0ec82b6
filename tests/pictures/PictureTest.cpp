#include "PictureFixtures.h"
#include "support/TestSupport.h"

#include "objects/TOVKpicture.h"
#include "objects/picture/PictureClipboardBlock.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace morvell {
namespace {

using test::Rgb;

Rgb Grey(int, int) { return Rgb{128, 128, 128}; }

std::string SmallGif(bool transparentFirst) {
    test::GifSpec gifShape;
    gifShape.width = 2;
    gifShape.height = 2;
    gifShape.globalMap = {{0, 0, 0}, {255, 0, 0}};
    test::GifFrameSpec f;
    f.width = 2;
    f.height = 2;
    f.indices = {1, 1, 1, 1};
    f.transparentIndex = transparentFirst ? 0 : -1;
    test::GifFrameSpec second = f;
    second.transparentIndex = 0;
    gifShape.frames = {f, second};
    return test::MakeGif(gifShape);
}

TEST(PictureFormat, ChosenByTheExtensionOfTheLastNameComponent) {
    struct Case {
        const char* name;
        PictureFormat format;
    };
    const Case cases[] = {
        {"photo.jpg", PictureFormat::Jpeg},       {"PHOTO.JPG", PictureFormat::Jpeg},
        {"a.Jpeg", PictureFormat::Jpeg},          {"anim.gif", PictureFormat::Gif},
        {"C:\\pics\\back.BMP", PictureFormat::Bitmap}, {"/tmp/x/icon.ico", PictureFormat::Icon},
        {"drawing.wmf", PictureFormat::Metafile}, {"drawing.EMF", PictureFormat::Metafile},
        {"image.png", PictureFormat::None},       {"scan.tiff", PictureFormat::None},
        {"x.jpg.png", PictureFormat::None},       {"dir.jpg\\file", PictureFormat::None},
        {"dir.gif/file", PictureFormat::None},    {"noextension", PictureFormat::None},
        {"", PictureFormat::None},                {"trailingdot.", PictureFormat::None},
    };
    for (const Case& c : cases) EXPECT_EQ(PictureFormatOfName(c.name), c.format) << c.name;
}

TEST(TOVKpicture, LoadsBytesByTheNameItIsGiven) {
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    const std::string jpeg = test::MakeJpeg(10, 6, Grey);

    TOVKpicture picture;
    EXPECT_TRUE(picture.LoadFromBytes(jpeg, "SFONDO.JPG"));
    EXPECT_EQ(picture.Format(), PictureFormat::Jpeg);
    EXPECT_EQ(picture.ImageNameL(), "SFONDO.JPG");
    EXPECT_EQ(picture.Width(), 10);
    EXPECT_EQ(picture.Height(), 6);
    EXPECT_EQ(picture.FrameCount(), 1u);
    EXPECT_FALSE(picture.IsGif());

    // The same bytes under a name we do not load, or under the wrong decoder, give nothing.
    for (const char* name : {"sfondo.png", "sfondo.gif", "sfondo.wmf", "sfondo"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(picture.LoadFromBytes(jpeg, name));
        EXPECT_TRUE(picture.IsEmpty());
        EXPECT_EQ(picture.ImageNameL(), "");
        EXPECT_EQ(picture.Width(), 0);
        EXPECT_EQ(picture.Frame(0), nullptr);
    }
    EXPECT_TRUE(messages.Entries().empty());
}

TEST(TOVKpicture, ImageNameLoadsTheFileOnceAndForgetsFailures) {
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    test::TempDir dir;
    const std::string gifPath = (dir / "anim.GIF").string();
    test::WriteFile(gifPath, SmallGif(false));

    TOVKpicture picture;
    picture.SetImageNameL(gifPath);
    EXPECT_EQ(picture.ImageNameL(), gifPath);
    EXPECT_TRUE(picture.IsGif());
    EXPECT_EQ(picture.FrameCount(), 2u);

    // Setting the same name again does not reload: the file can be gone by then.
    std::filesystem::remove(gifPath);
    picture.SetImageNameL(gifPath);
    EXPECT_EQ(picture.FrameCount(), 2u);

    picture.SetImageNameL((dir / "missing.jpg").string());
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_EQ(picture.ImageNameL(), "");

    const std::string damaged = (dir / "bad.bmp").string();
    test::WriteFile(damaged, "BM this is not a bitmap at all");
    picture.SetImageNameL(damaged);
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_EQ(picture.ImageNameL(), "");

    const std::string folder = (dir / "folder.bmp").string();
    std::filesystem::create_directory(folder);
    picture.SetImageNameL(folder);
    EXPECT_TRUE(picture.IsEmpty());

    picture.SetImageNameL("");
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_TRUE(messages.Entries().empty());
}

TEST(TOVKpicture, ResolverMapsAStoredNameToTheFileRead) {
    test::TempDir dir;
    const std::string local = (dir / "real.bmp").string();
    test::WriteFile(local, test::MakeBmp(7, 3, Grey));
    std::string asked;
    TOVKpicture picture;
    picture.SetImageNameL("C:\\Ebook\\Pics\\Real.BMP", [&](const std::string& name) {
        asked = name;
        return local;
    });
    EXPECT_EQ(asked, "C:\\Ebook\\Pics\\Real.BMP");
    EXPECT_EQ(picture.ImageNameL(), "C:\\Ebook\\Pics\\Real.BMP");
    EXPECT_EQ(picture.Width(), 7);
    // A resolver that finds nothing.
    picture.SetImageNameL("other.bmp", [](const std::string&) { return std::string(); });
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_EQ(picture.ImageNameL(), "");
}

TEST(TOVKpicture, SharedFramesOutliveTheClearedPicture) {
    TOVKpicture picture;
    ASSERT_TRUE(picture.LoadFromBytes(SmallGif(false), "a.gif"));
    const std::shared_ptr<const DecodedPicture> frames = picture.Shared();
    picture.Clear();
    EXPECT_TRUE(picture.IsEmpty());
    ASSERT_EQ(frames->frames.size(), 2u);
    EXPECT_EQ(frames->frames[1].bitmap.Pixel(1, 1), Bitmap::Opaque(255, 0, 0));
}

TEST(TOVKpicture, Opacity) {
    auto loaded = [](const std::string& bytes, const char* name) {
        auto p = std::make_unique<TOVKpicture>();
        p->LoadFromBytes(bytes, name);
        return p;
    };
    test::IconImage icon;
    icon.width = 2;
    icon.height = 2;
    icon.colour = Grey;
    icon.masked = [](int x, int) { return x == 0; };
    struct Case {
        const char* name;
        std::unique_ptr<TOVKpicture> picture;
        bool opaque;
    };
    Case cases[] = {
        {"no picture", nullptr, true},
        {"empty picture", std::make_unique<TOVKpicture>(), true},
        {"bitmap", loaded(test::MakeBmp(2, 2, Grey), "a.bmp"), true},
        {"jpeg", loaded(test::MakeJpeg(8, 8, Grey), "a.jpg"), true},
        {"icon with a mask", loaded(test::MakeIco({icon}), "a.ico"), true},
        {"gif, first frame transparent", loaded(SmallGif(true), "a.gif"), false},
        {"gif, only a later frame transparent", loaded(SmallGif(false), "a.gif"), true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsPictureOpaque(c.picture.get()), c.opaque) << c.name;
}

TEST(PictureClipboardBlock, LaysOutAnImmagineCopy) {
    PictureClipboardParts parts;
    parts.supportForms = {"PIC"};
    parts.instanceForm = "INST";
    const std::string block = BuildPictureClipboardBlock(parts);
    using namespace std::string_literals;
    const std::string want = "\x03\0\0\0"s       // version
                             "\0\0\0\0"s         // no links
                             "\x01\0\0\0\x05\0\0\0PIC"s
                             "\x01\0\0\0\x10\0\0\0\x01\0\0\0INST"s
                             "\x01\0\0\0<Z S0 ><$FF000001>\0"s;
    EXPECT_EQ(block, want);

    parts.links = {{2, 0x6F000001, "L"}};
    const std::string withLink = BuildPictureClipboardBlock(parts);
    EXPECT_EQ(withLink.substr(4, 13), "\x01\0\0\0\x02\0\0\0\x01\0\0\x6FL"s);
}

TEST(PictureClipboardBlock, InstanceNameKeepsThirtyTwoCharacters) {
    EXPECT_EQ(CopyInstanceName("sfondo"), "sfondo=");
    EXPECT_EQ(CopyInstanceName(std::string(40, 'a')), std::string(32, 'a') + "=");
    EXPECT_EQ(CopyInstanceName(""), "=");
}

} // namespace
} // namespace morvell
