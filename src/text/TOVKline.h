#pragma once
// A laid-out line of a paragraph.

#include <cstdint>

namespace morvell {

class TOVKparag;

struct TOVKline {
    TOVKparag* paragraph = nullptr; // owner, not owned
    std::int32_t first = 0;         // index of the first character
    std::int32_t count = 0;         // characters in the line
    std::int32_t ascent = 0;        // baseline distance from the line top
    std::int32_t height = 0;
    std::int32_t top = 0;       // relative to the paragraph's content top (top + space above)
    std::int32_t offset = 0;    // alignment offset added to the start x
    std::int32_t indent = 0;    // start x before alignment
    std::int32_t usedWidth = 0; // capacity minus the width left over
    std::int32_t capacity = 0;  // width the line offered
};

} // namespace morvell
