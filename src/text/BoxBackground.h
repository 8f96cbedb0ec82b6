#pragma once
// Where a text box draws its background picture: tiled from an origin that depends on the
// kind of box and its background mode, or drawn once with the colour around it.

#include "text/Canvas.h"

#include <utility>
#include <vector>

namespace morvell {

// Background mode bits of a box.
inline constexpr int kBackgroundFixed = 1; // the picture stays still while the page scrolls
inline constexpr int kBackgroundOnce = 2;  // the picture is drawn once instead of tiled

struct BackgroundRequest {
    CanvasRect area;   // area to repaint, box coordinates
    int tileWidth = 0; // picture size
    int tileHeight = 0;
    int mode = 0;             // kBackgroundFixed | kBackgroundOnce
    bool cellBox = false;     // the box of a table cell
    bool tileFromBox = false; // cell boxes: the ebook header asks tiles to start at the box
    int boxLeft = 0;          // cell boxes: the box's position on the page
    int boxTop = 0;
    int scrollX = 0; // page boxes: the page's scroll position
    int scrollY = 0;
    bool pictureOpaque = true;
};

struct BackgroundPlan {
    bool fillFirst = false;                 // fill the area with the background colour first
    std::vector<std::pair<int, int>> tiles; // top-left corners (x, y) at which the picture is drawn
};

// Every tile that meets the area, in rows from the top.
BackgroundPlan PlanBackground(const BackgroundRequest& request);

} // namespace morvell
