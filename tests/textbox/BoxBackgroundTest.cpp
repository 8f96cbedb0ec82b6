// Where the background picture of a box is drawn for each kind of box and background mode.

#include "text/BoxBackground.h"

#include <gtest/gtest.h>

namespace morvell {
namespace {

using Tiles = std::vector<std::pair<int, int>>;

BackgroundRequest Request(CanvasRect area, int mode = 0) {
    BackgroundRequest r;
    r.area = area;
    r.tileWidth = 40;
    r.tileHeight = 30;
    r.mode = mode;
    return r;
}

TEST(BoxBackground, TileOriginsByBoxAndMode) {
    // A page box tiles on its own grid.
    EXPECT_EQ(PlanBackground(Request({50, 70, 130, 95})).tiles,
              (Tiles{{40, 60}, {80, 60}, {120, 60}, {40, 90}, {80, 90}, {120, 90}}));

    // Fixed to the window: the grid starts at the scroll position.
    BackgroundRequest fixed = Request({100, 200, 150, 230}, kBackgroundFixed);
    fixed.scrollX = 10;
    fixed.scrollY = 195;
    EXPECT_EQ(PlanBackground(fixed).tiles, (Tiles{{90, 195}, {130, 195}, {90, 225}, {130, 225}}));

    // A cell box on the page grid: shifted by its position; from its own corner when the
    // ebook asks for it.
    BackgroundRequest cell = Request({0, 0, 30, 20});
    cell.cellBox = true;
    cell.boxLeft = 25;
    cell.boxTop = 10;
    EXPECT_EQ(PlanBackground(cell).tiles, (Tiles{{-25, -10}, {15, -10}}));
    cell.tileFromBox = true;
    EXPECT_EQ(PlanBackground(cell).tiles, (Tiles{{0, 0}}));
}

TEST(BoxBackground, OnceFillsAroundAndTransparentPicturesFillFirst) {
    BackgroundPlan once = PlanBackground(Request({0, 0, 300, 300}, kBackgroundOnce));
    EXPECT_TRUE(once.fillFirst);
    EXPECT_EQ(once.tiles, (Tiles{{0, 0}}));
    // Once and fixed: at the visible corner; an area away from it draws no picture.
    BackgroundRequest both = Request({0, 500, 300, 600}, kBackgroundOnce | kBackgroundFixed);
    both.scrollY = 520;
    EXPECT_EQ(PlanBackground(both).tiles, (Tiles{{0, 520}}));
    EXPECT_TRUE(PlanBackground(Request({0, 0, 300, 100}, kBackgroundOnce)).tiles.size() == 1);
    EXPECT_TRUE(PlanBackground(Request({0, 100, 300, 200}, kBackgroundOnce)).tiles.empty());

    BackgroundRequest clear = Request({0, 0, 40, 30});
    EXPECT_FALSE(PlanBackground(clear).fillFirst);
    clear.pictureOpaque = false;
    EXPECT_TRUE(PlanBackground(clear).fillFirst);

    // A picture without size, or one so small the tiles would be countless, gives the colour.
    BackgroundRequest empty = Request({0, 0, 100, 100});
    empty.tileWidth = 0;
    EXPECT_TRUE(PlanBackground(empty).tiles.empty());
    EXPECT_TRUE(PlanBackground(empty).fillFirst);
    BackgroundRequest tiny = Request({0, 0, 30000, 30000});
    tiny.tileWidth = tiny.tileHeight = 1;
    EXPECT_TRUE(PlanBackground(tiny).tiles.empty());
    EXPECT_TRUE(PlanBackground(tiny).fillFirst);
}

} // namespace
} // namespace morvell
