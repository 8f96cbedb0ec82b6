#pragma once
// What every splitter bar does, whatever panel it is drawn as: it follows one target control
// aligned to an edge of their common parent and, when dragged, resizes that target within
// limits. TOVKSplit (a plain panel) and TWQzSplit (a flat dialog panel) both mix it in.

#include "text/qt/TAlign.h"
#include "text/qt/TXorOutline.h"

#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <functional>

namespace morvell {

template <class Base> class TSplitterBehaviour : public Base {
public:
    using SplitEvent = std::function<void(QWidget& sender)>;

    static constexpr int kNewSize = 3;

    explicit TSplitterBehaviour(QWidget* parent = nullptr) : Base(parent) {
        this->resize(kNewSize, kNewSize);
        this->setFocusPolicy(Qt::NoFocus);
        UpdateCursor();
    }

    ~TSplitterBehaviour() override { delete m_line.data(); }

    QWidget* TargetControl() const { return m_target.data(); }
    // Attaches to a target aligned to the left, right, top or bottom: the bar takes the
    // target's alignment and sits right after it. Any other target detaches the bar.
    void SetTargetControl(QWidget* target) {
        if (m_splitting) CancelSplit();
        QObject::disconnect(m_targetGone);
        m_target = nullptr;
        m_align = TAlign::alNone;
        if (target != nullptr && target != this && IsEdgeAlign(AlignOf(target))) {
            m_target = target;
            m_align = AlignOf(target);
            SetAlign(this, m_align);
            // Losing the target during a drag ends the drag.
            m_targetGone = QObject::connect(target, &QObject::destroyed, this, [this] {
                if (m_splitting) CancelSplit();
                m_align = TAlign::alNone;
                UpdateCursor();
            });
            PlaceAfterTarget();
        }
        UpdateCursor();
    }

    // The alignment taken from the target (alNone while detached).
    TAlign Align() const { return m_align; }

    int Mintargetlimit() const { return m_minTargetLimit; }
    void SetMintargetlimit(int limit) { m_minTargetLimit = limit; }
    int MaxTargetLimit() const { return m_maxTargetLimit; }
    void SetMaxTargetLimit(int limit) { m_maxTargetLimit = limit; }
    bool Locked() const { return m_locked; }
    void SetLocked(bool locked) { m_locked = locked; }
    bool Sizeable() const { return m_sizeable; }
    void SetSizeable(bool sizeable) {
        m_sizeable = sizeable;
        UpdateCursor();
    }

    bool Splitting() const { return m_splitting; }
    // During a drag: the target size the bar would give now.
    int NewTargetSize() const { return m_newSize; }
    // The rectangle of the drag line, in the parent's coordinates (empty when not dragging).
    QRect SplitLineRect() const { return m_splitting ? LineRect() : QRect(); }

    // Puts the bar against the target's inner edge, as thick as it is now.
    void PlaceAfterTarget() {
        QWidget* target = m_target.data();
        QWidget* parent = this->parentWidget();
        if (target == nullptr || parent == nullptr) return;
        QRect t = target->geometry();
        if (target->parentWidget() != parent) {
            t = QRect(parent->mapFromGlobal(target->mapToGlobal(QPoint(0, 0))), target->size());
        }
        const int thick = IsHorizontalAlign(m_align) ? this->width() : this->height();
        QRect bar;
        switch (m_align) {
        case TAlign::alLeft:
            bar = QRect(t.right() + 1, t.y(), thick, t.height());
            break;
        case TAlign::alRight:
            bar = QRect(t.x() - thick, t.y(), thick, t.height());
            break;
        case TAlign::alTop:
            bar = QRect(t.x(), t.bottom() + 1, t.width(), thick);
            break;
        case TAlign::alBottom:
            bar = QRect(t.x(), t.y() - thick, t.width(), thick);
            break;
        default:
            return;
        }
        this->setGeometry(bar);
    }

    SplitEvent OnBeginSplit;
    SplitEvent OnMoveSplit;
    SplitEvent OnEndingSplit;
    SplitEvent OnEndSplit;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        if (event->button() != Qt::LeftButton || event->buttons() != Qt::LeftButton ||
            event->modifiers() != Qt::NoModifier || !m_sizeable || m_locked || m_splitting) {
            return;
        }
        QWidget* target = m_target.data();
        if (target == nullptr || !IsEdgeAlign(AlignOf(target))) return;
        m_splitting = true;
        m_downGlobal = event->globalPosition().toPoint();
        m_oldSize = IsHorizontalAlign(m_align) ? target->width() : target->height();
        m_newSize = m_oldSize;
        Fire(OnBeginSplit);
        if (!m_splitting) return; // the handler took the target away
        // The press already grabs the mouse for this bar until release.
        DrawLine();
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        event->accept();
        if (!m_splitting) return;
        Fire(OnMoveSplit);
        if (!m_splitting) return;
        if (m_target.isNull()) {
            CancelSplit();
            return;
        }
        const int limited = LimitedSize(event->globalPosition().toPoint());
        // At a limit the size (and so the line) stays where it was.
        if (limited == m_newSize) return;
        m_newSize = limited;
        DrawLine();
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        if (!m_splitting || event->button() != Qt::LeftButton) return;
        Fire(OnEndingSplit);
        if (!m_splitting) return;
        m_splitting = false;
        if (m_line) m_line->hide();
        QWidget* target = m_target.data();
        if (target == nullptr) return;
        const int size = LimitedSize(event->globalPosition().toPoint());
        QRect g = target->geometry();
        switch (m_align) {
        case TAlign::alLeft:
            g.setWidth(size);
            break;
        case TAlign::alTop:
            g.setHeight(size);
            break;
        case TAlign::alRight:
            g.setLeft(g.right() + 1 - size);
            break; // the outer edge stays
        case TAlign::alBottom:
            g.setTop(g.bottom() + 1 - size);
            break;
        default:
            break;
        }
        target->setGeometry(g);
        PlaceAfterTarget();
        Fire(OnEndSplit);
    }

private:
    void Fire(const SplitEvent& handler) {
        if (handler) handler(*this);
    }

    int LimitedSize(const QPoint& global) const {
        const QPoint delta = global - m_downGlobal;
        const int offset = IsHorizontalAlign(m_align) ? delta.x() : delta.y();
        const bool nearEdgeGrows = m_align == TAlign::alLeft || m_align == TAlign::alTop;
        int size = nearEdgeGrows ? m_oldSize + offset : m_oldSize - offset;
        QWidget* parent = this->parentWidget();
        if (parent != nullptr) {
            const int extent = IsHorizontalAlign(m_align) ? parent->width() : parent->height();
            size = std::min(size, extent - m_maxTargetLimit);
        }
        return std::max(size, m_minTargetLimit);
    }

    QRect LineRect() const {
        const int shift = m_newSize - m_oldSize;
        const QRect bar = this->geometry();
        switch (m_align) {
        case TAlign::alLeft:
            return bar.translated(shift, 0);
        case TAlign::alRight:
            return bar.translated(-shift, 0);
        case TAlign::alTop:
            return bar.translated(0, shift);
        case TAlign::alBottom:
            return bar.translated(0, -shift);
        default:
            return bar;
        }
    }

    void DrawLine() {
        QWidget* parent = this->parentWidget();
        if (parent == nullptr) return;
        if (m_line.isNull()) m_line = new TXorOutline(TXorOutline::Style::Filled);
        m_line->ShowAt(parent, LineRect());
    }

    void CancelSplit() {
        m_splitting = false;
        if (m_line) m_line->hide();
    }

    void UpdateCursor() {
        if (!m_sizeable || m_align == TAlign::alNone) {
            this->setCursor(Qt::ArrowCursor);
        } else {
            this->setCursor(IsHorizontalAlign(m_align) ? Qt::SplitHCursor : Qt::SplitVCursor);
        }
    }

    QPointer<QWidget> m_target;
    QMetaObject::Connection m_targetGone;
    TAlign m_align = TAlign::alNone;
    int m_minTargetLimit = 0;
    int m_maxTargetLimit = 0;
    bool m_locked = false;
    bool m_sizeable = true;

    bool m_splitting = false;
    QPoint m_downGlobal;
    int m_oldSize = 0;
    int m_newSize = 0;
    QPointer<TXorOutline> m_line;
};

} // namespace morvell
