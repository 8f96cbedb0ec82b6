#include "text/qt/TXorOutline.h"

#include <QPainter>

namespace morvell {

TXorOutline::TXorOutline(Style style, QWidget* parent) : QWidget(parent), m_style(style) {
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void TXorOutline::ShowAt(QWidget* reference, const QRect& rect) {
    m_markRect = rect;
    if (reference == nullptr) return;
    QWidget* surface = reference->window();
    if (parentWidget() != surface) setParent(surface);
    const QPoint topLeft = reference == surface ? rect.topLeft() : reference->mapTo(surface, rect.topLeft());
    setGeometry(QRect(topLeft, rect.size()));
    raise();
    show();
    update();
}

void TXorOutline::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    if (m_style == Style::Filled) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    // Every other pixel of the outline, the look of a dotted pen.
    const int w = width(), h = height();
    painter.setPen(Qt::white);
    for (int x = 0; x < w; x += 2) {
        painter.drawPoint(x, 0);
        if (h > 1) painter.drawPoint(x, h - 1);
    }
    for (int y = 2; y < h - 1; y += 2) {
        painter.drawPoint(0, y);
        if (w > 1) painter.drawPoint(w - 1, y);
    }
}

} // namespace morvell
