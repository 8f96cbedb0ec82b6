#include "PictureFixtures.h"

#include "objects/picture/GifDecoder.h"

#include <gtest/gtest.h>

namespace morvell {
namespace {

using test::GifFrameSpec;
using test::GifSpec;
using test::Rgb;

constexpr std::uint32_t kBlack = Bitmap::Opaque(0, 0, 0);
constexpr std::uint32_t kRed = Bitmap::Opaque(255, 0, 0);
constexpr std::uint32_t kGreen = Bitmap::Opaque(0, 255, 0);
constexpr std::uint32_t kBlue = Bitmap::Opaque(0, 0, 255);
constexpr std::uint32_t kWhite = Bitmap::Opaque(255, 255, 255);
constexpr std::uint32_t kClear = 0;

const std::vector<Rgb> kMap = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};

GifFrameSpec Solid(int left, int top, int w, int h, std::uint8_t index) {
    GifFrameSpec f;
    f.left = left;
    f.top = top;
    f.width = w;
    f.height = h;
    f.indices.assign(static_cast<std::size_t>(w * h), index);
    return f;
}

// Four frames on a 4 x 4 screen exercising each disposal and a transparent index.
GifSpec Animation() {
    GifSpec gifShape;
    gifShape.width = 4;
    gifShape.height = 4;
    gifShape.globalMap = kMap;
    gifShape.loopCount = 0;
    GifFrameSpec red = Solid(0, 0, 4, 4, 1); // 1: everything red, stays
    red.delayCs = 10;
    red.disposal = 1;
    GifFrameSpec green = Solid(1, 1, 2, 2, 2); // 2: green square, its top-left pixel transparent
    green.indices[0] = 0;
    green.transparentIndex = 0;
    green.delayCs = 20;
    green.disposal = 2; // then cleared to transparent
    GifFrameSpec blue = Solid(3, 3, 1, 1, 3); // 3: blue corner, then put back
    blue.disposal = 3;
    GifFrameSpec white = Solid(0, 0, 1, 1, 0); // 4: local map, index 0 is white
    white.localMap = {{255, 255, 255}, {0, 0, 0}};
    gifShape.frames = {red, green, blue, white};
    return gifShape;
}

TEST(GifDecoder, ComposesFramesWithDisposalTransparencyAndDelays) {
    const DecodedPicture picture = DecodeGif(test::MakeGif(Animation()));
    ASSERT_EQ(picture.frames.size(), 4u);
    EXPECT_EQ(picture.width, 4);
    EXPECT_EQ(picture.height, 4);
    EXPECT_EQ(picture.loopCount, 0);

    const PictureFrame& f1 = picture.frames[0];
    EXPECT_EQ(f1.delayMs, 100);
    EXPECT_EQ(f1.disposal, GifDisposal::None);
    EXPECT_FALSE(f1.transparent);
    EXPECT_EQ(f1.bitmap.Pixel(1, 1), kRed);

    const PictureFrame& f2 = picture.frames[1];
    EXPECT_EQ(f2.delayMs, 200);
    EXPECT_TRUE(f2.transparent);
    EXPECT_EQ(f2.disposal, GifDisposal::Background);
    EXPECT_EQ(f2.left, 1);
    EXPECT_EQ(f2.top, 1);
    EXPECT_EQ(f2.width, 2);
    EXPECT_EQ(f2.height, 2);
    EXPECT_EQ(f2.bitmap.Pixel(1, 1), kRed) << "transparent index shows the frame below";
    EXPECT_EQ(f2.bitmap.Pixel(2, 2), kGreen);
    EXPECT_EQ(f2.bitmap.Pixel(0, 0), kRed);

    const PictureFrame& f3 = picture.frames[2];
    EXPECT_EQ(f3.bitmap.Pixel(2, 2), kClear) << "frame 2's rectangle was disposed to background";
    EXPECT_EQ(f3.bitmap.Pixel(1, 1), kClear);
    EXPECT_EQ(f3.bitmap.Pixel(0, 0), kRed);
    EXPECT_EQ(f3.bitmap.Pixel(3, 3), kBlue);

    const PictureFrame& f4 = picture.frames[3];
    EXPECT_EQ(f4.bitmap.Pixel(3, 3), kRed) << "frame 3 restored what was under it";
    EXPECT_EQ(f4.bitmap.Pixel(0, 0), kWhite) << "local colour map";
    EXPECT_EQ(f4.bitmap.Pixel(2, 2), kClear);
}

TEST(GifDecoder, InterlacedRowsComeBackInOrder) {
    GifSpec gifShape;
    gifShape.width = 1;
    gifShape.height = 10;
    gifShape.globalMap = kMap;
    GifFrameSpec f = Solid(0, 0, 1, 10, 0);
    for (int y = 0; y < 10; ++y) f.indices[static_cast<std::size_t>(y)] = static_cast<std::uint8_t>(y % 4);
    f.interlace = true;
    gifShape.frames = {f};
    const DecodedPicture picture = DecodeGif(test::MakeGif(gifShape));
    ASSERT_EQ(picture.frames.size(), 1u);
    const std::uint32_t want[4] = {kBlack, kRed, kGreen, kBlue};
    for (int y = 0; y < 10; ++y) EXPECT_EQ(picture.frames[0].bitmap.Pixel(0, y), want[y % 4]) << "row " << y;
    EXPECT_EQ(picture.loopCount, -1);
}

// giflib's encoder insists on a colour map as large as the pixel values; files in the wild
// are not so tidy. This cuts the global map of a written file down to `entries` (0: none).
std::string ShrinkGlobalMap(std::string gif, int entries) {
    const auto packed = static_cast<unsigned char>(gif[10]);
    const std::size_t size = 3u << ((packed & 0x07) + 1);
    std::string map = gif.substr(13, size);
    gif.erase(13, size);
    if (entries == 0) {
        gif[10] = static_cast<char>(packed & 0x70);
    } else {
        int bits = 0;
        while ((2 << bits) < entries) ++bits;
        gif[10] = static_cast<char>((packed & 0x70) | 0x80 | bits);
        gif.insert(13, map.substr(0, 3u << (bits + 1)));
    }
    return gif;
}

TEST(GifDecoder, MissingOrShortColourMapsStillGiveOpaquePixels) {
    GifSpec gifShape;
    gifShape.width = 2;
    gifShape.height = 1;
    gifShape.globalMap.assign(256, Rgb{9, 9, 9});
    gifShape.globalMap[1] = {0, 255, 0};
    GifFrameSpec f = Solid(0, 0, 2, 1, 0);
    f.indices = {1, 200};
    gifShape.frames = {f};
    const std::string gif = test::MakeGif(gifShape);

    const DecodedPicture grey = DecodeGif(ShrinkGlobalMap(gif, 0));
    ASSERT_EQ(grey.frames.size(), 1u);
    EXPECT_EQ(grey.frames[0].bitmap.Pixel(1, 0), Bitmap::Opaque(200, 200, 200)) << "no map: grey levels";

    const DecodedPicture past = DecodeGif(ShrinkGlobalMap(gif, 2));
    ASSERT_EQ(past.frames.size(), 1u);
    EXPECT_EQ(past.frames[0].bitmap.Pixel(0, 0), kGreen);
    EXPECT_EQ(past.frames[0].bitmap.Pixel(1, 0), kBlack) << "an index past the map is black";
}

TEST(GifDecoder, FramesReachingOutsideTheScreenAreClipped) {
    GifSpec gifShape;
    gifShape.width = 3;
    gifShape.height = 3;
    gifShape.globalMap = kMap;
    gifShape.frames = {Solid(2, 2, 5, 5, 1), Solid(10, 10, 2, 2, 2)};
    const DecodedPicture picture = DecodeGif(test::MakeGif(gifShape));
    ASSERT_EQ(picture.frames.size(), 2u);
    EXPECT_EQ(picture.frames[0].bitmap.Pixel(2, 2), kRed);
    EXPECT_EQ(picture.frames[0].bitmap.Pixel(1, 1), kClear);
    EXPECT_EQ(picture.frames[0].width, 1);
    EXPECT_EQ(picture.frames[1].width, 0);
    EXPECT_EQ(picture.frames[1].bitmap, picture.frames[0].bitmap);
}

// A GIF header, a screen of w x h with no colour map, and nothing else.
std::string ScreenOnly(int w, int h) {
    std::string s = "GIF89a";
    s += static_cast<char>(w & 0xFF);
    s += static_cast<char>(w >> 8);
    s += static_cast<char>(h & 0xFF);
    s += static_cast<char>(h >> 8);
    s += std::string("\x00\x00\x00", 3);
    return s;
}

TEST(GifDecoder, ScreenBeyondTheBoundsGivesAnEmptyPicture) {
    GifSpec gifShape;
    gifShape.width = 60000;
    gifShape.height = 60000;
    gifShape.globalMap = kMap;
    gifShape.frames = {Solid(0, 0, 1, 1, 1)};
    EXPECT_TRUE(DecodeGif(test::MakeGif(gifShape)).Empty());
    // Screen of 0 x 0: the first frame gives the size, and the same bounds apply to it.
    GifSpec zero = gifShape;
    zero.width = 0;
    zero.height = 0;
    zero.frames = {Solid(2, 1, 3, 2, 1)};
    const DecodedPicture sized = DecodeGif(test::MakeGif(zero));
    ASSERT_EQ(sized.frames.size(), 1u);
    EXPECT_EQ(sized.width, 5);
    EXPECT_EQ(sized.height, 3);
}

TEST(GifDecoder, TenThousandFramesAreCutAtTheFrameBound) {
    GifSpec gifShape;
    gifShape.globalMap = kMap;
    gifShape.frames.assign(10000, Solid(0, 0, 1, 1, 1));
    const DecodedPicture picture = DecodeGif(test::MakeGif(gifShape));
    EXPECT_EQ(picture.frames.size(), static_cast<std::size_t>(kMaxGifFrames));
}

TEST(GifDecoder, PixelBudgetsDropTheFramesThatDoNotFit) {
    GifSpec gifShape;
    gifShape.width = 4;
    gifShape.height = 4;
    gifShape.globalMap = kMap;
    gifShape.frames.assign(5, Solid(0, 0, 4, 4, 1));
    DecodeLimits stored;
    stored.maxPixels = 3 * 16; // room for three composed screens
    EXPECT_EQ(DecodeGif(test::MakeGif(gifShape), stored).frames.size(), 3u);

    // A frame declaring far more than the screen counts in full against the decode budget.
    GifSpec wide = gifShape;
    wide.frames = {Solid(0, 0, 4, 4, 1), Solid(0, 0, 400, 10, 2), Solid(0, 0, 4, 4, 3)};
    DecodeLimits decoded;
    decoded.maxGifDecodedPixels = 1000;
    EXPECT_EQ(DecodeGif(test::MakeGif(wide), decoded).frames.size(), 1u);
}

TEST(GifDecoder, TruncatedDataKeepsCompleteFramesOrThePartialFirstOne) {
    // Noise compresses badly, so the image data spans many blocks and a cut lands inside it.
    GifSpec still;
    still.width = 64;
    still.height = 64;
    still.globalMap = kMap;
    GifFrameSpec f = Solid(0, 0, 64, 64, 1);
    std::uint32_t seed = 12345;
    for (std::size_t i = 64; i < f.indices.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        f.indices[i] = static_cast<std::uint8_t>(1 + (seed >> 16) % 3);
    }
    still.frames = {f};
    const std::string full = test::MakeGif(still);
    const DecodedPicture partial = DecodeGif(std::string_view(full).substr(0, full.size() * 2 / 3));
    ASSERT_EQ(partial.frames.size(), 1u);
    EXPECT_EQ(partial.frames[0].bitmap.Pixel(0, 0), kRed);
    EXPECT_EQ(partial.frames[0].bitmap.Pixel(63, 63), kClear) << "rows that never arrived";
    // Cut inside the first data block: not a single row arrived, so there is no picture.
    EXPECT_TRUE(DecodeGif(std::string_view(full).substr(0, 40)).Empty());

    GifSpec anim = still;
    anim.frames = {f, f, f};
    const std::string three = test::MakeGif(anim);
    EXPECT_EQ(DecodeGif(std::string_view(three).substr(0, three.size() - 30)).frames.size(), 2u);
}

TEST(GifDecoder, GarbageGivesAnEmptyPicture) {
    for (const std::string& bytes : {std::string(), std::string("GIF8"), ScreenOnly(4, 4),
                                     std::string("\x89PNG\r\n\x1a\n0000000000000000", 24)}) {
        EXPECT_TRUE(DecodeGif(bytes).Empty());
    }
}

} // namespace
} // namespace morvell
