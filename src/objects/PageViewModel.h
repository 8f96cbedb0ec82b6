#pragma once
// The rules of the page view that need no window: scroll-bar modes, the wheel step, where
// an anchor scrolls to, how a background picture is tiled, the marker lists (anchors and
// automatic links) and the collecting of a page's embedded objects by kind.

#include "document/OVKKinds.h"
#include "text/ParagraphStream.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace morvell {

class TOVKoggetto;

namespace pageview {

// Every wheel notch moves the page by this many pixels, whatever the platform's setting.
inline constexpr int kWheelStep = 100;
// Anchors land this far below the top edge when the view scrolls up to them.
inline constexpr int kAnchorMargin = 3;
// Scroll bars as a page view is made: range and both increments.
inline constexpr int kInitialVerticalRange = 1024;
inline constexpr int kScrollIncrement = 10;
// The mode a frame gives a view that does not say otherwise.
inline constexpr std::uint8_t kDefaultScrollBarMode = 3;

// Sub-kinds of shortObj markers the view keeps lists of.
inline constexpr int kAutomaticLinkSubKind = 13;
inline constexpr int kAnchorSubKind = 14;
// The number of an anchor marker is stored at this offset of its record.
inline constexpr int kAnchorNumberOffset = 5;

enum class BarVisibility { Hidden, Shown, Unchanged };

// Modes 0 and 1 hide both bars of a read-only view, 2 and 3 show them, higher values leave
// them as they are; an editable view always shows both.
BarVisibility ScrollBarVisibility(int mode, bool readOnly);

// The vertical position after one wheel message: up for a delta of zero or more.
int WheelPosition(int position, int delta);

// Where a read-only view scrolls to bring an anchor's line into view: the least move that
// shows the band from 3 pixels above the line's top, client height - 3 pixels high. The
// line then sits 3 pixels below the top edge after scrolling up, 6 after scrolling down.
int AnchorScrollPosition(int lineTop, int position, int clientHeight);

struct TilePoint {
    int x = 0, y = 0;
    bool operator==(const TilePoint&) const = default;
};

// Tile positions of a w x h picture covering the clip rectangle [left, right) x [top, bottom),
// the tiles aligned to the paint box's origin. Empty when w or h is not positive.
std::vector<TilePoint> TileOrigins(int left, int top, int right, int bottom, int w, int h);

// The anchor number of a marker object; -1 for anything that is not an anchor.
std::int32_t AnchorNumber(const TOVKoggetto& object);

// A list of controls in order of making, each in it at most once.
template <typename T> class MarkerList {
public:
    // False (and nothing added) when the control is already listed.
    bool Add(T* item) {
        if (!item || std::find(m_items.begin(), m_items.end(), item) != m_items.end()) return false;
        m_items.push_back(item);
        return true;
    }
    void Remove(const T* item) { std::erase(m_items, item); }
    void Clear() { m_items.clear(); }
    const std::vector<T*>& Items() const { return m_items; }
    bool Contains(const T* item) const {
        return std::find(m_items.begin(), m_items.end(), item) != m_items.end();
    }
    std::size_t Size() const { return m_items.size(); }

private:
    std::vector<T*> m_items;
};

// The first anchor, in order of making, whose number is n; nullptr for n < 0 or no match.
// `objectOf` maps a listed control to the marker object it shows.
template <typename T, typename ObjectOf>
T* FindAnchor(const MarkerList<T>& anchors, std::int32_t n, ObjectOf objectOf) {
    if (n < 0) return nullptr;
    for (T* item : anchors.Items()) {
        const TOVKoggetto* object = objectOf(item);
        if (object && AnchorNumber(*object) == n) return item;
    }
    return nullptr;
}

struct NamedObject {
    std::string name;
    TOVKoggetto* object = nullptr;
};

// The name prefix of the objects of a view: empty for a view whose frame sits directly in
// its frame set, else the frame's name and a dot.
std::string CollectPrefix(bool directChildOfFrameSet, const std::string& frameName);

// Appends, in text order, every embedded object of `kind` in `paragraphs`, named prefix +
// element name.
void CollectObjects(const ParagraphList& paragraphs, TOggettiHel kind, const std::string& prefix,
                    std::vector<NamedObject>& out);

} // namespace pageview
} // namespace morvell
