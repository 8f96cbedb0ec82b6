#include "text/qt/TXPPanel.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace morvell {

TXPPanel::TXPPanel(QWidget* parent) : QWidget(parent) {
    // paintEvent covers every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void TXPPanel::SetTopGradientTrick(bool on) {
    m_topGradientTrick = on;
    update();
}

void TXPPanel::SetDefaultToXColor(bool on) {
    m_defaultToXColor = on;
    update();
}

QColor TXPPanel::Color() const { return palette().color(QPalette::Window); }

void TXPPanel::SetColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
    update();
}

void TXPPanel::SetCaption(const QString& caption) {
    m_caption = caption;
    update();
}

void TXPPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor colour = PaintColor();
    painter.fillRect(rect(), colour);
    if (m_topGradientTrick) {
        const int h = std::min(kGradientHeight, height());
        QLinearGradient fade(0, 0, 0, h);
        fade.setColorAt(0, Qt::white);
        fade.setColorAt(1, colour);
        painter.fillRect(QRect(0, 0, width(), h), fade);
    }
    if (!m_caption.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignCenter, m_caption);
    }
}

} // namespace morvell
