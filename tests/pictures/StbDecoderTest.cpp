#include "PictureFixtures.h"

#include "objects/picture/StbDecoder.h"

#include <gtest/gtest.h>

namespace morvell {
namespace {

using test::IconImage;
using test::Rgb;

Rgb Pattern(int x, int y) { return Rgb{static_cast<std::uint8_t>(10 + x), static_cast<std::uint8_t>(20 + y), 30}; }

TEST(BmpDecoder, DecodesBottomUpRowsWithPaddingAsOpaquePixels) {
    for (int bits : {24, 32}) {
        SCOPED_TRACE(bits);
        // 3 pixels of 24 bits leave a padded row; the 32-bit file's zero alpha byte is ignored.
        const DecodedPicture picture = DecodeBmp(test::MakeBmp(3, 2, Pattern, bits, 0));
        ASSERT_EQ(picture.frames.size(), 1u);
        EXPECT_EQ(picture.width, 3);
        EXPECT_EQ(picture.height, 2);
        const Bitmap& b = picture.frames[0].bitmap;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) EXPECT_EQ(b.Pixel(x, y), Bitmap::Opaque(10 + x, 20 + y, 30));
    }
    // Alpha that is really there is still painted opaque: bitmaps have no transparency here.
    const DecodedPicture half = DecodeBmp(test::MakeBmp(2, 2, Pattern, 32, 0x80));
    ASSERT_FALSE(half.Empty());
    EXPECT_TRUE(half.frames[0].bitmap.IsFullyOpaque());
}

std::string WithSize(std::string bmp, std::uint32_t w, std::uint32_t h) {
    for (int i = 0; i < 4; ++i) {
        bmp[18 + i] = static_cast<char>((w >> (8 * i)) & 0xFF);
        bmp[22 + i] = static_cast<char>((h >> (8 * i)) & 0xFF);
    }
    return bmp;
}

TEST(BmpDecoder, LyingOrBrokenHeadersGiveAnEmptyPicture) {
    const std::string good = test::MakeBmp(4, 4, Pattern);
    DecodeLimits small;
    small.maxPixels = 10;
    struct Case {
        const char* name;
        std::string bytes;
        DecodeLimits limits;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"no BM signature", "XY" + good.substr(2), {}},
        {"header cut", good.substr(0, 30), {}},
        {"claims 100000 x 100000", WithSize(good, 100000, 100000), {}},
        // Row bytes times rows overflows 64 bits when multiplied.
        {"claims 2^31-1 x 2^31-1", WithSize(good, 0x7FFFFFFF, 0x7FFFFFFF), {}},
        {"claims 16384 x 4096 with 16 pixels of data", WithSize(good, 16384, 4096), {}},
        {"more pixels than allowed", good, small},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(DecodeBmp(c.bytes, c.limits).Empty());
    }
}

TEST(IcoDecoder, AndMaskMakesPixelsTransparent) {
    IconImage im;
    im.width = 3;
    im.height = 2;
    im.colour = Pattern;
    im.masked = [](int x, int y) { return x == 1 && y == 0; };
    const DecodedPicture picture = DecodeIco(test::MakeIco({im}));
    ASSERT_EQ(picture.frames.size(), 1u);
    EXPECT_EQ(picture.width, 3);
    EXPECT_EQ(picture.height, 2);
    const Bitmap& b = picture.frames[0].bitmap;
    EXPECT_EQ(b.Pixel(1, 0), 0u);
    EXPECT_EQ(b.Pixel(0, 0), Bitmap::Opaque(10, 20, 30));
    EXPECT_EQ(b.Pixel(2, 1), Bitmap::Opaque(12, 21, 30));
}

TEST(IcoDecoder, ThirtyTwoBitAlphaWinsOverTheMask) {
    IconImage im;
    im.width = 2;
    im.height = 2;
    im.bits = 32;
    im.colour = [](int, int) { return Rgb{200, 100, 0}; };
    im.masked = [](int, int) { return true; };
    im.alpha = 0x80;
    const DecodedPicture picture = DecodeIco(test::MakeIco({im}));
    ASSERT_FALSE(picture.Empty());
    EXPECT_EQ(picture.frames[0].bitmap.Pixel(1, 1), Bitmap::Premultiplied(200, 100, 0, 0x80));
}

TEST(IcoDecoder, ChoosesTheImageClosestToThirtyTwoPixels) {
    auto image = [](int size, int bits) {
        IconImage im;
        im.width = size;
        im.height = size;
        im.bits = bits;
        im.colour = Pattern;
        return im;
    };
    EXPECT_EQ(DecodeIco(test::MakeIco({image(16, 24), image(32, 24), image(48, 24)})).width, 32);
    EXPECT_EQ(DecodeIco(test::MakeIco({image(16, 24), image(48, 24)})).width, 16);
    // Same size: the one with more colours.
    const DecodedPicture deep = DecodeIco(test::MakeIco({image(32, 24), [&] {
        IconImage im = image(32, 32);
        im.colour = [](int, int) { return Rgb{1, 2, 3}; };
        return im;
    }()}));
    ASSERT_FALSE(deep.Empty());
    EXPECT_EQ(deep.frames[0].bitmap.Pixel(0, 0), Bitmap::Opaque(1, 2, 3));
}

TEST(IcoDecoder, PngImagesKeepTheirAlpha) {
    IconImage im;
    im.width = 4;
    im.height = 4;
    im.bits = 32;
    im.png = test::MakePng(4, 4, {0, 0, 255}, 0);
    const DecodedPicture picture = DecodeIco(test::MakeIco({im}));
    ASSERT_FALSE(picture.Empty());
    EXPECT_EQ(picture.frames[0].bitmap.Pixel(2, 2), 0u);
}

TEST(IcoDecoder, BrokenDirectoriesGiveAnEmptyPicture) {
    IconImage im;
    im.width = 2;
    im.height = 2;
    im.colour = Pattern;
    const std::string good = test::MakeIco({im});
    std::string manyEntries = good;
    manyEntries[4] = static_cast<char>(0xE8); // 1000 entries in a file that holds one
    manyEntries[5] = 0x03;
    std::string offsetOutside = good;
    offsetOutside[6 + 12 + 1] = 0x7F;
    std::string compressed = good;
    compressed[22 + 16] = 1; // BI_RLE8
    std::string hugeDib = good;
    hugeDib[22 + 5] = 0x7F; // width 0x7F00.. in a 2 x 2 icon
    for (const std::string& bytes : {std::string(), good.substr(0, 5), manyEntries, offsetOutside, compressed,
                                     hugeDib, good.substr(0, good.size() - 12)}) {
        EXPECT_TRUE(DecodeIco(bytes).Empty());
    }
}

} // namespace
} // namespace morvell
