#pragma once
// One record per character of a paragraph, plus one trailing record that carries the run
// font and link state after the last character.

#include <cstdint>

namespace morvell {

inline constexpr std::uint32_t kNoLink = 0xFFFFFFFFu;

struct TCharInfo {
    std::int32_t Advance = 0;      // width for line breaking
    std::int32_t Width = 0;        // width for drawing and hit testing (justified spaces differ)
    std::int32_t Height = 0;       // text height of the font in effect, or the object's height
    std::int32_t Ascent = 0;       // ascent of the font in effect; for an object set by layout
    std::int32_t FontIndex = -1;   // run font starting here, -1 none
    std::int32_t ObjectIndex = -1; // embedded object, -1 ordinary character
    std::uint32_t LinkRef = kNoLink;
};

} // namespace morvell
