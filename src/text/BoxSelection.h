#pragma once
// The text box's rules that need no window: hit testing over laid-out paragraphs, the word
// a double click selects, the drag threshold, the vertical scroll cap and scrolling a
// rectangle into view.

#include "text/ParagraphStream.h"
#include "text/TextPos.h"

#include <cstdint>

namespace morvell {

// Hit-test modes: 0, 3 and 4 look at the body paragraphs, 5 at every paragraph.
inline constexpr int kHitBody = 4;
inline constexpr int kHitAll = 5;

// The paragraphs of a box and where its body lies within them.
struct BoxParagraphs {
    const ParagraphList* paragraphs = nullptr;
    int headerCount = 0;
    int footerCount = 0;

    int Count() const { return paragraphs ? static_cast<int>(paragraphs->size()) : 0; }
    int BodyFirst() const { return headerCount; }
    int BodyLast() const { return Count() - footerCount - 1; }
};

// The scroll range old 16-bit scroll bars could take. Content taller than this is flagged as
// such (ScrollCapped), but it is not cut: the whole page stays reachable.
inline constexpr int kMaxScrollRange = 32600;
// A press becomes a drag selection once the pointer is further than this from the press point.
inline constexpr int kDragThreshold = 4;

namespace boxselection {

// Maps (x, y) in box coordinates to a text position. Modes 0, 3 and 4 look at the body,
// mode 5 at every paragraph, any other mode answers no position.
TTextPos HitTest(const BoxParagraphs& box, int mode, int x, int y);

// Double-click words: these characters (and the curved double quotes 147, 148) end a word.
bool IsWordSeparator(unsigned char c);
// Start and end of the word around (paragraph p, character i), crossing into the previous or
// next body paragraph at the edges.
TextPoint WordStart(const BoxParagraphs& box, TextPoint at);
TextPoint WordEnd(const BoxParagraphs& box, TextPoint at);

bool PastDragThreshold(int pressX, int pressY, int x, int y);

// Vertical scroll range of `contentHeight` (never below 0); `capped` tells whether the content
// is taller than kMaxScrollRange.
int VerticalScrollRange(int contentHeight, bool& capped);

// Scroll position that shows the rectangle (x, y, width, height) with the least movement,
// given the position (sx, sy) and the client size (cw, ch).
struct ScrollPoint {
    int x = 0, y = 0;
};
ScrollPoint ScrollIntoView(int x, int y, int width, int height, int sx, int sy, int cw, int ch);

// The link reference of the character at a position, kNoLink when there is none.
std::uint32_t LinkAt(const BoxParagraphs& box, const TTextPos& pos);

} // namespace boxselection
} // namespace morvell
