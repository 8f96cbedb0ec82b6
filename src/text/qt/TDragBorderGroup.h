#pragma once
// The selection frame of a draggable control: eight grab handles and four side lines, all
// siblings of the control in its parent so they can lie just outside its edges.

#include "text/qt/TQzTransCustomControl.h"

#include <QPointer>
#include <QRect>

#include <array>
#include <memory>

namespace morvell {

class TDragCustomControl;
class TDragBorderGroup;
class TXorOutline;

enum class TBorderState {
    Hidden,
    Selected,    // handles shown and usable, side lines shown
    Highlighted, // handles shown grey and disabled, side lines shown (objects inside selected text)
    BorderOnly,  // side lines only
};

// A grab handle: 8 x 8 pixels centred on a corner or edge middle of the owner. Positions run
// clockwise from the top-left corner: 1 top-left, 2 top, 3 top-right, 4 right, 5 bottom-right,
// 6 bottom, 7 bottom-left, 8 left.
class TDragBorder : public TTransMouseControl {
    Q_OBJECT
public:
    static constexpr int kSize = 8;

    TDragBorder(TDragBorderGroup& group, int position, QWidget* parent);
    int Position() const { return m_position; }
    static Qt::CursorShape CursorFor(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TDragBorderGroup& m_group;
    int m_position;
    bool m_pressed = false;
};

// One side of the selection frame: a one-pixel line just outside side 1 (top), 2 (right),
// 3 (bottom) or 4 (left) of the owner, white with black dots over it so it shows on any page.
class TBoxBorder : public TTransNoEventsControl {
    Q_OBJECT
public:
    TBoxBorder(int side, QWidget* parent);
    int Side() const { return m_side; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_side;
};

class TDragBorderGroup {
public:
    // Handle mode: 2 all eight handles, 1 the four corners only, 0 none (side lines only).
    explicit TDragBorderGroup(TDragCustomControl& owner, int handleMode = 2);
    ~TDragBorderGroup();
    TDragBorderGroup(const TDragBorderGroup&) = delete;
    TDragBorderGroup& operator=(const TDragBorderGroup&) = delete;

    TDragCustomControl& Owner() const { return m_owner; }
    int HandleMode() const { return m_handleMode; }

    TBorderState State() const { return m_state; }
    void SetState(TBorderState state);

    // Puts handles and side lines around the owner's current bounds (and into its parent),
    // shown or hidden by the state and the owner's visibility.
    void Reposition();
    // Hides every piece without forgetting the state (the owner was hidden).
    void HidePieces();

    // The handle or side line, or null before first use / for a handle the mode leaves out.
    TDragBorder* Handle(int position) const;
    TBoxBorder* Side(int side) const;

    // Outline drag: a dotted rectangle, starting at the owner's bounds, that follows the
    // drag; at the end the owner may take its bounds. Handle drags and the moving of
    // floating objects both go through it.
    bool Dragging() const { return m_dragging; }
    void BeginOutline();
    void MoveOutline(const QRect& bounds); // in the owner's parent's coordinates
    QRect OutlineBounds() const { return m_outlineBounds; }
    QRect DragStartBounds() const { return m_dragStart; }
    // Ends the outline drag; with apply the owner takes the outline's bounds, between the
    // owner's border group drag started and drag ended operations.
    void EndOutline(bool apply);

    // Handle drags, driven by the handles.
    void BeginHandleDrag(int position, const QPoint& globalPos);
    void HandleDragTo(const QPoint& globalPos, bool keepSquare);
    void EndHandleDrag();

    // New bounds of a control whose handle `position` moved by `delta` from `start`; with
    // keepSquare a corner handle keeps the box square (the larger side wins).
    static QRect BoundsForHandle(const QRect& start, int position, const QPoint& delta, bool keepSquare);
    // Where handle `position` sits around `bounds`.
    static QRect HandleRect(const QRect& bounds, int position);
    // Where side line `side` sits around `bounds`.
    static QRect SideRect(const QRect& bounds, int side);

private:
    void CreatePieces();
    bool HandleUsed(int position) const;

    TDragCustomControl& m_owner;
    int m_handleMode;
    TBorderState m_state = TBorderState::Hidden;
    std::array<QPointer<TDragBorder>, 8> m_handles{};
    std::array<QPointer<TBoxBorder>, 4> m_sides{};
    bool m_created = false;

    bool m_dragging = false;
    int m_dragHandle = 0;
    QPoint m_pressGlobal;
    QRect m_dragStart;
    QRect m_outlineBounds;
    QPointer<TXorOutline> m_outline;
};

} // namespace morvell
