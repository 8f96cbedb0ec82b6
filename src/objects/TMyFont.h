#pragma once
// The plain font description that text layout and drawing work with. The style override
// objects convert to and from it; FontOf() turns it into what a Measurer or Canvas takes.

#include "text/Measurer.h"

#include <cstdint>
#include <string>

namespace morvell {

struct TMyFont {
    std::string name = "Arial";
    std::uint8_t style = 0;            // kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut
    std::uint32_t colour = 0;          // 0x00BBGGRR
    int size = 10;                     // points, not zoomed
    std::uint8_t verticalPosition = 0; // 0 normal, 1 lowered, 2 raised

    bool operator==(const TMyFont&) const = default;

    // Sizes handed to a font engine: a hostile size never reaches it.
    static constexpr int kMinZoomedSize = 1;
    static constexpr int kMaxZoomedSize = 1000;

    // The font a measurer or canvas takes: the size multiplied by the zoom factor (tenths)
    // and truncated, as every text size on screen and on paper is.
    FontSpec Zoomed(int zoom) const {
        FontSpec fontSpec;
        fontSpec.name = name;
        const long long zoomed = static_cast<long long>(size) * zoom / 10;
        fontSpec.size = static_cast<int>(zoomed < kMinZoomedSize   ? kMinZoomedSize
                                     : zoomed > kMaxZoomedSize ? kMaxZoomedSize
                                                               : zoomed);
        fontSpec.style = style;
        fontSpec.colour = colour;
        return fontSpec;
    }
};

} // namespace morvell
