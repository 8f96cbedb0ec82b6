#pragma once
// The reader's own mouse cursors, by the numbers and names the controls ask for. They are
// drawn here with QPainter rather than loaded from image files, so they exist wherever the
// program runs.

#include <QCursor>

namespace morvell {

inline constexpr int kCursorHandPoint = 2;   // "HANDPNT": over a link
inline constexpr int kCursorHandPoint2 = 3;  // "HANDPNT2"
inline constexpr int kCursorEditHand = 4;    // "EDITHAND": over a link in an editable box
inline constexpr int kCursorDefHand = 5;     // "DEFMANO"
inline constexpr int kCursorGrab = 6;        // "GRABBR"
inline constexpr int kCursorFist = 7;        // "FIST"
inline constexpr int kCursorDefHandZoom = 8; // "DEFMANOZ"
inline constexpr int kCursorZoom = 10;       // "ZOOM"
inline constexpr int kCursorAnchor = 11;     // "ANCORA"

// Draws every cursor once; called at start-up (OVKCursor also does it on first use).
void LoadOVKCursors();
// The cursor of that number; the arrow for a number that has none.
QCursor OVKCursor(int number);
// The name of a cursor number, nullptr for none.
const char* OVKCursorName(int number);
// The number of a cursor name, -1 for none.
int OVKCursorNumber(const char* name);

} // namespace morvell
