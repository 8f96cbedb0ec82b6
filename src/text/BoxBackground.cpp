#include "text/BoxBackground.h"

namespace morvell {

namespace {

// The multiple of `step` at or before `v` (floor, also for negative values).
int FloorTo(int v, int step) {
    int q = v / step;
    if (v % step != 0 && v < 0) --q;
    return q * step;
}

// Tiles of a grid anchored at `origin` that cover [from, to).
int FirstTile(int from, int origin, int step) { return origin + FloorTo(from - origin, step); }

} // namespace

BackgroundPlan PlanBackground(const BackgroundRequest& r) {
    BackgroundPlan plan;
    if (r.area.Empty()) return plan;
    const int w = r.tileWidth, h = r.tileHeight;
    const bool fixed = (r.mode & kBackgroundFixed) != 0;
    if (w <= 0 || h <= 0) {
        // A picture without size paints nothing but the colour.
        plan.fillFirst = true;
        return plan;
    }
    if (!r.cellBox && !r.pictureOpaque) plan.fillFirst = true;

    if ((r.mode & kBackgroundOnce) != 0) {
        // Drawn once at the corner (at the visible corner when fixed); the colour around it.
        plan.fillFirst = true;
        const int x = !r.cellBox && fixed ? r.scrollX : 0;
        const int y = !r.cellBox && fixed ? r.scrollY : 0;
        if (CanvasRect{x, y, x + w, y + h}.Intersects(r.area)) plan.tiles.emplace_back(x, y);
        return plan;
    }

    int originX = 0, originY = 0;
    if (r.cellBox) {
        if (!r.tileFromBox) {
            // The page's grid, seen from the box: shifted by the box's position.
            originX = -r.boxLeft;
            originY = -r.boxTop;
        }
    } else if (fixed) {
        originX = r.scrollX;
        originY = r.scrollY;
    }
    const int x0 = FirstTile(r.area.left, originX, w);
    const int y0 = FirstTile(r.area.top, originY, h);
    // A hostile tiny picture over a huge area must not make an unbounded list.
    constexpr long long kMaxTiles = 1 << 20;
    const long long count =
        (static_cast<long long>(r.area.right - x0 + w - 1) / w) * ((r.area.bottom - y0 + h - 1) / h);
    if (count > kMaxTiles) {
        plan.fillFirst = true;
        return plan;
    }
    for (int y = y0; y < r.area.bottom; y += h)
        for (int x = x0; x < r.area.right; x += w) plan.tiles.emplace_back(x, y);
    return plan;
}

} // namespace morvell
