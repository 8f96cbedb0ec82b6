#pragma once
// JPEG pictures through libjpeg (libjpeg-turbo on our platforms).

#include "objects/picture/DecodedPicture.h"
#include "objects/picture/PictureLimits.h"

#include <string_view>

namespace morvell {

// Decodes a JPEG file held in memory into a one-frame opaque picture. Grayscale, RGB/YCbCr
// and CMYK/YCCK files (Adobe's inverted CMYK included) are converted to RGB.
//
// A corrupt file never ends the process: libjpeg's fatal errors come back here and give an
// empty picture, as does a header whose size exceeds `limits`. Data that ends early is what
// libjpeg recovers from on its own: the rows it could decode are kept and the rest is the
// library's neutral grey, so a half-downloaded photo still shows its top half.
DecodedPicture DecodeJpeg(std::string_view bytes, const DecodeLimits& limits = {});

} // namespace morvell
