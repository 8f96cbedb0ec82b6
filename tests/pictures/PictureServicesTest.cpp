#include "PictureFixtures.h"
#include "support/TestSupport.h"

#include "objects/picture/PictureServices.h"

#include <gtest/gtest.h>

#include <map>

namespace morvell {
namespace {

using test::Rgb;

Rgb Grey(int, int) { return Rgb{90, 90, 90}; }

struct FakeObject : PictureObject {
    int kind = kKindImmagine;
    std::string fileName;
    std::string bytes;
    mutable int bytesRead = 0;
    int storedWidth = -1, storedHeight = -1;
    std::map<PictureSlot, std::int32_t> slots{
        {PictureSlot::Picture, -1}, {PictureSlot::Extra, -1}, {PictureSlot::Rollover, -1}};
    std::unique_ptr<TOVKpicture> own;
    int shownWidth = -1, shownHeight = -1;

    int PictureKind() const override { return kind; }
    std::string StoredFileName() const override { return fileName; }
    std::string PictureBytes() const override {
        ++bytesRead;
        return bytes;
    }
    void SetStoredPictureSize(std::uint16_t w, std::uint16_t h) override {
        storedWidth = w;
        storedHeight = h;
    }
    std::int32_t PictureIndex(PictureSlot slot) const override { return slots.at(slot); }
    TOVKpicture* OwnPicture() const override { return own.get(); }
    void SetOwnPicture(std::unique_ptr<TOVKpicture> picture) override { own = std::move(picture); }
    void SetOriginalAndDisplayedSize(std::int16_t w, std::int16_t h) override {
        shownWidth = w;
        shownHeight = h;
    }
};

// A document with a few `immagine` objects and an unbounded cache.
struct FakeHost : PictureHost {
    std::vector<FakeObject> images;
    std::map<const PictureObject*, std::unique_ptr<CachedPicture>> cache;
    std::vector<const PictureObject*> dropped;

    PictureObject* ImmagineAt(std::int32_t index) override {
        return index >= 0 && index < static_cast<std::int32_t>(images.size()) ? &images[static_cast<std::size_t>(index)]
                                                                               : nullptr;
    }
    CachedPicture* CachedPictureOf(const PictureObject& o) override {
        auto it = cache.find(&o);
        return it != cache.end() ? it->second.get() : nullptr;
    }
    CachedPicture* AddCachedPicture(PictureObject& o, std::unique_ptr<CachedPicture> p) override {
        return (cache[&o] = std::move(p)).get();
    }
    void DropCachedPicture(const PictureObject& o) override {
        dropped.push_back(&o);
        cache.erase(&o);
    }
};

FakeObject Image(std::string name, std::string bytes) {
    FakeObject o;
    o.fileName = std::move(name);
    o.bytes = std::move(bytes);
    return o;
}

FakeObject ImageNew(std::int32_t picture, std::int32_t extra = -1, std::int32_t rollover = -1) {
    FakeObject o;
    o.kind = kKindImmagineNew;
    o.slots = {{PictureSlot::Picture, picture}, {PictureSlot::Extra, extra}, {PictureSlot::Rollover, rollover}};
    return o;
}

TEST(PictureServices, ImmagineIsDecodedOnceFillsItsSizeAndIsCached) {
    FakeHost host;
    host.images.push_back(Image("FOTO.JPG", test::MakeJpeg(12, 5, Grey)));
    FakeObject& image = host.images[0];

    TOVKpicture* first = GetPicture(host, image);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Format(), PictureFormat::Jpeg);
    EXPECT_EQ(image.storedWidth, 12);
    EXPECT_EQ(image.storedHeight, 5);
    EXPECT_EQ(image.bytesRead, 1);

    image.storedWidth = image.storedHeight = -1;
    EXPECT_EQ(GetPicture(host, image), first);
    EXPECT_EQ(image.bytesRead, 1) << "served from the cache without reading the data block";
    EXPECT_EQ(image.storedWidth, -1);
}

TEST(PictureServices, UnloadablePictureIsAnEmptyCachedPicture) {
    FakeHost host;
    host.images.push_back(Image("sfondo.png", test::MakePng(2, 2, {1, 2, 3}, 255)));
    TOVKpicture* picture = GetPicture(host, host.images[0]);
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->IsEmpty());
    EXPECT_EQ(host.images[0].storedWidth, 0);
    EXPECT_TRUE(IsObjectOpaque(host, host.images[0]));
    GetPicture(host, host.images[0]);
    EXPECT_EQ(host.images[0].bytesRead, 1);
}

TEST(PictureServices, ImmagineNewShowsItsOwnPictureOrTheOneItNames) {
    FakeHost host;
    host.images.push_back(Image("a.bmp", test::MakeBmp(3, 3, Grey)));
    host.images.push_back(Image("b.gif", [] {
        test::GifSpec gifShape;
        gifShape.globalMap = {{0, 0, 0}, {9, 9, 9}};
        test::GifFrameSpec f;
        f.indices = {0};
        f.transparentIndex = 0;
        gifShape.frames = {f};
        return test::MakeGif(gifShape);
    }()));

    FakeObject shows = ImageNew(0, -1, 1);
    EXPECT_EQ(GetPicture(host, shows), GetPicture(host, host.images[0]));
    EXPECT_EQ(RolloverPicture(host, shows), GetPicture(host, host.images[1]));
    EXPECT_TRUE(IsObjectOpaque(host, shows));

    FakeObject none = ImageNew(-1, -1, 7);
    EXPECT_EQ(GetPicture(host, none), nullptr);
    EXPECT_EQ(RolloverPicture(host, none), nullptr) << "rollover index names no object";
    EXPECT_TRUE(IsObjectOpaque(host, none));

    none.own = std::make_unique<TOVKpicture>();
    EXPECT_EQ(GetPicture(host, none), none.own.get());

    FakeObject transparent = ImageNew(1);
    EXPECT_FALSE(IsObjectOpaque(host, transparent));

    FakeObject other = ImageNew(0, -1, 1);
    other.kind = 3;
    EXPECT_EQ(GetPicture(host, other), nullptr);
    EXPECT_EQ(RolloverPicture(host, other), nullptr);
    EXPECT_EQ(RolloverPicture(host, host.images[0]), nullptr);
}

TEST(PictureServices, ReleaseDropsThePictureAndRolloverButKeepsTheExtraOne) {
    FakeHost host;
    for (int i = 0; i < 3; ++i) host.images.push_back(Image("p.bmp", test::MakeBmp(2, 2, Grey)));
    FakeObject object = ImageNew(0, 1, 2);
    ReleasePictures(host, object);
    EXPECT_EQ(host.dropped, (std::vector<const PictureObject*>{&host.images[0], &host.images[2]}));

    host.dropped.clear();
    ReleasePictures(host, host.images[1]);
    EXPECT_EQ(host.dropped, (std::vector<const PictureObject*>{&host.images[1]}));

    host.dropped.clear();
    FakeObject other = ImageNew(0, 1, 2);
    other.kind = 12;
    ReleasePictures(host, other);
    EXPECT_TRUE(host.dropped.empty());
}

TEST(PictureServices, ExternalFileGivesAnOwnPictureOfItsSize) {
    test::TempDir dir;
    const std::string path = (dir / "ext.bmp").string();
    test::WriteFile(path, test::MakeBmp(40, 25, Grey));

    FakeObject object = ImageNew(-1);
    EXPECT_TRUE(LoadExternalPicture(object, path));
    ASSERT_NE(object.own, nullptr);
    EXPECT_EQ(object.shownWidth, 40);
    EXPECT_EQ(object.shownHeight, 25);
    EXPECT_EQ(object.own->ImageNameL(), path);

    FakeObject missing = ImageNew(-1);
    EXPECT_FALSE(LoadExternalPicture(missing, (dir / "nothere.bmp").string()));
    EXPECT_FALSE(LoadExternalPicture(missing, ""));
    EXPECT_EQ(missing.own, nullptr);
    EXPECT_EQ(missing.shownWidth, -1);

    FakeObject linked = ImageNew(0);
    EXPECT_FALSE(LoadExternalPicture(linked, path)) << "an object that names a picture keeps it";
    EXPECT_EQ(linked.own, nullptr);
}

} // namespace
} // namespace morvell
