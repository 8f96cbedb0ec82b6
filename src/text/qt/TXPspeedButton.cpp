#include "text/qt/TXPspeedButton.h"

#include "text/qt/TXPPanel.h"

#include <QEnterEvent>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace morvell {

TXPspeedButton::TXPspeedButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
}

void TXPspeedButton::SetDefaultToXColor(bool on) {
    m_defaultToXColor = on;
    update();
}

void TXPspeedButton::enterEvent(QEnterEvent* event) {
    m_hot = true;
    update();
    QToolButton::enterEvent(event);
}

void TXPspeedButton::leaveEvent(QEvent* event) {
    m_hot = false;
    update();
    QToolButton::leaveEvent(event);
}

void TXPspeedButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const QColor base = m_defaultToXColor ? kXPColor : palette().color(QPalette::Button);
    const QColor highlight = palette().color(QPalette::Highlight);
    const bool down = isDown() || isChecked();
    QColor face = base;
    if (isEnabled() && down) {
        face = highlight.lighter(140);
    } else if (isEnabled() && m_hot) {
        face = highlight.lighter(170);
    }
    painter.fillRect(rect(), face);
    if (isEnabled() && (m_hot || down)) {
        painter.setPen(highlight);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.state &= ~(QStyle::State_Raised | QStyle::State_Sunken | QStyle::State_MouseOver);
    painter.drawControl(QStyle::CE_ToolButtonLabel, option);
}

} // namespace morvell
