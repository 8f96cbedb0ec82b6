#include "text/qt/TOVKcursor.h"

#include "text/TextPos.h"

#include <QGuiApplication>
#include <QPainter>
#include <QStyleHints>

#include <algorithm>

namespace morvell {

TOVKcursor::TOVKcursor(QWidget* parent) : TQzTransCustomControl(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, kWidth, 0);
    QWidget::hide();
    connect(&m_blink, &QTimer::timeout, this, [this] {
        m_blinkOn = !m_blinkOn;
        Invalidate();
    });
}

int TOVKcursor::BlinkInterval() const {
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    return flash > 0 ? std::max(flash / 2, 50) : 0;
}

void TOVKcursor::SetPosition(int x, int y, int height) {
    const QRect bounds(x, y, kWidth, std::max(height, 0));
    if (bounds != geometry()) {
        SetBounds(bounds);
        RestartBlink();
    }
}

void TOVKcursor::SetPosition(const TTextPos& pos) {
    if (!pos.Valid()) {
        Hide();
        return;
    }
    SetPosition(pos.x, pos.y, pos.height);
}

void TOVKcursor::Show() {
    m_shown = true;
    Apply();
}

void TOVKcursor::Hide() {
    m_shown = false;
    Apply();
}

void TOVKcursor::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    Apply();
}

void TOVKcursor::Apply() {
    // The widget's own flag, not isVisible(): the box may not be on screen yet.
    const bool visible = m_shown && !m_readOnly;
    if (visible == !isHidden()) {
        if (visible) RestartBlink();
        return;
    }
    if (visible) {
        QWidget::show();
        raise();
        RestartBlink();
    } else {
        m_blink.stop();
        QWidget::hide();
    }
}

void TOVKcursor::RestartBlink() {
    m_blinkOn = true;
    const int interval = BlinkInterval();
    if (!isHidden() && interval > 0) {
        m_blink.start(interval);
    } else {
        m_blink.stop();
    }
    if (!isHidden()) Invalidate();
}

void TOVKcursor::paintEvent(QPaintEvent*) {
    if (!m_blinkOn) return;
    QPainter painter(this);
    // Inverting rather than painting a colour keeps the caret visible over dark text
    // backgrounds and pictures alike.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(rect(), Qt::white);
}

} // namespace morvell
