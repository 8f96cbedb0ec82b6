#pragma once
// The rubber-band marks of drags: the line a splitter drag shows where the bar will land, the
// dotted rectangle a handle drag shows where the object will go.
//
// They invert what lies beneath, like exclusive-or drawing on the form: the mark is a
// mouse-transparent child of the window, painted with the difference composition mode over
// the window's drawing that Qt has already put into the backing store. Removing the mark
// simply repaints the area, so nothing has to be "xored away".

#include <QWidget>

namespace morvell {

class TXorOutline : public QWidget {
    Q_OBJECT
public:
    enum class Style { Filled, Dotted };

    explicit TXorOutline(Style style, QWidget* parent = nullptr);

    // Shows the mark over `rect`, given in the coordinates of `reference`; the mark lives on
    // reference's window so it lies over every sibling.
    void ShowAt(QWidget* reference, const QRect& rect);
    // Where the mark was last shown, in the reference's coordinates.
    QRect MarkRect() const { return m_markRect; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Style m_style;
    QRect m_markRect;
};

} // namespace morvell
