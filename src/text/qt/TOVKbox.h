#pragma once
// The text box: the body text of a page (one box fills each page view) or the text of a
// table cell. It holds the paragraphs, lays them out for its width, sizes itself and the
// page's scroll ranges, paints background, border and text, maps the mouse to text
// positions, keeps a selection, shows link cursors and hints, hands clicked links to the
// frame set and copies the selection. In the reader every box is read-only: selecting,
// copying, scrolling and following links work; nothing is typed.

#include "objects/TOVKTextAttributes.h"
#include "objects/Visual.h"
#include "text/BoxSelection.h"
#include "text/MeasureCache.h"
#include "text/ParagraphOwner.h"
#include "text/ParagraphStream.h"
#include "text/TCharInfo.h"
#include "text/TextPos.h"
#include "text/qt/QtMeasurer.h"
#include "text/qt/TDragCustomControl.h"

#include <QPointer>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QClipboard;
class QMenu;

namespace morvell {

class TOVKbox;
class TOVKoggetto;
class TOVKpicture;
class TOVKset;
class TOVKtesto;

// What a box needs of the page view that shows it. Box coordinates are the page's content
// coordinates: the page box sits at (0, 0) of the scrolled content.
class TBoxPage {
public:
    virtual ~TBoxPage() = default;
    // Visible area of the page (without scroll bars) and its whole width (no vertical bar).
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual int PageWidth() const { return ClientWidth(); }
    virtual QPoint ScrollPosition() const = 0;
    virtual void SetScrollPosition(const QPoint& position) = 0;
    virtual void SetScrollRanges(int horizontal, int vertical) = 0;
    virtual void ContentSizeChanged(int width, int height) {
        (void)width;
        (void)height;
    }
    // The widget whose coordinates are the page's content coordinates (the box's parent, or
    // an ancestor of a cell box).
    virtual QWidget* ContentWidget() const { return nullptr; }
    // The page's object list, as object tags name its entries.
    virtual TOVKoggetto* FindPageObject(std::int32_t identifier) {
        (void)identifier;
        return nullptr;
    }
    // A free-standing object read from the start of the page text.
    virtual void AddFreeObject(TOVKoggetto& object, std::int32_t identifier) {
        (void)object;
        (void)identifier;
    }
    virtual void ShowFreeObjects() {}
};

// A clicked link on its way to the frame set. The object belongs to the page copy the box
// shows; when the box is gone by the time the request is delivered, the request is dropped.
struct TBoxLink {
    std::uint32_t reference = kNoLink;
    TOVKoggetto* link = nullptr;
    QPointer<TOVKbox> source;
    Qt::MouseButton button = Qt::LeftButton;
};

// A popup menu that pops up by itself on right clicks must not be given to a box, which opens
// its menu itself; a menu pops up by itself until this is switched off (the page view does).
void SetAutoPopup(QMenu& menu, bool autoPopup);
bool AutoPopup(const QMenu& menu);

class TOVKbox : public TDragCustomControl, public ParagraphOwner, public SelectionSource, public Visual {
    Q_OBJECT
public:
    // Background colour of a box that has not been given one.
    static constexpr std::uint32_t kDefaultBackground = 0xF0F0F0;
    static constexpr int kMinWidth = 20;

    // `measurer`, when given, measures the text instead of the screen fonts (tests use
    // FixedMetrics for exact positions); it must outlive the box.
    explicit TOVKbox(QWidget* parent = nullptr, TOVKset* document = nullptr, Measurer* measurer = nullptr);
    ~TOVKbox() override;

    // --- making and loading ------------------------------------------------------------------
    // The box of a page view: fills the page, takes the text object's background (picture at
    // offset 85, colour at 101, mode at 288 when below 4) and loads the text. False when the
    // text was not loaded (old markup).
    bool CreateForPage(TOVKtesto* textObject, TBoxPage* page, bool readOnly = true);
    // The first half of that, for the page view: fills the page, read-only as the page, with
    // the text object's background (picture, colour, mode; a negative mode is not given).
    void PrepareForPage(TBoxPage* page, bool readOnly, TOVKoggetto* picture, std::uint32_t colour,
                        int pictureMode);
    // Takes over the embedded objects of a page copy (each tag names its object's control
    // number; objects without a control are kept until the box goes) and loads the copy.
    bool ReadPage(TOVKtesto& textObject, std::vector<std::unique_ptr<TOVKoggetto>> objects);
    // Whether the box owns `object` (an embedded object of the page it shows).
    bool OwnsObject(const TOVKoggetto* object) const;
    // The embedded object whose control has `number`, handed out once: the paragraph that
    // holds its tag takes it; nullptr when there is none or it was handed out already.
    TOVKoggetto* ClaimObject(std::int32_t number);
    // Loads a page copy: its header copy, its own text, its footer copy. A text still in the
    // old markup is refused with an error box.
    bool LoadPage(TOVKtesto* textObject);
    // Loads streams directly (cells, tests): the object holders at the start of the body
    // go to the page, then header (kind 1), body (kind 0) and footer (kind 2) paragraphs.
    void LoadText(std::string_view header, std::string_view body, std::string_view footer);
    bool Loaded() const { return m_loaded; }

    void SetDocument(TOVKset* document) { m_document = document; }
    void SetPage(TBoxPage* page) { m_page = page; }
    TBoxPage* Page() const { return m_page; }
    TOVKtesto* TextObject() const { return m_textObject; }
    // Zoom in tenths, 5 to 20; takes effect at the next load.
    void SetZoom(int zoom);

    // --- sizing --------------------------------------------------------------------------------
    // Page boxes: lays out again when the width changed, sizes the box and the page's ranges.
    void SetBounds(int left, int top, int width, int height) override;
    using TDragCustomControl::SetBounds;
    // Cell boxes: lays out for the layout width the table gave and takes the content's bounds.
    void LayOut(int left, int top);
    void SetLayoutWidth(int width) { m_layoutWidth = width; }
    bool ScrollCapped() const { return m_scrollCapped; }
    int VerticalRange() const { return m_verticalRange; }
    int HorizontalRange() const { return m_horizontalRange; }
    int ContentHeight() const;

    // --- appearance ----------------------------------------------------------------------------
    bool IsOpaque() const override;
    void SetTransparent(bool transparent);
    bool Transparent() const { return m_transparent; }
    void SetBackgroundColour(std::uint32_t colour);
    std::uint32_t BackgroundColour() const { return m_backgroundColour; }
    // An `immagine` object of the document, or a picture given directly (not owned).
    void SetBackgroundPicture(TOVKoggetto* immagine);
    void SetBackgroundPicture(const TOVKpicture* picture);
    void SetBackgroundMode(int mode);
    int BackgroundMode() const { return m_backgroundMode; }
    // Cell boxes: the table they belong to, the 3-D border and the inner margin.
    void SetOwnerTable(TOVKoggetto* table, bool tablesOwnBox = false);
    void SetBorderWidth(int width);
    void SetInnerMargin(int margin) { m_innerMargin = margin; }
    // Frame-set settings the box follows.
    void SetShowBoundaries(bool show);
    void SetWrapper(bool wrapper) { m_wrapper = wrapper; }
    void SetLinksEnabled(bool enabled) { m_linksEnabled = enabled; }
    // The menu opened on a right click on no link; the box opens it itself.
    void SetPopupMenu(QMenu* menu);
    QMenu* PopupMenu() const;

    // --- text positions and selection ----------------------------------------------------------
    TTextPos HitTest(int mode, int x, int y) const;
    // The link of the character at a position; always kNoLink in a table's box.
    std::uint32_t LinkAt(const TTextPos& pos) const;
    // The position of a character with its line geometry.
    TTextPos PositionOf(TextPoint point) const;
    void Select(TextPoint from, TextPoint to);
    void ClearSelection();
    void SelectAll();
    bool HasSelection() const { return m_hasSelection; }
    TextPoint BodyStart() const;
    TextPoint BodyEnd() const;
    const TTextPos& Anchor() const { return m_anchor; }
    const TTextPos& End() const { return m_end; }
    const TTextPos& Caret() const { return m_caret; }
    // Scrolls the page the least amount that shows the rectangle (box coordinates).
    void ScrollIntoView(const QRect& rect);

    // Puts the selection on the clipboard (the application's when none is given).
    void Copy(QClipboard* clipboard = nullptr);
    TOVKTextAttributes& TextAttributes() { return *m_attributes; }

    // --- links and hints -----------------------------------------------------------------------
    std::uint32_t HoveredLink() const { return m_hoveredLink; }
    // The hint of the link under the mouse ("short|long", ebook bytes); the tool tip shows
    // the short part.
    const std::string& Hint() const { return m_hint; }
    // The object a link reference names: the page copy's local links, else the document.
    TOVKoggetto* ResolveLink(std::uint32_t reference) const;

    // --- frame-set seam ------------------------------------------------------------------------
    // A clicked link. Never called from inside the mouse handler: the request is posted to
    // `LinkContext` (the application when none) and delivered from the event loop, because
    // following it may destroy this box and its page.
    std::function<void(const TBoxLink&)> OnLink;
    QPointer<QObject> LinkContext;
    std::function<void(TOVKbox&)> OnSelectionChange;
    std::function<void(TOVKbox&)> OnClickedBox;
    // A click on no link (or with a selection): the frame set's click event.
    std::function<void(TOVKbox&, const QPoint&, Qt::MouseButton)> OnBoxClick;
    // The box asks the frame set for the keyboard focus (read-only boxes on a press).
    std::function<void(TOVKbox&)> OnTakeFocus;
    std::function<void(TOVKbox&)> OnLayoutChanged;

    // --- ParagraphOwner ------------------------------------------------------------------------
    TOVKset* Document() const override { return m_document; }
    MeasureCache& Measure() override { return m_cache; }
    int Zoom() const override { return m_zoom; }
    int LayoutWidth() const override { return m_layoutWidth; }
    int InnerMargin() const override { return m_innerMargin; }
    int WidestLine() const override { return m_widest; }
    void SetWidestLine(int width) override { m_widest = width; }
    bool IsTableCell() const override { return m_ownerTable != nullptr; }
    bool ReadOnly() const override { return TDragCustomControl::ReadOnly(); }
    void BlockRepaint() override { ++m_updateLock; }
    void UnblockRepaint() override {
        if (m_updateLock > 0) --m_updateLock;
    }
    TOVKoggetto* FindPageObject(std::int32_t identifier) override;
    void ReleaseObject(TOVKoggetto& object) override;
    bool SelectionShown() const override { return m_hasSelection && m_selectionShown; }
    TextPoint SelectionStart() const override;
    TextPoint SelectionEnd() const override;

    // --- SelectionSource -----------------------------------------------------------------------
    const ParagraphList& SourceParagraphs() const override { return m_paragraphs; }
    TextPoint SourceSelectionStart() const override { return SelectionStart(); }
    TextPoint SourceSelectionEnd() const override { return SelectionEnd(); }
    TextPoint SourceCaret() const override { return m_caret.Point(); }
    TOVKtesto* SourceTextObject() const override { return m_textObject; }
    TOVKset* SourceDocument() const override { return m_document; }

    const ParagraphList& Paragraphs() const { return m_paragraphs; }
    int HeaderCount() const { return m_headerCount; }
    int FooterCount() const { return m_footerCount; }
    bool UpdateLocked() const { return m_updateLock > 0; }

    // --- control base --------------------------------------------------------------------------
    bool IsTextBox() const override { return true; }
    void SetReadOnly(bool readOnly) override;
    void SetAnimated(bool animated) override;
    void GotFocus() override;
    void LostFocus() override;

    // --- Visual: the box is control number Number() of its page view ------------------------
    void SetNumber(int number) { m_controlNumber = number; }
    VisualSize SetAvailableWidth(int width) override;
    bool HiddenInMode(bool readOnly) const override {
        (void)readOnly;
        return false;
    }
    void Place(int x, int y) override { move(x, y); }
    void Show() override { show(); }
    void Hide() override { hide(); }
    int Number() const override { return m_controlNumber; }

signals:
    // Files dropped on the box: in a read-only box only when the first is an ebook, and then
    // with no box (the main window opens it); in an editable box with the box.
    void filesDropped(const QStringList& paths, morvell::TOVKbox* box);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class Lock;
    BoxParagraphs View() const { return {&m_paragraphs, m_headerCount, m_footerCount}; }
    int LayOutAll();
    void UpdateScrollRanges(int contentHeight);
    const TOVKpicture* BackgroundPicture() const;
    void PaintBackground(QPainter& painter, const QRect& area);
    void PaintBorder(QPainter& painter);
    void Hover(const QPoint& at);
    void SetHint(std::uint32_t link);
    void QueueLink(std::uint32_t reference, Qt::MouseButton button);
    void SelectWord(const QPoint& at);
    void RedrawBetween(TextPoint a, TextPoint b);
    void SetSelectionEnds(const TTextPos& anchor, const TTextPos& end);
    void NotifySelectionChange();
    void ScrollBy(int dx, int dy);
    void PopUp(const QPoint& at);
    void DestroyOwnedObjects();

    TOVKset* m_document;
    // Shared by every box showing text of the same code page (see QtMeasurer::Screen).
    QtMeasurer* m_screenMeasurer;
    Measurer* m_measurer;
    MeasureCache m_cache;
    int m_zoom = 10;

    int m_headerCount = 0;
    int m_footerCount = 0;
    int m_layoutWidth = 0;
    int m_widest = 0;
    std::uint32_t m_hoveredLink = kNoLink;
    int m_updateLock = 0;
    TTextPos m_caret;
    // Shows m_caret in an editable, focused box without a selection; never in the reader.
    class TOVKcursor* m_caretBar = nullptr;
    void UpdateCaretBar();
    TTextPos m_anchor;
    TTextPos m_end;
    bool m_hasSelection = false;
    bool m_selectionShown = true;
    bool m_mouseSelecting = false;
    bool m_pendingPress = false;
    QPoint m_pressPoint;
    TTextPos m_pressPos;
    bool m_doubleClick = false;
    bool m_pressSeen = false;
    std::unique_ptr<TOVKTextAttributes> m_attributes;
    TOVKoggetto* m_ownerTable = nullptr;
    bool m_tablesOwnBox = false;
    TBoxPage* m_page = nullptr;
    TOVKtesto* m_textObject = nullptr;
    ParagraphList m_paragraphs;
    bool m_transparent = false;
    int m_backgroundMode = 0;
    int m_borderWidth = 0;
    int m_innerMargin = 0;
    std::uint32_t m_backgroundColour = kDefaultBackground;
    TOVKoggetto* m_backgroundObject = nullptr;
    const TOVKpicture* m_backgroundPicture = nullptr;
    bool m_scrollCapped = false;
    bool m_loaded = false;
    int m_verticalRange = 0;
    int m_horizontalRange = 0;
    bool m_showBoundaries = false;
    bool m_wrapper = false;
    bool m_linksEnabled = true;
    QPointer<QMenu> m_popup;
    std::string m_hint;
    int m_controlNumber = -1;
    // The embedded objects of the page copy, and those of them whose control a paragraph
    // has not taken yet, by control number.
    std::unordered_map<const TOVKoggetto*, std::unique_ptr<TOVKoggetto>> m_ownedObjects;
    std::unordered_map<std::int32_t, TOVKoggetto*> m_unclaimed;
};

} // namespace morvell
