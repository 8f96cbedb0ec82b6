#pragma once
// The page view: a scroll area showing one page of the ebook. Setting a page makes the
// page's display copy and the text that fills the view; the view keeps the numbered list
// of its controls, the markers other parts look up (anchors, automatic links), the page's
// free objects, scrolls 100 pixels per wheel notch, jumps to anchors and tears everything
// down when the page is left. Between the two phases of a page change it shows the page's
// background alone (TOVKsfondo).

#include "objects/PageViewModel.h"
#include "objects/TOVKUndoIndiciList.h"
#include "text/qt/TOVKbox.h"

#include <QPointer>
#include <QScrollArea>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace morvell {

class TOVKset;
class TOVKoggetto;
struct TextBoxBackground;
class TOVKtesto;
class TOVKsfondo;
class TOVKundoList;

class TOVKpage : public QScrollArea, public TBoxPage {
    Q_OBJECT
public:
    explicit TOVKpage(QWidget* parent = nullptr);
    ~TOVKpage() override;

    // --- context: what the frame set gives the view ----------------------------------------
    // The document of the pages shown (needed to make the empty page and the header and
    // footer copies); its undo list is emptied at every Clear.
    void SetDocument(TOVKset* document) { m_document = document; }
    TOVKset* Document() const { return m_document; }
    void SetUndoList(TOVKundoList* undo) { m_undo = undo; }
    // The frame set's numbered list of page views; SetPage enters the view in it.
    void SetViewIndexList(TOVKundoIndiciList<TOVKpage>* list) { m_viewList = list; }
    int ViewNumber() const { return m_viewNumber; }
    // Reader zoom in tenths (5 to 20).
    void SetZoom(int zoom);
    int Zoom() const { return m_zoom; }

    // --- properties ------------------------------------------------------------------------
    virtual void SetReadOnly(bool readOnly);
    virtual void SetAnimated(bool animated);
    bool ReadOnly() const { return m_readOnly; }
    bool Animated() const { return m_animated; }
    void SetShowFramesOnly(bool on);
    bool ShowFramesOnly() const { return m_showFramesOnly; }
    void SetScrollBarMode(std::uint8_t mode);
    std::uint8_t ScrollBarMode() const { return m_scrollBarMode; }
    // Whether automatic links run when a page is set (the frame set's preview switch).
    void SetActivePreview(bool on) { m_activePreview = on; }
    // The menu the text box opens on a right click; the view switches its automatic popup
    // off when it hands it to a box.
    void SetPopupMenu(QMenu* menu);
    QMenu* PopupMenu() const;

    // --- the two phases of a page change ------------------------------------------------------
    void ShowBackground(TOVKtesto* page);
    // Shows `page` (a registered page through a display copy, any other page as it is, none as
    // a new empty page) and answers the page shown.
    TOVKtesto* SetPage(TOVKtesto* page);
    void Clear();
    void ForgetPage() { m_registeredPage = nullptr; }

    TOVKtesto* RegisteredPage() const { return m_registeredPage; }
    TOVKtesto* DisplayCopy() const { return m_shown; }
    std::int32_t PageIndex() const { return m_pageIndex; }
    bool Generated() const { return m_generated; }
    TOVKsfondo* BackgroundPlaceholder() const { return m_placeholder; }
    // The background picture of the page shown (an `immagine`), or none.
    TOVKoggetto* BackgroundPicture() const;

    // The box that shows the text, sized to the layout; nullptr before a page is set.
    TOVKbox* TextBox() const { return m_box; }
    // Height of the laid-out text (header, body and footer); 0 without a text box.
    int ContentHeight() const;
    // Lays the text out again for the current viewport width.
    void Relayout();
    const TOVKundoIndiciList<QWidget>& Controls() const { return m_controls; }
    // Gives a control made for this page its number; a control that goes away is forgotten,
    // its number staying used.
    int AddControl(QWidget* control) { return m_controls.Add(control); }
    void ForgetControl(const QWidget* control) { m_controls.Forget(control); }

    // --- the display copy's text box, made through the copy (see TOVKtesto::CreateVisual) --
    // Creates the box for `text` on this view: numbered, filling the view, read-only as the
    // view, with the copy's background. The box then reads the copy's texts.
    TOVKbox* MakeTextBox(TOVKtesto& text, const TextBoxBackground& background);
    void DestroyTextBox();

    // --- anchors and markers ---------------------------------------------------------------
    bool ScrollToAnchor(std::int32_t n);
    void RunAutomaticLinks();
    void AddAnchor(TOVKoggetto* marker) { m_anchors.Add(marker); }
    void RemoveAnchor(TOVKoggetto* marker) { m_anchors.Remove(marker); }
    void AddAutomaticLink(TOVKoggetto* marker) { m_automaticLinks.Add(marker); }
    void RemoveAutomaticLink(TOVKoggetto* marker) { m_automaticLinks.Remove(marker); }
    const pageview::MarkerList<TOVKoggetto>& Anchors() const { return m_anchors; }
    const pageview::MarkerList<TOVKoggetto>& AutomaticLinks() const { return m_automaticLinks; }

    // --- free objects ----------------------------------------------------------------------
    void AddFreeObject(TOVKoggetto* object) { m_freeObjects.Add(object); }
    void AddHeaderFooterFloatingObject(TOVKoggetto* object) { m_headerFooterFloating.Add(object); }
    const pageview::MarkerList<TOVKoggetto>& FreeObjects() const { return m_freeObjects; }
    void AttachFreeObjects();
    void ReleaseFreeObjects();
    // The free objects, the marker lists and the text box with the objects it owns.
    void ReleaseShownObjects();
    // Appends the holder paragraph of every free object.
    void WriteFreeObjects(std::string& out) const;

    // Every embedded object of `kind` in the text, in text order, named by element name
    // (prefixed by `framePrefix`, empty for a view directly in its frame set).
    void CollectObjects(TOggettiHel kind, std::vector<pageview::NamedObject>* list,
                        const std::string& framePrefix = {}) const;

    // --- TBoxPage ----------------------------------------------------------------------------
    int ClientWidth() const override;
    int ClientHeight() const override;
    QPoint ScrollPosition() const override;
    void SetScrollPosition(const QPoint& position) override;
    void SetScrollRanges(int horizontal, int vertical) override;
    QWidget* ContentWidget() const override;
    TOVKoggetto* FindPageObject(std::int32_t identifier) override;
    void AddFreeObject(TOVKoggetto& object, std::int32_t identifier) override;
    void ShowFreeObjects() override { AttachFreeObjects(); }

signals:
    // A link of the text was clicked: the link object (the page copy's or the document's)
    // and its reference. Connect queued: following a link rebuilds this view.
    void linkClicked(morvell::TOVKoggetto* link, quint32 reference);
    // A link to a page of the same ebook was clicked.
    void pageLinkClicked(int pageIndex);
    // An automatic link of the page asks to be followed.
    void automaticLink(morvell::TOVKoggetto* marker);
    void clicked();

protected:
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void ApplyScrollBarMode();
    void ApplyScrollRanges();
    void DeliverLink(const TBoxLink& link);

    TOVKundoIndiciList<QWidget> m_controls;
    bool m_saved = false;
    pageview::MarkerList<TOVKoggetto> m_freeObjects;
    pageview::MarkerList<TOVKoggetto> m_headerFooterFloating;
    pageview::MarkerList<TOVKoggetto> m_anchors;
    pageview::MarkerList<TOVKoggetto> m_automaticLinks;
    TOVKtesto* m_pageBeingBuilt = nullptr;
    TOVKsfondo* m_placeholder = nullptr;
    std::int32_t m_pageIndex = -1;
    TOVKtesto* m_registeredPage = nullptr;
    TOVKtesto* m_shown = nullptr;             // the display copy, or a page shown as it is
    std::unique_ptr<TOVKtesto> m_displayCopy; // owned copy or generated empty page
    TOVKbox* m_box = nullptr;
    std::uint8_t m_scrollBarMode = pageview::kDefaultScrollBarMode;
    bool m_generated = false;
    bool m_backupMark = false;
    bool m_animated = true;
    bool m_readOnly = false;
    bool m_showFramesOnly = false;
    bool m_activePreview = true;
    int m_viewNumber = -1;
    // Scroll ranges the box gave (the whole extent, as the box measures it); -1 until given.
    int m_horizontalRange = -1;
    int m_verticalRange = -1;
    QPointer<QMenu> m_popupMenu;
    int m_zoom = 10;
    TOVKset* m_document = nullptr;
    TOVKundoList* m_undo = nullptr;
    TOVKundoIndiciList<TOVKpage>* m_viewList = nullptr;
};

} // namespace morvell
