#pragma once
// A decoded 32-bit picture in memory.
//
// Pixels are premultiplied ARGB, one std::uint32_t per pixel laid out as 0xAARRGGBB in the
// machine's byte order (the layout of QImage::Format_ARGB32_Premultiplied, so the UI wraps
// rows without converting). Premultiplied means each colour channel is already scaled by
// alpha: a fully transparent pixel is always 0. Rows are packed: the stride is width * 4.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace morvell {

class Bitmap {
public:
    Bitmap() = default;
    // A w x h bitmap, every pixel transparent. The caller checks the size against
    // DecodeLimits first; non-positive sizes give an empty bitmap.
    Bitmap(int width, int height) {
        if (width > 0 && height > 0) {
            m_width = width;
            m_height = height;
            m_pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
        }
    }

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Stride() const { return m_width * 4; } // bytes per row
    bool Empty() const { return m_pixels.empty(); }
    std::size_t PixelCount() const { return m_pixels.size(); }

    std::uint32_t* Row(int y) { return m_pixels.data() + static_cast<std::size_t>(y) * m_width; }
    const std::uint32_t* Row(int y) const { return m_pixels.data() + static_cast<std::size_t>(y) * m_width; }
    std::uint32_t* Data() { return m_pixels.data(); }
    const std::uint32_t* Data() const { return m_pixels.data(); }

    // Bounds-checked access; a pixel outside reads as transparent, a write outside is ignored.
    std::uint32_t Pixel(int x, int y) const {
        return Inside(x, y) ? m_pixels[static_cast<std::size_t>(y) * m_width + x] : 0u;
    }
    void SetPixel(int x, int y, std::uint32_t argb) {
        if (Inside(x, y)) m_pixels[static_cast<std::size_t>(y) * m_width + x] = argb;
    }

    // True when every pixel has alpha 255.
    bool IsFullyOpaque() const {
        for (std::uint32_t p : m_pixels)
            if ((p >> 24) != 0xFF) return false;
        return true;
    }

    static constexpr std::uint32_t Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
    }
    // Straight (unassociated) RGBA to premultiplied ARGB, rounding to nearest.
    static constexpr std::uint32_t Premultiplied(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                                 std::uint8_t a) {
        if (a == 0xFF) return Opaque(r, g, b);
        if (a == 0) return 0u;
        auto mul = [a](std::uint8_t c) { return static_cast<std::uint32_t>((c * a + 127) / 255); };
        return (std::uint32_t{a} << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
    }

    bool operator==(const Bitmap&) const = default;

private:
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint32_t> m_pixels;
};

} // namespace morvell
