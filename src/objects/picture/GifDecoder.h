#pragma once
// GIF87a and GIF89a pictures through giflib, with every frame of an animation.

#include "objects/picture/DecodedPicture.h"
#include "objects/picture/PictureLimits.h"

#include <string_view>

namespace morvell {

// Decodes a GIF file held in memory. Each image of the file becomes a frame composed onto
// the logical screen (which starts transparent): the previous frame's disposal is applied,
// the image is drawn through its local colour map (or the global one) skipping its
// transparent index, and the screen is stored. Interlaced images are put back in row order.
//
// Bounds: a logical screen beyond `limits` gives an empty picture; frames past
// limits.maxFrames, or past the pixel budgets, are dropped and the ones before are kept.
// Data that ends early keeps the complete frames; an image cut off before any frame was
// complete is kept with the rows that arrived, so a truncated still GIF shows its top part.
DecodedPicture DecodeGif(std::string_view bytes, const DecodeLimits& limits = {});

} // namespace morvell
