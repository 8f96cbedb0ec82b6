#include "text/qt/TOutlLabel.h"

#include <QPainter>

namespace morvell {

TOutlLabel::TOutlLabel(QWidget* parent) : QLabel(parent) { setAutoFillBackground(false); }

TOutlLabel::TOutlLabel(const QString& caption, QWidget* parent) : TOutlLabel(parent) { setText(caption); }

void TOutlLabel::SetColourShadow(const QColor& colour) {
    m_colourShadow = colour;
    update();
}

void TOutlLabel::SetTransparent(bool transparent) {
    m_transparent = transparent;
    update();
}

QColor TOutlLabel::Color() const { return palette().color(QPalette::Window); }

void TOutlLabel::SetColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
    update();
}

QColor TOutlLabel::FontColor() const { return palette().color(QPalette::WindowText); }

void TOutlLabel::SetFontColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
    update();
}

QSize TOutlLabel::sizeHint() const { return QLabel::sizeHint() + QSize(2, 2); }

QSize TOutlLabel::minimumSizeHint() const { return QLabel::minimumSizeHint() + QSize(2, 2); }

void TOutlLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_transparent) painter.fillRect(rect(), Color());
    const QRect area = contentsRect().adjusted(0, 0, -2, -2);
    int flags = static_cast<int>(alignment());
    if (wordWrap()) flags |= Qt::TextWordWrap;
    const QString caption = text();
    painter.setFont(font());
    painter.setPen(m_colourShadow);
    for (int dx = 0; dx <= 2; ++dx) {
        for (int dy = 0; dy <= 2; ++dy) painter.drawText(area.translated(dx, dy), flags, caption);
    }
    painter.setPen(FontColor());
    painter.drawText(area.translated(1, 1), flags, caption);
}

} // namespace morvell
