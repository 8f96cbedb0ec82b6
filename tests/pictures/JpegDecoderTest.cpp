#include "PictureFixtures.h"

#include "objects/picture/JpegDecoder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace morvell {
namespace {

using test::JpegKind;
using test::Rgb;

// Left half red, right half blue: blocks of 8 keep the colours clean enough to compare.
Rgb Halves(int x, int) { return x < 8 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}; }

void ExpectNear(std::uint32_t pixel, Rgb want, int tolerance = 24) {
    EXPECT_EQ(test::A(pixel), 255);
    EXPECT_NEAR(test::R(pixel), want.r, tolerance);
    EXPECT_NEAR(test::G(pixel), want.g, tolerance);
    EXPECT_NEAR(test::B(pixel), want.b, tolerance);
}

TEST(JpegDecoder, DecodesEveryColourLayoutToOpaqueRgb) {
    struct Case {
        const char* name;
        JpegKind kind;
        bool progressive;
        Rgb left, right;
    };
    const Case cases[] = {
        {"baseline rgb", JpegKind::Rgb, false, {255, 0, 0}, {0, 0, 255}},
        {"progressive rgb", JpegKind::Rgb, true, {255, 0, 0}, {0, 0, 255}},
        // Gray takes the red channel of the pattern: 255 on the left, 0 on the right.
        {"grayscale", JpegKind::Gray, false, {255, 255, 255}, {0, 0, 0}},
        {"adobe cmyk", JpegKind::AdobeCmyk, false, {255, 0, 0}, {0, 0, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedPicture picture = DecodeJpeg(test::MakeJpeg(16, 8, Halves, c.kind, c.progressive));
        ASSERT_EQ(picture.frames.size(), 1u);
        EXPECT_EQ(picture.width, 16);
        EXPECT_EQ(picture.height, 8);
        EXPECT_FALSE(picture.frames[0].transparent);
        const Bitmap& bitmap = picture.frames[0].bitmap;
        ASSERT_EQ(bitmap.Width(), 16);
        ASSERT_EQ(bitmap.Height(), 8);
        ExpectNear(bitmap.Pixel(2, 3), c.left);
        ExpectNear(bitmap.Pixel(13, 3), c.right);
        EXPECT_TRUE(bitmap.IsFullyOpaque());
    }
}

TEST(JpegDecoder, TruncatedFileKeepsTheRowsThatArrivedAndPrintsNothing) {
    // Top rows green, the rest noise (so that most of the file is scan data); cut the file
    // in the middle: the top survives.
    auto colour = [](int x, int y) {
        if (y < 16) return Rgb{0, 200, 0};
        return Rgb{static_cast<std::uint8_t>(x * 37 + y * 91), static_cast<std::uint8_t>(x * x + y * 3),
                   static_cast<std::uint8_t>((x ^ y) * 7)};
    };
    const std::string full = test::MakeJpeg(64, 128, colour);
    testing::internal::CaptureStderr();
    const DecodedPicture picture = DecodeJpeg(std::string_view(full).substr(0, full.size() / 2));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(picture.frames.size(), 1u);
    EXPECT_EQ(picture.width, 64);
    EXPECT_EQ(picture.height, 128);
    ExpectNear(picture.frames[0].bitmap.Pixel(10, 4), {0, 200, 0});
}

std::string WithSofSize(std::string jpeg, int width, int height) {
    for (std::size_t i = 0; i + 9 < jpeg.size(); ++i) {
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && static_cast<unsigned char>(jpeg[i + 1]) == 0xC0) {
            jpeg[i + 5] = static_cast<char>(height >> 8);
            jpeg[i + 6] = static_cast<char>(height & 0xFF);
            jpeg[i + 7] = static_cast<char>(width >> 8);
            jpeg[i + 8] = static_cast<char>(width & 0xFF);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no SOF0 marker";
    return jpeg;
}

TEST(JpegDecoder, BrokenOrOversizedFilesGiveAnEmptyPicture) {
    const std::string good = test::MakeJpeg(16, 16, Halves);
    DecodeLimits small;
    small.maxPixels = 100;
    struct Case {
        const char* name;
        std::string bytes;
        DecodeLimits limits;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"not a jpeg", "GIF89a\x01\x00\x01\x00", {}},
        {"header only", good.substr(0, 20), {}},
        {"cut before the scan", good.substr(0, good.find("\xFF\xDA")), {}},
        // The header claims 60000 x 60000: refused before anything image-sized exists.
        {"claims 60000 x 60000", WithSofSize(good, 60000, 60000), {}},
        {"wider than the dimension bound", WithSofSize(good, kMaxPictureDimension + 1, 8), {}},
        {"more pixels than allowed", good, small},
    };
    testing::internal::CaptureStderr();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(DecodeJpeg(c.bytes, c.limits).Empty());
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace
} // namespace morvell
