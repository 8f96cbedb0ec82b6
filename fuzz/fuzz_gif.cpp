// GIF decoder on arbitrary bytes: every frame is a full logical screen and the bounds hold.
#include "objects/picture/GifDecoder.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    morvell::DecodeLimits limits;
    limits.maxPixels = 4 * 1024 * 1024;
    limits.maxGifDecodedPixels = 16 * 1024 * 1024;
    limits.maxFrames = 200;
    const morvell::DecodedPicture picture =
        morvell::DecodeGif(std::string_view(reinterpret_cast<const char*>(data), size), limits);
    if (picture.PixelCount() > limits.maxPixels || static_cast<int>(picture.frames.size()) > limits.maxFrames)
        __builtin_trap();
    for (const morvell::PictureFrame& frame : picture.frames) {
        if (frame.bitmap.Width() != picture.width || frame.bitmap.Height() != picture.height) __builtin_trap();
        if (frame.left < 0 || frame.top < 0 || frame.left + frame.width > picture.width ||
            frame.top + frame.height > picture.height)
            __builtin_trap();
    }
    return 0;
}
