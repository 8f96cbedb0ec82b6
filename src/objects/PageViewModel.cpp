#include "objects/PageViewModel.h"

#include "objects/TOVKoggetto.h"
#include "text/TOVKparag.h"

namespace morvell::pageview {

namespace {

// Floor division: tiles left of or above the origin start at the multiple below.
int FloorMultiple(int value, int step) {
    int q = value / step;
    if (value % step != 0 && value < 0) --q;
    return q * step;
}

} // namespace

BarVisibility ScrollBarVisibility(int mode, bool readOnly) {
    if (!readOnly) return BarVisibility::Shown;
    if (mode == 0 || mode == 1) return BarVisibility::Hidden;
    if (mode == 2 || mode == 3) return BarVisibility::Shown;
    return BarVisibility::Unchanged;
}

int WheelPosition(int position, int delta) {
    return delta >= 0 ? position - kWheelStep : position + kWheelStep;
}

int AnchorScrollPosition(int lineTop, int position, int clientHeight) {
    const int bandTop = lineTop - kAnchorMargin;
    const int bandBottom = bandTop + std::max(0, clientHeight - kAnchorMargin);
    if (bandTop < position) return bandTop;
    if (bandBottom > position + clientHeight) return bandBottom - clientHeight;
    return position;
}

std::vector<TilePoint> TileOrigins(int left, int top, int right, int bottom, int w, int h) {
    std::vector<TilePoint> tiles;
    if (w <= 0 || h <= 0 || right <= left || bottom <= top) return tiles;
    const int x0 = FloorMultiple(left, w), y0 = FloorMultiple(top, h);
    // 64-bit steps: a clip rectangle near the int limit must not wrap round into a loop
    // without end.
    for (long long y = y0; y < bottom; y += h)
        for (long long x = x0; x < right; x += w) tiles.push_back({static_cast<int>(x), static_cast<int>(y)});
    return tiles;
}

std::int32_t AnchorNumber(const TOVKoggetto& object) {
    if (object.Kind() != TOggettiHel::shortObj || object.Record().U8(4) != kAnchorSubKind) return -1;
    return object.Record().I32(kAnchorNumberOffset);
}

std::string CollectPrefix(bool directChildOfFrameSet, const std::string& frameName) {
    return directChildOfFrameSet ? std::string() : frameName + ".";
}

void CollectObjects(const ParagraphList& paragraphs, TOggettiHel kind, const std::string& prefix,
                    std::vector<NamedObject>& out) {
    for (const auto& paragraph : paragraphs) {
        if (!paragraph) continue;
        for (const EmbeddedObject& embedded : paragraph->Objects())
            if (embedded.object && embedded.object->Kind() == kind)
                out.push_back({prefix + embedded.object->ElementName(), embedded.object});
    }
}

} // namespace morvell::pageview
