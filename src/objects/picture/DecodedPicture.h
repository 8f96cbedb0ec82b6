#pragma once
// The result of decoding one picture file: its logical size and its frames. Still pictures
// (BMP, ICO, JPEG) have exactly one frame; a GIF has one per image of the file, each already
// composed onto the logical screen, so an animation paints frame after frame as they are.

#include "objects/picture/Bitmap.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace morvell {

// What happens to a GIF frame's rectangle before the next frame is drawn.
enum class GifDisposal : std::uint8_t {
    Unspecified = 0, // treated as None
    None = 1,        // leave the frame in place
    Background = 2,  // clear the frame's rectangle to transparent
    Previous = 3,    // restore what was there before the frame was drawn
};

struct PictureFrame {
    // The whole logical screen after this frame was drawn (logical width x height).
    Bitmap bitmap;
    // The frame's own rectangle within the logical screen, clipped to it.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    // How long the frame stays up, in milliseconds, exactly as the file says (GIF stores
    // hundredths; 0 is common and the player chooses its own minimum).
    int delayMs = 0;
    GifDisposal disposal = GifDisposal::Unspecified;
    // The frame declared a transparent colour index (GIF); false for other formats.
    bool transparent = false;
};

struct DecodedPicture {
    int width = 0;  // logical size in pixels
    int height = 0;
    // GIF loop count from the NETSCAPE2.0 extension: 0 loops forever, n repeats n times;
    // -1 when the file has none (play once). -1 for still pictures.
    int loopCount = -1;
    std::vector<PictureFrame> frames;

    bool Empty() const { return frames.empty(); }
    std::int64_t PixelCount() const {
        std::int64_t n = 0;
        for (const PictureFrame& f : frames) n += static_cast<std::int64_t>(f.bitmap.PixelCount());
        return n;
    }
};

// A one-frame picture around a still bitmap.
inline DecodedPicture StillPicture(Bitmap bitmap) {
    DecodedPicture picture;
    if (bitmap.Empty()) return picture;
    picture.width = bitmap.Width();
    picture.height = bitmap.Height();
    PictureFrame frame;
    frame.width = bitmap.Width();
    frame.height = bitmap.Height();
    frame.bitmap = std::move(bitmap);
    picture.frames.push_back(std::move(frame));
    return picture;
}

} // namespace morvell
