#pragma once
// The controls a page view makes for its page: the text box of the display copy and the
// controls of the embedded objects. Until the object controls proper exist, the markers the
// view keeps lists of (anchors and automatic links) get a small marker control that enters
// itself in those lists, tables a placeholder that keeps their cell texts with them, and
// every other kind no control: its tag then names no control and it shows nothing.

#include "objects/Visual.h"

#include <QPointer>
#include <QWidget>

namespace morvell {

class TOVKoggetto;
class TOVKpage;

// Installs the page view's factories where none is installed yet.
void InstallPageControls();

// Base of the stand-in controls: numbered in the page view's control index list, a child of
// the page's text box, forgotten by its object and the view when destroyed.
class TPageControl : public QWidget, public Visual {
    Q_OBJECT
public:
    TPageControl(TOVKoggetto& object, TOVKpage* page);
    ~TPageControl() override;

    TOVKoggetto& Object() const { return m_object; }
    TOVKpage* PageView() const;

    VisualSize SetAvailableWidth(int width) override;
    bool HiddenInMode(bool readOnly) const override;
    void Place(int x, int y) override { move(x, y); }
    void Show() override;
    void Hide() override { hide(); }
    int Number() const override { return m_number; }
    void SetHighlighted(bool highlighted) override { m_highlighted = highlighted; }
    bool Highlighted() const { return m_highlighted; }

protected:
    TOVKoggetto& m_object;
    QPointer<TOVKpage> m_page;
    int m_number = -1;
    bool m_highlighted = false;
};

// An anchor (shortObj 14) or automatic link (13): an 18 x 18 marker in an editable page,
// hidden in a read-only one (1 x 12, taking no room in the text), never painted.
class TPageMarker : public TPageControl {
    Q_OBJECT
public:
    TPageMarker(TOVKoggetto& object, TOVKpage* page);
    ~TPageMarker() override;
};

// A table until tables have their control: takes no room and shows nothing, but it is the
// table's control, so the table keeps its place in the text and its cell texts stay with it.
class TTablePlaceholder : public TPageControl {
    Q_OBJECT
public:
    TTablePlaceholder(TOVKoggetto& object, TOVKpage* page);
    VisualSize SetAvailableWidth(int width) override;
    bool HiddenInMode(bool) const override { return false; }
    void Show() override {}
};

} // namespace morvell
