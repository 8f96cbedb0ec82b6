#include "text/qt/TDragBorderGroup.h"

#include "text/qt/TDragCustomControl.h"
#include "text/qt/TXorOutline.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace morvell {

// ---- TDragBorder ------------------------------------------------------------------------------

TDragBorder::TDragBorder(TDragBorderGroup& group, int position, QWidget* parent)
    : TTransMouseControl(parent), m_group(group), m_position(position) {
    // The handle covers its square completely.
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    SetMoveQuietly(true);
    resize(kSize, kSize);
    setCursor(CursorFor(position));
}

Qt::CursorShape TDragBorder::CursorFor(int position) {
    switch (position) {
    case 1:
    case 5:
        return Qt::SizeFDiagCursor;
    case 3:
    case 7:
        return Qt::SizeBDiagCursor;
    case 2:
    case 6:
        return Qt::SizeVerCursor;
    case 4:
    case 8:
        return Qt::SizeHorCursor;
    default:
        return Qt::ArrowCursor;
    }
}

void TDragBorder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), isEnabled() ? QColor(Qt::white) : QColor(Qt::lightGray));
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TDragBorder::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) update();
    TTransMouseControl::changeEvent(event);
}

void TDragBorder::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    m_pressed = true;
    m_group.BeginHandleDrag(m_position, event->globalPosition().toPoint());
}

void TDragBorder::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (m_pressed) {
        m_group.HandleDragTo(event->globalPosition().toPoint(), event->modifiers() & Qt::ShiftModifier);
    }
}

void TDragBorder::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || !m_pressed) return;
    m_pressed = false;
    m_group.HandleDragTo(event->globalPosition().toPoint(), event->modifiers() & Qt::ShiftModifier);
    // May reposition (and so move) this handle: nothing of it is touched afterwards.
    m_group.EndHandleDrag();
}

// ---- TBoxBorder -------------------------------------------------------------------------------

TBoxBorder::TBoxBorder(int side, QWidget* parent) : TTransNoEventsControl(parent), m_side(side) {
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    SetMoveQuietly(true);
}

void TBoxBorder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    const bool horizontal = width() >= height();
    const int length = horizontal ? width() : height();
    for (int i = 0; i < length; i += 2) {
        if (horizontal) {
            painter.drawPoint(i, 0);
        } else {
            painter.drawPoint(0, i);
        }
    }
}

// ---- TDragBorderGroup -------------------------------------------------------------------------

TDragBorderGroup::TDragBorderGroup(TDragCustomControl& owner, int handleMode)
    : m_owner(owner), m_handleMode(std::clamp(handleMode, 0, 2)) {}

TDragBorderGroup::~TDragBorderGroup() {
    // The pieces live in the owner's parent; a parent that went first took them along.
    for (auto& handle : m_handles) delete handle.data();
    for (auto& side : m_sides) delete side.data();
    delete m_outline.data();
}

bool TDragBorderGroup::HandleUsed(int position) const {
    if (m_handleMode >= 2) return true;
    if (m_handleMode == 1) return position % 2 == 1;
    return false;
}

TDragBorder* TDragBorderGroup::Handle(int position) const {
    if (position < 1 || position > 8) return nullptr;
    return m_handles[static_cast<std::size_t>(position - 1)].data();
}

TBoxBorder* TDragBorderGroup::Side(int side) const {
    if (side < 1 || side > 4) return nullptr;
    return m_sides[static_cast<std::size_t>(side - 1)].data();
}

void TDragBorderGroup::CreatePieces() {
    QWidget* parent = m_owner.parentWidget();
    if (parent == nullptr) return;
    for (int p = 1; p <= 8; ++p) {
        auto& slot = m_handles[static_cast<std::size_t>(p - 1)];
        if (slot.isNull() && HandleUsed(p)) {
            slot = new TDragBorder(*this, p, parent);
            slot->hide();
        }
    }
    for (int s = 1; s <= 4; ++s) {
        auto& slot = m_sides[static_cast<std::size_t>(s - 1)];
        if (slot.isNull()) {
            slot = new TBoxBorder(s, parent);
            slot->hide();
        }
    }
    m_created = true;
}

void TDragBorderGroup::SetState(TBorderState state) {
    if (state == m_state && (m_created || state == TBorderState::Hidden)) return;
    m_state = state;
    Reposition();
}

void TDragBorderGroup::HidePieces() {
    for (auto& handle : m_handles) {
        if (handle) handle->hide();
    }
    for (auto& side : m_sides) {
        if (side) side->hide();
    }
}

QRect TDragBorderGroup::HandleRect(const QRect& bounds, int position) {
    const int left = bounds.x(), top = bounds.y();
    const int right = left + bounds.width(), bottom = top + bounds.height();
    const int midX = left + bounds.width() / 2, midY = top + bounds.height() / 2;
    int x = left, y = top;
    switch (position) {
    case 1:
        x = left, y = top;
        break;
    case 2:
        x = midX, y = top;
        break;
    case 3:
        x = right, y = top;
        break;
    case 4:
        x = right, y = midY;
        break;
    case 5:
        x = right, y = bottom;
        break;
    case 6:
        x = midX, y = bottom;
        break;
    case 7:
        x = left, y = bottom;
        break;
    case 8:
        x = left, y = midY;
        break;
    default:
        break;
    }
    const int half = TDragBorder::kSize / 2;
    return {x - half, y - half, TDragBorder::kSize, TDragBorder::kSize};
}

QRect TDragBorderGroup::SideRect(const QRect& bounds, int side) {
    const int left = bounds.x() - 1, top = bounds.y() - 1;
    const int outerW = bounds.width() + 2, outerH = bounds.height() + 2;
    switch (side) {
    case 1:
        return {left, top, outerW, 1};
    case 2:
        return {left + outerW - 1, top, 1, outerH};
    case 3:
        return {left, top + outerH - 1, outerW, 1};
    case 4:
        return {left, top, 1, outerH};
    default:
        return {};
    }
}

void TDragBorderGroup::Reposition() {
    if (m_state == TBorderState::Hidden) {
        HidePieces();
        return;
    }
    QWidget* parent = m_owner.parentWidget();
    if (parent == nullptr) {
        HidePieces();
        return;
    }
    // The owner may have moved to another parent since the pieces were made.
    for (auto& handle : m_handles) {
        if (handle && handle->parentWidget() != parent) handle->setParent(parent);
    }
    for (auto& side : m_sides) {
        if (side && side->parentWidget() != parent) side->setParent(parent);
    }
    CreatePieces();
    const bool visible = m_owner.isVisibleTo(parent);
    const QRect bounds = m_owner.geometry();
    const bool showHandles =
        visible && (m_state == TBorderState::Selected || m_state == TBorderState::Highlighted);
    for (int p = 1; p <= 8; ++p) {
        TDragBorder* handle = Handle(p);
        if (handle == nullptr) continue;
        if (!showHandles) {
            handle->hide();
            continue;
        }
        handle->SetBounds(HandleRect(bounds, p));
        handle->setEnabled(m_state == TBorderState::Selected);
        handle->show();
        handle->raise();
    }
    for (int s = 1; s <= 4; ++s) {
        TBoxBorder* side = Side(s);
        if (side == nullptr) continue;
        if (!visible) {
            side->hide();
            continue;
        }
        side->SetBounds(SideRect(bounds, s));
        side->show();
        side->raise();
    }
}

void TDragBorderGroup::BeginOutline() {
    m_dragging = true;
    m_dragStart = m_owner.geometry();
    if (m_outline.isNull()) m_outline = new TXorOutline(TXorOutline::Style::Dotted);
    MoveOutline(m_dragStart);
}

void TDragBorderGroup::MoveOutline(const QRect& bounds) {
    if (!m_dragging) return;
    m_outlineBounds = bounds;
    QWidget* parent = m_owner.parentWidget();
    if (m_outline && parent != nullptr) m_outline->ShowAt(parent, bounds);
}

void TDragBorderGroup::EndOutline(bool apply) {
    if (!m_dragging) return;
    if (m_outline) m_outline->hide();
    if (!apply) {
        m_dragging = false;
        return;
    }
    m_owner.BorderGroupDragStarted();
    m_owner.SetBounds(m_outlineBounds);
    m_dragging = false;
    Reposition();
    m_owner.BorderGroupDragEnded();
}

void TDragBorderGroup::BeginHandleDrag(int position, const QPoint& globalPos) {
    if (m_state != TBorderState::Selected || m_dragging) return;
    m_dragHandle = position;
    m_pressGlobal = globalPos;
    BeginOutline();
}

void TDragBorderGroup::HandleDragTo(const QPoint& globalPos, bool keepSquare) {
    if (!m_dragging || m_dragHandle == 0) return;
    MoveOutline(BoundsForHandle(m_dragStart, m_dragHandle, globalPos - m_pressGlobal, keepSquare));
}

void TDragBorderGroup::EndHandleDrag() {
    if (m_dragHandle == 0) return;
    m_dragHandle = 0;
    EndOutline(true);
}

QRect TDragBorderGroup::BoundsForHandle(const QRect& start, int position, const QPoint& delta,
                                        bool keepSquare) {
    int left = start.x(), top = start.y();
    int right = left + start.width(), bottom = top + start.height();
    const int dx = delta.x(), dy = delta.y();
    switch (position) {
    case 1:
        left += dx, top += dy;
        break;
    case 2:
        top += dy;
        break;
    case 3:
        right += dx, top += dy;
        break;
    case 4:
        right += dx;
        break;
    case 5:
        right += dx, bottom += dy;
        break;
    case 6:
        bottom += dy;
        break;
    case 7:
        left += dx, bottom += dy;
        break;
    case 8:
        left += dx;
        break;
    default:
        break;
    }
    const bool corner = position == 1 || position == 3 || position == 5 || position == 7;
    if (keepSquare && corner) {
        int w = right - left, h = bottom - top;
        const int size = std::max(std::abs(w), std::abs(h));
        w = w < 0 ? -size : size;
        h = h < 0 ? -size : size;
        // The corner opposite the dragged handle stays put.
        if (position == 1 || position == 7)
            left = right - w;
        else
            right = left + w;
        if (position == 1 || position == 3)
            top = bottom - h;
        else
            bottom = top + h;
    }
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    return {left, top, std::max(right - left, 1), std::max(bottom - top, 1)};
}

} // namespace morvell
