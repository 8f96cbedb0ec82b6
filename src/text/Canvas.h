#pragma once
// A drawing surface. Layout and painting code draw through a Canvas; QtCanvas maps the calls
// onto QPainter (screen, printer, offscreen image) and RecordingCanvas keeps them as a list
// for tests to assert on.

#include "text/Measurer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvell {

struct CanvasRect {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool Intersects(const CanvasRect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    bool operator==(const CanvasRect&) const = default;
};

// A view of decoded pixels: 32-bit ARGB words in native byte order (0xAARRGGBB), rows of
// `stride` bytes. The pixels belong to whoever made the view.
struct ImageView {
    int width = 0;
    int height = 0;
    int stride = 0;
    const std::uint32_t* pixels = nullptr;
    bool premultiplied = true;
};

enum class PenStyle { Solid, Dotted, Xor };

class Canvas : public Measurer {
public:
    // The font used by TextOut and measured by Metrics/Extent of the current font.
    virtual void SetFont(const FontSpec& font) = 0;
    virtual const FontSpec& Font() const = 0;
    // Background behind text: nullopt draws transparently (the default).
    virtual void SetTextBackground(std::optional<std::uint32_t> colour) = 0;
    // Draws ebook bytes with the top-left of the text cell at (x, y); returns the width drawn.
    virtual int TextOut(int x, int y, std::string_view text) = 0;
    virtual void FillRect(const CanvasRect& rect, std::uint32_t colour) = 0;
    virtual void Line(int x1, int y1, int x2, int y2, std::uint32_t colour, PenStyle style = PenStyle::Solid) = 0;
    // Draws the image with its top-left at (x, y), scaled to `target` when given.
    virtual void DrawImage(int x, int y, const ImageView& image, std::optional<CanvasRect> target = std::nullopt) = 0;
    virtual void SetClip(std::optional<CanvasRect> clip) = 0;
};

} // namespace morvell
