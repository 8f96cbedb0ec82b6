#pragma once
// Base of every control that lies over a page's text: text boxes, carets, object controls,
// selection handles.
//
// Transparency comes from Qt's composition of child widgets: a child that neither fills its
// background (autoFillBackground off) nor promises to paint every pixel
// (Qt::WA_OpaquePaintEvent off) is painted after its parent into the same backing store, so
// whatever the parent drew shows through wherever the child paints nothing. This base never
// fills its background, so a control is transparent exactly where its own paintEvent leaves
// pixels alone. IsOpaque() tells the invalidation below (and subclasses that want the
// optimisation) whether a control covers its whole rectangle.

#include <QRect>
#include <QWidget>

#include <functional>

namespace morvell {

class TQzTransCustomControl : public QWidget {
    Q_OBJECT
public:
    explicit TQzTransCustomControl(QWidget* parent = nullptr);

    // Whether the control paints every pixel of its rectangle. A text box without background
    // answers false, so repaints of it reach the picture beneath.
    virtual bool IsOpaque() const { return true; }

    // Invalidates part of the control (its own coordinates). A control that is not opaque
    // hands the rectangle up through parents that are transparent controls too; the first
    // opaque control, or the first parent that is not such a control, invalidates it.
    void InvalidateRect(const QRect& rect);
    void Invalidate() { InvalidateRect(rect()); }
    // The same path, drawn at once rather than at the next paint.
    void RedrawRect(const QRect& rect);
    // Redraws the control now; a hidden or transparent control is invalidated instead.
    void Repaint();

    // Moves and sizes the control. With move quietly set, a visible control is hidden, moved
    // without copying its old pixels and shown again (used by the selection handles, which
    // would otherwise leave trails on the page).
    virtual void SetBounds(int left, int top, int width, int height);
    void SetBounds(const QRect& bounds) {
        SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    }
    bool MoveQuietly() const { return m_moveQuietly; }
    void SetMoveQuietly(bool quietly) { m_moveQuietly = quietly; }

    // Keyboard wishes: true when the control takes arrow keys, tab and every other key itself
    // instead of leaving tab to focus navigation.
    virtual bool WantsAllKeys() const { return true; }

    // Click: left press and release inside the control. Double click: Qt's double click.
    std::function<void(TQzTransCustomControl&)> OnClick;
    std::function<void(TQzTransCustomControl&)> OnDblClick;

protected:
    virtual void Click();
    virtual void DblClick();

    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Where InvalidateRect ends: the widget to update and the rectangle in its coordinates.
    QWidget* InvalidationTarget(QRect& rect);

    bool m_moveQuietly = false;
    bool m_leftPressed = false;
};

// A transparent control that takes only character keys: tab and arrows stay with the dialog's
// focus navigation. Base of the grab handles.
class TTransMouseControl : public TQzTransCustomControl {
    Q_OBJECT
public:
    explicit TTransMouseControl(QWidget* parent = nullptr) : TQzTransCustomControl(parent) {}
    bool WantsAllKeys() const override { return false; }
};

// A transparent control that the mouse passes through to whatever lies beneath. Base of the
// side lines of a selection frame.
class TTransNoEventsControl : public TTransMouseControl {
    Q_OBJECT
public:
    explicit TTransNoEventsControl(QWidget* parent = nullptr);
};

} // namespace morvell
