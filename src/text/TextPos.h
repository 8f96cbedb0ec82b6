#pragma once
// A text position with its pixel geometry: what hit testing answers, and what the caret and
// the two ends of a selection remember.

#include "text/ParagraphOwner.h"

#include <cstdint>

namespace morvell {

class TOVKparag;

struct TTextPos {
    TOVKparag* paragraph = nullptr;
    std::int32_t paragraphIndex = -1; // -1: no position
    std::int32_t lineIndex = 0;
    std::int32_t characterIndex = -1; // -1: no position
    std::int32_t y = 0;               // top of the line, box coordinates
    std::int32_t height = 0;          // height of the line
    std::int32_t x = 0;               // left edge of the character
    std::int32_t xRight = 0;          // right edge of the character

    bool Valid() const { return paragraphIndex >= 0 && characterIndex >= 0; }
    TextPoint Point() const { return {paragraphIndex, characterIndex}; }
    // Limits included: a point exactly on the border between two characters is on both, and
    // the hit test hands it to the left one.
    bool Contains(int px, int py) const {
        return Valid() && px >= x && px <= xRight && py >= y && py <= y + height;
    }
};

// Ordered by paragraph, then character; the geometry does not take part.
inline bool operator<(const TTextPos& a, const TTextPos& b) { return a.Point() < b.Point(); }
inline bool SamePoint(const TTextPos& a, const TTextPos& b) { return a.Point() == b.Point(); }

} // namespace morvell
