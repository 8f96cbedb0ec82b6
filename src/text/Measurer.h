#pragma once
// Font metrics as the text layout needs them. The layout never talks to a font engine: it
// asks a Measurer, so the same code measures for the screen (QtMeasurer), for a printer,
// and for tests (FixedMetrics, exact and independent of installed fonts).

#include <cstdint>
#include <string>
#include <string_view>

namespace morvell {

// Font style bits as stored in styles and run fonts.
inline constexpr std::uint8_t kFontBold = 1;
inline constexpr std::uint8_t kFontItalic = 2;
inline constexpr std::uint8_t kFontUnderline = 4;
inline constexpr std::uint8_t kFontStrikeOut = 8;

// A font as handed to a measurer or canvas. `size` is in points and already multiplied by
// the zoom factor (size * zoom / 10, truncated) by the caller; measurers never zoom again.
struct FontSpec {
    std::string name = "Arial";
    int size = 10;
    std::uint8_t style = 0;  // kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut
    std::uint32_t colour = 0; // 0x00BBGGRR; not used for measuring
    bool operator==(const FontSpec&) const = default;
};

struct FontMetrics {
    int height = 0; // text height in pixels
    int ascent = 0; // baseline distance from the top, pixels
};

class Measurer {
public:
    virtual ~Measurer() = default;
    virtual FontMetrics Metrics(const FontSpec& font) = 0;
    // Width in pixels of a one- or two-byte string of ebook text (bytes in the ebook's code
    // page). Longer strings are allowed and measured whole.
    virtual int Extent(const FontSpec& font, std::string_view text) = 0;
};

// Test metrics: for a font of (zoomed) size s every character is s*6/10 pixels wide, pairs
// included; text height s*16/10, ascent s*13/10 (integer division); face and style ignored.
class FixedMetrics : public Measurer {
public:
    FontMetrics Metrics(const FontSpec& font) override { return {font.size * 16 / 10, font.size * 13 / 10}; }
    int Extent(const FontSpec& font, std::string_view text) override {
        return static_cast<int>(text.size()) * (font.size * 6 / 10);
    }
};

} // namespace morvell
