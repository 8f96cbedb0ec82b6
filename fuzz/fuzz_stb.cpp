// BMP and ICO decoders on arbitrary bytes. The first byte picks the decoder, so one corpus
// grows inputs for both.
#include "objects/picture/StbDecoder.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    morvell::DecodeLimits limits;
    limits.maxPixels = 4 * 1024 * 1024;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const morvell::DecodedPicture picture =
        (data[0] & 1) ? morvell::DecodeIco(bytes, limits) : morvell::DecodeBmp(bytes, limits);
    if (picture.PixelCount() > limits.maxPixels) __builtin_trap();
    return 0;
}
