#include "text/qt/TDragCustomControl.h"

#include <QFocusEvent>

namespace morvell {

TDragCustomControl::TDragCustomControl(QWidget* parent)
    : TQzTransCustomControl(parent), m_borderGroup(std::make_unique<TDragBorderGroup>(*this, kHandleMode)) {}

// The frame set is not told about the end of editing here: during teardown it may already be
// gone, and a control that disappears stops being edited anyway.
TDragCustomControl::~TDragCustomControl() = default;

TDragFrameSet* TDragCustomControl::FrameSet() {
    if (m_frameSet != nullptr) {
        if (!m_frameSetLife.expired()) return m_frameSet;
        m_frameSet = nullptr;
    }
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* frameSet = dynamic_cast<TDragFrameSet*>(w)) {
            if (frameSet->LifeToken().expired()) return nullptr;
            m_frameSet = frameSet;
            m_frameSetLife = frameSet->LifeToken();
            return m_frameSet;
        }
    }
    return nullptr;
}

void TDragCustomControl::ApplyBorder() {
    const bool editable = !m_readOnly && !m_locked;
    TBorderState state = TBorderState::Hidden;
    if (m_borderWanted) state = editable ? TBorderState::Selected : TBorderState::BorderOnly;
    m_borderGroup->SetState(state);
    m_selected = state != TBorderState::Hidden;

    const bool editing = state == TBorderState::Selected;
    if (editing == m_editing) return;
    m_editing = editing;
    if (TDragFrameSet* frameSet = FrameSet()) {
        if (editing) {
            frameSet->EditStart(this);
        } else {
            frameSet->EditStop(this);
        }
    }
}

void TDragCustomControl::UpdateBorder() {
    // A read-only or locked control shows no border of its own.
    if (m_readOnly || m_locked) m_borderWanted = false;
    ApplyBorder();
    if (hasFocus()) {
        if (m_readOnly || m_locked) {
            LostFocus();
        } else {
            GotFocus();
        }
    }
}

void TDragCustomControl::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    UpdateBorder();
}

void TDragCustomControl::SetAnimated(bool animated) { m_animated = animated; }

void TDragCustomControl::SetLocked(bool locked) {
    m_locked = locked;
    UpdateBorder();
}

void TDragCustomControl::ShowSelectionBorder(bool show) {
    m_borderWanted = show;
    ApplyBorder();
}

void TDragCustomControl::GotFocus() {
    if (!m_readOnly && !m_locked) ShowSelectionBorder(true);
}

void TDragCustomControl::LostFocus() {
    // Hiding alone: showing first would tell the frame set that editing starts for a control
    // that is just being left.
    ShowSelectionBorder(false);
}

void TDragCustomControl::SetBounds(int left, int top, int width, int height) {
    TQzTransCustomControl::SetBounds(left, top, width, height);
    FollowBounds();
}

void TDragCustomControl::FollowBounds() {
    if (m_borderGroup->Dragging() || m_borderGroup->State() == TBorderState::Hidden) return;
    m_borderGroup->Reposition();
}

void TDragCustomControl::Click() {
    if (!IsTextBox() && !m_readOnly && !m_locked && !hasFocus()) setFocus(Qt::MouseFocusReason);
    TQzTransCustomControl::Click();
}

void TDragCustomControl::focusInEvent(QFocusEvent* event) {
    TQzTransCustomControl::focusInEvent(event);
    GotFocus();
}

void TDragCustomControl::focusOutEvent(QFocusEvent* event) {
    TQzTransCustomControl::focusOutEvent(event);
    LostFocus();
}

// Bounds changed through plain setGeometry/move/resize reach the border group here too.
void TDragCustomControl::moveEvent(QMoveEvent* event) {
    TQzTransCustomControl::moveEvent(event);
    FollowBounds();
}

void TDragCustomControl::resizeEvent(QResizeEvent* event) {
    TQzTransCustomControl::resizeEvent(event);
    FollowBounds();
}

void TDragCustomControl::showEvent(QShowEvent* event) {
    TQzTransCustomControl::showEvent(event);
    FollowBounds();
}

void TDragCustomControl::hideEvent(QHideEvent* event) {
    TQzTransCustomControl::hideEvent(event);
    // Only an explicit hide of the control takes the frame along; a hidden window hides the
    // siblings by itself.
    if (parentWidget() == nullptr || !isVisibleTo(parentWidget())) m_borderGroup->HidePieces();
}

} // namespace morvell
