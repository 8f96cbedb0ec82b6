#pragma once
// Base of the text box and of the controls of page objects: a transparent control that knows
// whether it is read-only, locked or animated, and shows a selection border with grab handles.
// In the reader every control is read-only, so the handles never show; the side lines of the
// border still mark an object that lies inside selected text.

#include "text/qt/TDragBorderGroup.h"
#include "text/qt/TQzTransCustomControl.h"

#include <memory>

namespace morvell {

class TDragCustomControl;

// What a draggable control needs of the frame set that shows it. The frame set widget derives
// from this beside QWidget (QWidget first); controls find it among their ancestors.
class TDragFrameSet {
public:
    TDragFrameSet() = default;
    virtual ~TDragFrameSet() { m_life.reset(); }
    TDragFrameSet(const TDragFrameSet&) = delete;
    TDragFrameSet& operator=(const TDragFrameSet&) = delete;

    // A control starts or stops being edited (its grab handles are shown or hidden).
    virtual void EditStart(TDragCustomControl* control) = 0;
    virtual void EditStop(TDragCustomControl* control) = 0;

    // Expires as soon as the frame set's own destructor has run, before its QWidget part
    // deletes the child controls, so a control never calls into a half-destroyed frame set.
    std::weak_ptr<void> LifeToken() const { return m_life; }

private:
    std::shared_ptr<int> m_life = std::make_shared<int>(0);
};

class TDragCustomControl : public TQzTransCustomControl {
    Q_OBJECT
public:
    // The border group is created with all eight handles.
    static constexpr int kHandleMode = 2;

    explicit TDragCustomControl(QWidget* parent = nullptr);
    ~TDragCustomControl() override;

    TDragBorderGroup& BorderGroup() { return *m_borderGroup; }
    const TDragBorderGroup& BorderGroup() const { return *m_borderGroup; }

    bool Selected() const { return m_selected; }
    bool BorderWanted() const { return m_borderWanted; }
    bool Locked() const { return m_locked; }
    bool Animated() const { return m_animated; }
    bool ReadOnly() const { return m_readOnly; }
    bool FocusByMessage() const { return m_focusByMessage; }
    // Qt reports every focus change through focusIn/focusOut, so both ways end up there; the
    // flag is kept for the controls that ask for it.
    void SetFocusByMessage(bool byMessage) { m_focusByMessage = byMessage; }

    // The frame set among the ancestors, found on first use and remembered; null when there
    // is none (yet) or it is being destroyed.
    virtual TDragFrameSet* FrameSet();
    // Read-only and locked controls never show grab handles; changing either while focused
    // runs lost focus or got focus again so the border follows.
    virtual void SetReadOnly(bool readOnly);
    virtual void SetAnimated(bool animated);
    virtual void SetLocked(bool locked);
    // Shows the selection border: in an editable control the grab handles (and the frame set
    // hears that editing starts), otherwise the side lines only. Hiding tells the frame set
    // that editing stops.
    virtual void ShowSelectionBorder(bool show);
    // Around a handle drag, before and after the control takes its new bounds.
    virtual void BorderGroupDragStarted() {}
    virtual void BorderGroupDragEnded() {}
    virtual void GotFocus();
    virtual void LostFocus();

    // Text boxes take the focus their own way; every other control is focused by a click.
    virtual bool IsTextBox() const { return false; }

    // The border group follows the bounds, except while one of its handles is being dragged.
    void SetBounds(int left, int top, int width, int height) override;
    using TQzTransCustomControl::SetBounds;

protected:
    void Click() override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    // Re-applies the border after a change of read-only, locked or focus.
    void UpdateBorder();

private:
    void ApplyBorder();
    void FollowBounds();

    std::unique_ptr<TDragBorderGroup> m_borderGroup;
    TDragFrameSet* m_frameSet = nullptr;
    std::weak_ptr<void> m_frameSetLife;
    bool m_selected = false;
    bool m_borderWanted = false;
    bool m_locked = false;
    bool m_animated = false;
    bool m_readOnly = false;
    bool m_focusByMessage = false;
    // The frame set has been told that editing of this control started.
    bool m_editing = false;
};

} // namespace morvell
