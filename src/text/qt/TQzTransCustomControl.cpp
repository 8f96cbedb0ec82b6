#include "text/qt/TQzTransCustomControl.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace morvell {

TQzTransCustomControl::TQzTransCustomControl(QWidget* parent) : QWidget(parent) {
    // Never erase: the parent's drawing is the background (see the header).
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    // Not a tab stop; controls that want the focus on a click take it themselves.
    setFocusPolicy(Qt::NoFocus);
}

QWidget* TQzTransCustomControl::InvalidationTarget(QRect& rect) {
    TQzTransCustomControl* control = this;
    while (!control->IsOpaque()) {
        QWidget* parent = control->parentWidget();
        if (parent == nullptr || control->isWindow()) return control;
        rect.translate(control->pos());
        auto* transParent = qobject_cast<TQzTransCustomControl*>(parent);
        if (transParent == nullptr) return parent;
        control = transParent;
    }
    return control;
}

void TQzTransCustomControl::InvalidateRect(const QRect& rect) {
    QRect r = rect;
    InvalidationTarget(r)->update(r);
}

void TQzTransCustomControl::RedrawRect(const QRect& rect) {
    QRect r = rect;
    InvalidationTarget(r)->repaint(r);
}

void TQzTransCustomControl::Repaint() {
    if (!isVisible() || !IsOpaque()) {
        Invalidate();
    } else {
        repaint();
    }
}

void TQzTransCustomControl::SetBounds(int left, int top, int width, int height) {
    const QRect bounds(left, top, width, height);
    if (bounds == geometry()) return;
    if (m_moveQuietly && isVisible()) {
        hide();
        setGeometry(bounds);
        show();
    } else {
        setGeometry(bounds);
    }
}

bool TQzTransCustomControl::event(QEvent* event) {
    // Only when the control itself has the focus: keys passed up from a child control are the
    // child's business and keep the usual focus navigation.
    if (event->type() == QEvent::KeyPress && WantsAllKeys() && hasFocus()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            // A control that wants every key gets tab too, and tab does not move the focus
            // even when the control does nothing with it.
            keyPressEvent(key);
            key->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void TQzTransCustomControl::hideEvent(QHideEvent* event) {
    // Qt repaints what lay beneath a hidden child by itself; the explicit update keeps the
    // parent's idea of its dirty area in step for parents that cache their drawing.
    if (!IsOpaque() && parentWidget() != nullptr && !isWindow()) parentWidget()->update(geometry());
    QWidget::hideEvent(event);
}

// The control takes the mouse: presses are accepted, so Qt's implicit grab keeps the release
// (and the moves between) with this control instead of passing them to the page beneath.
void TQzTransCustomControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_leftPressed = true;
    event->accept();
}

void TQzTransCustomControl::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        event->button() == Qt::LeftButton && m_leftPressed && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) m_leftPressed = false;
    event->accept();
    if (click) Click();
}

void TQzTransCustomControl::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click must not complete a click of its own.
    m_leftPressed = false;
    event->accept();
    if (event->button() == Qt::LeftButton) DblClick();
}

void TQzTransCustomControl::Click() {
    if (OnClick) OnClick(*this);
}

void TQzTransCustomControl::DblClick() {
    if (OnDblClick) OnDblClick(*this);
}

TTransNoEventsControl::TTransNoEventsControl(QWidget* parent) : TTransMouseControl(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

} // namespace morvell
