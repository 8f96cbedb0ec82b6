#include "text/qt/TNoBgPaintPanel.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace morvell {

TNoBgPaintPanel::TNoBgPaintPanel(QWidget* parent) : QWidget(parent) {
    // The background is painted (or not) by paintEvent alone.
    setAutoFillBackground(false);
}

void TNoBgPaintPanel::SetMargin(int margin) {
    m_margin = std::max(margin, 0);
    setContentsMargins(m_margin, m_margin, m_margin, m_margin);
    SetTransparent(m_margin == 0);
}

void TNoBgPaintPanel::SetTransparent(bool transparent) {
    m_transparent = transparent;
    // An opaque panel covers every pixel, so Qt need not draw what lies beneath.
    setAttribute(Qt::WA_OpaquePaintEvent, !transparent);
    update();
}

QColor TNoBgPaintPanel::Color() const { return palette().color(QPalette::Window); }

void TNoBgPaintPanel::SetColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
    update();
}

QRect TNoBgPaintPanel::ClientRect() const {
    QRect r = rect().adjusted(m_margin, m_margin, -m_margin, -m_margin);
    if (r.width() < 0) r.setWidth(0);
    if (r.height() < 0) r.setHeight(0);
    return r;
}

void TNoBgPaintPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_transparent) painter.fillRect(rect(), Color());
    if (OnPaint) OnPaint(*this, painter);
}

void TNoBgPaintPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TNoBgPaintPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        event->accept();
        if (rect().contains(event->position().toPoint()) && OnMyClick) OnMyClick(*this);
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace morvell
