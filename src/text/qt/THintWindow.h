#pragma once
// The hint window of the reader: the hint text of a link or object, word-wrapped, taken
// literally (an '&' is an ampersand, not a mnemonic, a '<' is not markup), in the system's
// tool-tip colours and decoded from the ebook's code page.
//
// The reader does not use Qt's tool tips for ebook hints: QToolTip reads "<...>" as rich
// text, treats the hint as a property of the whole widget (so moving from one link to the
// next one inside the same text box does not change it) and cannot be told the code page.
// Instead one application-wide hint window is driven through ShowHint / HideHint below,
// which behave the way desktop tool tips do:
//
//  * the first hint appears after the wake-up delay, once the pointer has rested on the link;
//  * while a hint is showing (or shortly after one was hidden) the next one replaces it at
//    once, so sweeping along a row of links shows each link's hint without a new delay;
//  * the hint goes away when its owner asks, leaves the owner, the owner is hidden or
//    destroyed, on any mouse press, wheel turn or key press, when the application loses the
//    activation, and after a read-long-enough timeout (10 s, longer for long texts).
//
// The hint window never takes the focus or the mouse: it is a Qt::ToolTip window shown
// without activation and transparent for mouse events.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <string>

namespace morvell {

class TQzHintWindow : public QWidget {
    Q_OBJECT
public:
    // Space between the window's edge and the text on the left and at the top.
    static constexpr int kInset = 2;
    // Where the window goes relative to the pointer: below the arrow cursor, a little right.
    static constexpr int kOffsetX = 2;
    static constexpr int kOffsetY = 20;

    explicit TQzHintWindow(QWidget* parent = nullptr);

    // Code page the hint bytes are in ("windows-1252" until an ebook says otherwise).
    void SetCharSet(const std::string& charSet) { m_charSet = charSet; }
    const std::string& CharSet() const { return m_charSet; }

    // The size the text needs when wrapped at `maxWidth` pixels.
    QRect CalcHintRect(int maxWidth, const QString& text) const;
    // Shows ebook bytes (or, with the QString overload, text) for a pointer at `globalPos`:
    // below-right of it, moved so that the whole window stays on the pointer's screen.
    void ActivateHint(const QPoint& globalPos, const std::string& hintBytes, int maxWidth = 300);
    void ActivateHint(const QPoint& globalPos, const QString& text, int maxWidth = 300);
    void ReleaseHint() { hide(); }

    const QString& Text() const { return m_text; }

    // Top-left corner of a window of `size` for a pointer at `globalPos` on a screen whose
    // usable area is `screen`.
    static QPoint PlaceHint(const QPoint& globalPos, const QSize& size, const QRect& screen);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int kTextFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
    std::string m_charSet = "windows-1252";
    QString m_text;
};

// --- the application's hint -------------------------------------------------------------------

// Delays of the application's hint, in milliseconds. The defaults come from the style, as
// Qt's tool tips use them; tests and the options may change them.
struct HintTimings {
    int showDelay = 700;     // pointer at rest on a new hint until it shows
    int reshowWindow = 2000; // after a hint hid, a new one shows at once within this time
    int hideAfter = 10000;   // a hint showing this long (plus 40 ms a character over 100) hides
};

// Shows `hintBytes` (ebook text in `charSet`) as the hint of `owner` for a pointer at
// `globalPos`. When no hint is showing this waits for the show delay; when one is showing,
// or was hidden a moment ago, the new text replaces it at once. Empty bytes hide the
// owner's hint. The same text for the same owner leaves a showing hint where it is.
void ShowHint(QWidget* owner, const QPoint& globalPos, const std::string& hintBytes,
              const std::string& charSet);
// Hides the hint (showing or still waiting) when it belongs to `owner`; another owner's hint
// stays.
void HideHint(QWidget* owner);
// Hides whatever hint shows or waits.
void CancelHint();

// What the application's hint shows now, for tests and for status displays.
bool HintVisible();
QString HintText();
QWidget* HintOwner(); // the owner of the showing or waiting hint, or none
// The window itself (created on first use; never null).
TQzHintWindow& ApplicationHintWindow();

HintTimings CurrentHintTimings();
void SetHintTimings(const HintTimings& timings);

} // namespace morvell
