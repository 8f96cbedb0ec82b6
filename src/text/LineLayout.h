#pragma once
// Line layout of paragraphs: breaking into lines after spaces, alignment and justification,
// vertical placement, the top of a page's first paragraph, running numbers, and drawing onto
// a Canvas. The text box drives these for every paragraph it holds.

#include "text/Canvas.h"
#include "text/ParagraphStream.h"

#include <cstdint>

namespace morvell {

class Canvas;
class TOVKparag;
class TOVKset;
struct TOVKline;

struct LineCapacity {
    int firstX = 0;        // start x of the first line (left indent + first-line indent)
    int firstCapacity = 0; // width the first line offers
    int otherX = 0;
    int otherCapacity = 0;
};

class LineLayout {
public:
    // Horizontal measures for layout width `width` and inner margin `innerMargin`. A negative
    // first-line indent of a numbered or bulleted paragraph is the room of its number, so
    // the first line then starts at the left indent.
    static LineCapacity Capacity(const TOVKparag& paragraph, int width, int innerMargin);
    // Breaks the paragraph into lines for the owner's layout width, from `top`; returns the top
    // of the next paragraph. Every space's Width is first reset to its Advance, so a layout at
    // another width never keeps the justification of the last one.
    static int LayOut(TOVKparag& paragraph, int top);
    // Top of the first paragraph of a page's text box: 0 when it has space above, else the
    // ebook's "GlobalMargin" (8 when the ebook has none).
    static int FirstTop(const TOVKparag& first, TOVKset* document);
    // Baseline of a line in box coordinates.
    static int Baseline(const TOVKparag& paragraph, const TOVKline& line);
    // Running numbers of consecutive numbered paragraphs: 1, 2, 3 ...; any other paragraph
    // starts the count again.
    static void Number(const ParagraphList& paragraphs);
    // Paints the paragraph (index `indexInBox` in its box, for the selection) on `canvas`.
    static void Draw(TOVKparag& paragraph, int indexInBox, Canvas& canvas);
    // The band a paragraph occupies, from x 0 to `width` and from its top to its bottom
    // inclusive; saturates, because hostile spacing can put a bottom at the largest int.
    static CanvasRect Band(const TOVKparag& paragraph, int width);

    // A run whose drawn width is this far from its stored widths is drawn per character.
    static constexpr int kRemeasureSlack = 5;
};

} // namespace morvell
