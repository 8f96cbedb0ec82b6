// JPEG decoder on arbitrary bytes: must never crash, leak, print or allocate without bound.
#include "objects/picture/JpegDecoder.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Smaller bounds than the reader's keep each input fast; the code paths are the same.
    morvell::DecodeLimits limits;
    limits.maxPixels = 4 * 1024 * 1024;
    const morvell::DecodedPicture picture =
        morvell::DecodeJpeg(std::string_view(reinterpret_cast<const char*>(data), size), limits);
    for (const morvell::PictureFrame& frame : picture.frames)
        if (frame.bitmap.Width() != picture.width || frame.bitmap.Height() != picture.height) __builtin_trap();
    return 0;
}
