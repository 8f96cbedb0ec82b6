#pragma once
// The caret of a text box: a bar three pixels wide and one line high over the text.
//
// The bar starts at the position's x, the left edge of the character after it, where the
// box's scrolling makes a 3-pixel rectangle visible for the caret. It inverts what lies beneath, as
// desktop carets do, so it shows on any background colour or picture. It blinks with the
// desktop's cursor flash time (not at all when that is 0) and starts each blink cycle visible
// whenever it is shown or moved, so the user sees where it went.
//
// A read-only caret is never shown: the reader's boxes are read-only, and keeping the rule
// here means no path through the box's mouse or focus handling can make one appear. The
// caret never takes the mouse or the focus: clicks on it reach the box beneath.

#include "text/qt/TQzTransCustomControl.h"

#include <QTimer>

namespace morvell {

struct TTextPos;

class TOVKcursor : public TQzTransCustomControl {
    Q_OBJECT
public:
    static constexpr int kWidth = 3;

    explicit TOVKcursor(QWidget* parent = nullptr);

    // Places the caret at the left edge `x` of a character whose line starts at `y` and is
    // `height` pixels high (owner coordinates).
    void SetPosition(int x, int y, int height);
    // The same from a text position; a position that is not valid hides the caret.
    void SetPosition(const TTextPos& pos);

    // Shown when asked to and not read-only; Hide always hides.
    void Show();
    void Hide();
    // Whether the caret has been asked to show (it may still be in the dark half of a blink).
    bool Shown() const { return m_shown; }

    void SetReadOnly(bool readOnly);
    bool ReadOnly() const { return m_readOnly; }

    // Whether the bar is drawn at this moment of its blink cycle.
    bool BlinkOn() const { return m_blinkOn; }
    // Half of the blink cycle in milliseconds, 0 when the caret does not blink.
    int BlinkInterval() const;

    // The bar inverts what lies beneath and leaves the rest of the parent's drawing alone.
    bool IsOpaque() const override { return false; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Apply();
    void RestartBlink();

    QTimer m_blink;
    bool m_shown = false;
    bool m_readOnly = false;
    bool m_blinkOn = true;
};

} // namespace morvell
