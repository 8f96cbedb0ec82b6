#pragma once
// Bounds on what a picture may cost to decode. Picture bytes come from the ebook (or from a
// file an ebook names) and are untrusted: a header can claim any size and compressed data can
// expand enormously. Every decoder checks these bounds against the sizes the header declares
// BEFORE it allocates pixels, so a lying file costs at most one bounded decode.

#include <cstdint>

namespace morvell {

// Widest or tallest picture we decode. Far beyond any page or screen the reader shows, and
// it keeps width * 4 bytes (a row) and width * height comfortably inside int arithmetic.
inline constexpr int kMaxPictureDimension = 16384;

// Decoded pixels per picture, summed over all frames (each GIF frame is stored composed at
// the full logical size). 64 Mpixel is 256 MiB of 32-bit pixels: a generous ceiling for one
// picture of a cache that holds up to twenty of them.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{64} * 1024 * 1024;

// Frames kept of an animated GIF. Frames after the cap are dropped; the animation keeps the
// ones before. Real animations stay far below; a file with thousands of tiny frames is an
// attack on memory and on the painter thread.
inline constexpr int kMaxGifFrames = 2000;

// Pixels a GIF's frames may declare in total, counting the parts outside the logical screen
// that are decoded and thrown away. LZW expands about 2700 pixels per input byte, so without
// this bound a few megabytes of data could keep the decoder busy for minutes.
inline constexpr std::int64_t kMaxGifDecodedPixels = 4 * kMaxPicturePixels;

// Progressive JPEG scans we accept. Each scan makes libjpeg walk the whole coefficient
// buffer; crafted files with thousands of tiny scans would take minutes to decode.
inline constexpr int kMaxJpegScans = 500;

// Corrupt-data warnings libjpeg may raise before we give up on the file. A truncated file
// raises one or two; a file crafted to raise one per block is a CPU attack.
inline constexpr int kMaxJpegWarnings = 1000;

// Working memory libjpeg may allocate (coefficient buffers of progressive files and the
// like). A 64 Mpixel four-component progressive file needs 512 MiB; beyond that the file is
// refused rather than decoded.
inline constexpr long kMaxJpegWorkMemory = 640L * 1024 * 1024;

// Size of a picture file we read from disk at all (external pictures, extracted files).
inline constexpr std::int64_t kMaxPictureFileBytes = std::int64_t{256} * 1024 * 1024;

// The bounds a single decode runs under. The defaults are the constants above; the fuzz
// targets pass smaller ones so that each input decodes quickly.
struct DecodeLimits {
    int maxDimension = kMaxPictureDimension;
    std::int64_t maxPixels = kMaxPicturePixels;
    int maxFrames = kMaxGifFrames;
    std::int64_t maxGifDecodedPixels = kMaxGifDecodedPixels;

    // True when a w x h picture fits: both sides positive and within the bounds.
    bool Fits(std::int64_t w, std::int64_t h) const {
        return w > 0 && h > 0 && w <= maxDimension && h <= maxDimension && w * h <= maxPixels;
    }
};

} // namespace morvell
