#pragma once
// Small picture files written in the test: JPEGs through libjpeg's compressor, GIFs through
// giflib's encoder, BMP and ICO bytes laid out by hand.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace morvell::test {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

enum class JpegKind { Rgb, Gray, AdobeCmyk };

// A w x h JPEG whose pixel (x, y) is colour(x, y). For AdobeCmyk the colour is converted to
// inverted CMYK with K = 0 (stored 255), the convention Adobe's writers use.
std::string MakeJpeg(int w, int h, const std::function<Rgb(int, int)>& colour, JpegKind kind = JpegKind::Rgb,
                     bool progressive = false, int quality = 95);

struct GifFrameSpec {
    int left = 0, top = 0, width = 1, height = 1;
    std::vector<std::uint8_t> indices; // width * height, row order
    int delayCs = 0;                   // hundredths of a second
    int disposal = 0;                  // 0..3
    int transparentIndex = -1;
    std::vector<Rgb> localMap; // empty: use the global map
    bool interlace = false;
};

struct GifSpec {
    int width = 1, height = 1;
    std::vector<Rgb> globalMap; // empty: no global map
    int loopCount = -1;         // -1: no NETSCAPE2.0 extension
    std::vector<GifFrameSpec> frames;
};

std::string MakeGif(const GifSpec& gifShape);

// An uncompressed bottom-up BMP: 24 bits (alpha ignored) or 32 bits (alpha written).
std::string MakeBmp(int w, int h, const std::function<Rgb(int, int)>& colour, int bits = 24,
                    std::uint8_t alpha = 0);

// One icon image as a 24- or 32-bit DIB with an AND mask: masked(x, y) true makes the pixel
// transparent.
struct IconImage {
    int width = 1, height = 1, bits = 24;
    std::function<Rgb(int, int)> colour;
    std::function<bool(int, int)> masked;
    std::uint8_t alpha = 0xFF; // 32-bit images only
    std::string png;           // when set, the entry holds these PNG bytes instead
};
std::string MakeIco(const std::vector<IconImage>& images);

// A PNG through stb_image_write, all pixels (r, g, b, a).
std::string MakePng(int w, int h, Rgb colour, std::uint8_t alpha);

// Channel access on premultiplied ARGB pixels.
inline int A(std::uint32_t p) { return static_cast<int>(p >> 24); }
inline int R(std::uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
inline int G(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
inline int B(std::uint32_t p) { return static_cast<int>(p & 0xFF); }

} // namespace morvell::test
