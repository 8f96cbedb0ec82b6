#include "objects/picture/StbDecoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

// The implementation of stb_image comes from the system's libstb.
#include <stb/stb_image.h>

namespace morvell {
namespace {

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

std::uint32_t ReadU32(std::string_view b, std::size_t off) {
    if (off + 4 > b.size()) return 0;
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[off])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[off + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[off + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[off + 3])) << 24;
}
std::uint16_t ReadU16(std::string_view b, std::size_t off) {
    if (off + 2 > b.size()) return 0;
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[off]) |
                                      static_cast<unsigned char>(b[off + 1]) << 8);
}
void PutU32(std::string& b, std::size_t off, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[off + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Decodes a BMP or PNG file image with stb_image into straight RGBA, after checking the size
// its header declares. Null when stb refuses the data or the size does not fit.
std::unique_ptr<stbi_uc, StbFree> LoadRgba(std::string_view bytes, const DecodeLimits& limits, int& width,
                                           int& height) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
    const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
    const int size = static_cast<int>(bytes.size());
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(data, size, &w, &h, &channels) || !limits.Fits(w, h)) return {};
    std::unique_ptr<stbi_uc, StbFree> pixels(stbi_load_from_memory(data, size, &w, &h, &channels, 4));
    if (!pixels || !limits.Fits(w, h)) return {};
    width = w;
    height = h;
    return pixels;
}

Bitmap ToBitmap(const stbi_uc* rgba, int width, int height, bool forceOpaque) {
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint32_t* out = bitmap.Row(y);
        const stbi_uc* in = rgba + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x, in += 4)
            out[x] = forceOpaque ? Bitmap::Opaque(in[0], in[1], in[2])
                                 : Bitmap::Premultiplied(in[0], in[1], in[2], in[3]);
    }
    return bitmap;
}

struct IconEntry {
    int width = 0; // from the directory; 0 there means 256
    int height = 0;
    int bitCount = 0;
    std::size_t offset = 0;
    std::size_t size = 0;
};

// A DIB icon image: the BITMAPINFOHEADER's height counts the colour rows and the AND mask
// rows together. We put a BMP file header in front, halve the height, and let stb decode
// the colour part; the AND mask is applied here.
Bitmap DecodeIconDib(std::string_view dib, const DecodeLimits& limits) {
    const std::uint32_t headerSize = ReadU32(dib, 0);
    if (headerSize < 40 || headerSize > dib.size()) return {};
    const auto width = static_cast<std::int32_t>(ReadU32(dib, 4));
    const auto fullHeight = static_cast<std::int32_t>(ReadU32(dib, 8));
    const int bitCount = ReadU16(dib, 14);
    const std::uint32_t compression = ReadU32(dib, 16);
    std::uint32_t coloursUsed = ReadU32(dib, 32);
    // Icons are bottom-up BI_RGB images; anything else is not an icon the desktop draws.
    if (compression != 0 || width <= 0 || fullHeight <= 1) return {};
    const int height = fullHeight / 2;
    if (!limits.Fits(width, height)) return {};
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) return {};
    if (bitCount <= 8) {
        if (coloursUsed == 0 || coloursUsed > (1u << bitCount)) coloursUsed = 1u << bitCount;
    } else {
        coloursUsed = 0;
    }
    const std::uint64_t paletteBytes = std::uint64_t{coloursUsed} * 4;
    const std::uint64_t xorStride = ((static_cast<std::uint64_t>(width) * bitCount + 31) / 32) * 4;
    const std::uint64_t andStride = ((static_cast<std::uint64_t>(width) + 31) / 32) * 4;
    const std::uint64_t xorOffset = headerSize + paletteBytes;
    const std::uint64_t andOffset = xorOffset + xorStride * static_cast<std::uint64_t>(height);
    if (andOffset > dib.size()) return {};

    std::string file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    file.append(dib.substr(0, static_cast<std::size_t>(andOffset)));
    PutU32(file, 2, static_cast<std::uint32_t>(file.size()));
    PutU32(file, 10, static_cast<std::uint32_t>(14 + xorOffset));
    PutU32(file, 14 + 8, static_cast<std::uint32_t>(height));
    PutU32(file, 14 + 32, coloursUsed);
    int w = 0, h = 0;
    auto rgba = LoadRgba(file, limits, w, h);
    if (!rgba || w != width || h != height) return {};

    // A 32-bit image whose fourth byte is anything but all-zero carries real alpha; stb
    // turns all-zero alpha into opaque, and then the mask decides, as for fewer bits.
    bool useMask = true;
    if (bitCount == 32) {
        for (std::size_t i = 3; i < static_cast<std::size_t>(w) * h * 4; i += 4)
            if (rgba.get()[i] != 0xFF) {
                useMask = false;
                break;
            }
    }
    Bitmap bitmap = ToBitmap(rgba.get(), w, h, false);
    const bool maskPresent = andOffset + andStride * static_cast<std::uint64_t>(height) <= dib.size();
    if (useMask && maskPresent) {
        for (int y = 0; y < height; ++y) {
            // Rows are stored bottom-up.
            const std::size_t row = static_cast<std::size_t>(andOffset + andStride * (height - 1 - y));
            std::uint32_t* out = bitmap.Row(y);
            for (int x = 0; x < width; ++x) {
                const auto bits = static_cast<unsigned char>(dib[row + static_cast<std::size_t>(x / 8)]);
                if (bits & (0x80 >> (x % 8))) out[x] = 0u;
            }
        }
    }
    return bitmap;
}

int Distance(const IconEntry& e) { return std::abs(e.width - 32) + std::abs(e.height - 32); }

} // namespace

namespace {

// True when the file holds all the pixel rows its header declares. Every bitmap stb decodes
// is uncompressed (or bit-field packed), so the size is exact; a header that claims a large
// picture in a small file is refused before stb allocates the picture.
bool BmpHoldsItsPixels(std::string_view bytes) {
    const std::uint32_t dataOffset = ReadU32(bytes, 10);
    const std::uint32_t headerSize = ReadU32(bytes, 14);
    std::int64_t width = 0, height = 0;
    int bitCount = 0;
    if (headerSize == 12) { // OS/2 core header
        width = ReadU16(bytes, 18);
        height = ReadU16(bytes, 20);
        bitCount = ReadU16(bytes, 24);
    } else {
        width = static_cast<std::int32_t>(ReadU32(bytes, 18));
        height = static_cast<std::int32_t>(ReadU32(bytes, 22));
        bitCount = ReadU16(bytes, 28);
        const std::uint32_t compression = ReadU32(bytes, 30);
        if (compression != 0 && compression != 3) return false; // RLE and embedded JPEG/PNG
    }
    if (width <= 0 || height == 0 || bitCount <= 0 || bitCount > 32) return false;
    if (height < 0) height = -height;
    const std::int64_t stride = ((width * bitCount + 31) / 32) * 4;
    // Divided rather than multiplied: stride * height of a lying header overflows 64 bits.
    const std::int64_t available = static_cast<std::int64_t>(bytes.size()) - dataOffset;
    return available >= stride && height <= available / stride;
}

} // namespace

DecodedPicture DecodeBmp(std::string_view bytes, const DecodeLimits& limits) {
    if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') return {};
    if (!BmpHoldsItsPixels(bytes)) return {};
    int w = 0, h = 0;
    auto rgba = LoadRgba(bytes, limits, w, h);
    if (!rgba) return {};
    return StillPicture(ToBitmap(rgba.get(), w, h, true));
}

DecodedPicture DecodeIco(std::string_view bytes, const DecodeLimits& limits) {
    // ICONDIR: reserved 0, type 1 (icon) or 2 (cursor), count; then 16-byte entries.
    if (bytes.size() < 6 || ReadU16(bytes, 0) != 0) return {};
    const int type = ReadU16(bytes, 2);
    const int count = ReadU16(bytes, 4);
    if ((type != 1 && type != 2) || count == 0) return {};
    if (6 + static_cast<std::size_t>(count) * 16 > bytes.size()) return {};

    IconEntry best;
    bool found = false;
    for (int i = 0; i < count; ++i) {
        const std::size_t at = 6 + static_cast<std::size_t>(i) * 16;
        IconEntry e;
        e.width = static_cast<unsigned char>(bytes[at]) == 0 ? 256 : static_cast<unsigned char>(bytes[at]);
        e.height = static_cast<unsigned char>(bytes[at + 1]) == 0 ? 256 : static_cast<unsigned char>(bytes[at + 1]);
        e.bitCount = ReadU16(bytes, at + 6);
        e.size = ReadU32(bytes, at + 8);
        e.offset = ReadU32(bytes, at + 12);
        // An entry that points outside the file is skipped; one whose size runs past the end
        // is cut to the end (some writers round the size up).
        if (e.offset >= bytes.size() || e.size == 0) continue;
        e.size = std::min(e.size, bytes.size() - e.offset);
        if (!found || Distance(e) < Distance(best) ||
            (Distance(e) == Distance(best) && e.bitCount > best.bitCount)) {
            best = e;
            found = true;
        }
    }
    if (!found) return {};

    const std::string_view image = bytes.substr(best.offset, best.size);
    if (image.substr(0, kPngSignature.size()) == kPngSignature) {
        int w = 0, h = 0;
        auto rgba = LoadRgba(image, limits, w, h);
        if (!rgba) return {};
        return StillPicture(ToBitmap(rgba.get(), w, h, false));
    }
    return StillPicture(DecodeIconDib(image, limits));
}

} // namespace morvell
