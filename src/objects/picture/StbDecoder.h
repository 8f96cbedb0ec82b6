#pragma once
// Windows bitmaps (.bmp) and icons (.ico) through stb_image.

#include "objects/picture/DecodedPicture.h"
#include "objects/picture/PictureLimits.h"

#include <string_view>

namespace morvell {

// A BMP file ("BM" header). Bitmaps paint opaque on the desktop whatever a 32-bit file puts
// in its fourth byte, so every pixel comes out with alpha 255. RLE-compressed bitmaps are
// not supported by the decoder and give an empty picture, as does a size beyond `limits`.
DecodedPicture DecodeBmp(std::string_view bytes, const DecodeLimits& limits = {});

// An icon (or cursor) file. Of its images the one closest to 32 x 32 is taken (the most
// colours on a tie), which is the image the desktop's icon loader would show and so the
// size the ebook was laid out with. DIB images get transparency from their AND mask (or
// from their alpha channel when a 32-bit image has one); PNG images keep their alpha.
DecodedPicture DecodeIco(std::string_view bytes, const DecodeLimits& limits = {});

} // namespace morvell
