#include "text/qt/TTigerSplit.h"

#include <QPainter>

namespace morvell {

TTigerSplit::TTigerSplit(QWidget* parent) : TWQzSplit(parent) {}

void TTigerSplit::SetTiger(bool on) {
    m_tiger = on;
    update();
}

void TTigerSplit::SetTigerBevel(TBevel bevel) {
    m_tigerBevel = bevel;
    update();
}

void TTigerSplit::SetLineStep(int step) {
    if (step <= 0) return;
    m_lineStep = step;
    update();
}

void TTigerSplit::SetTrucco(int offset) {
    m_trucco = offset;
    update();
}

bool TTigerSplit::IsVerticalBar() const {
    if (Align() != TAlign::alNone) return IsHorizontalAlign(Align());
    return height() > width();
}

void TTigerSplit::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool vertical = IsVerticalBar();
    const int length = vertical ? height() : width();
    const int across = vertical ? width() : height();
    // In the bar's own terms: `along` runs the bar's length, `across` its thickness.
    auto barRect = [&](int along, int acrossPos, int alongSize, int acrossSize) {
        return vertical ? QRect(acrossPos, along, acrossSize, alongSize)
                        : QRect(along, acrossPos, alongSize, acrossSize);
    };

    painter.fillRect(rect(), Color());
    if (m_trucco < length) painter.fillRect(barRect(m_trucco, 0, length - m_trucco, across), kXPColor);

    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    if (m_tiger && across > 4) {
        for (int pos = m_trucco + m_lineStep; pos + 1 < length; pos += m_lineStep) {
            painter.fillRect(barRect(pos, 2, 1, across - 4), light);
            painter.fillRect(barRect(pos + 1, 2, 1, across - 4), dark);
        }
    }
    if (m_tigerBevel == TBevel::bvRaised || m_tigerBevel == TBevel::bvLowered) {
        const bool raised = m_tigerBevel == TBevel::bvRaised;
        const QColor topLeft = raised ? light : dark;
        const QColor bottomRight = raised ? dark : light;
        painter.fillRect(QRect(0, 0, width(), 1), topLeft);
        painter.fillRect(QRect(0, 0, 1, height()), topLeft);
        painter.fillRect(QRect(0, height() - 1, width(), 1), bottomRight);
        painter.fillRect(QRect(width() - 1, 0, 1, height()), bottomRight);
    }
}

} // namespace morvell
