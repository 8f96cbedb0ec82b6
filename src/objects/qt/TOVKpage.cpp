#include "objects/qt/TOVKpage.h"

#include "document/TOVKset.h"
#include "objects/PageCopy.h"
#include "objects/PageTextBox.h"
#include "objects/TOVKUndoList.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKtesto.h"
#include "objects/Visual.h"
#include "objects/qt/PageControls.h"
#include "objects/qt/TOVKsfondo.h"
#include "platform/Messages.h"
#include "text/TOVKparag.h"

#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace morvell {

namespace {

constexpr const char* kAnchorNotFound = "Ancora non trovata: a";
// The caret, and so the place made visible for it, is 3 pixels wide.
constexpr int kCaretWidth = 3;

void DestroyControlOf(TOVKoggetto& object) {
    Visual* visual = object.CurrentVisual();
    if (!visual) return;
    if (VisualFactory* factory = CurrentVisualFactory()) factory->DestroyVisual(visual);
    object.ForgetVisual(visual);
}

} // namespace

TOVKpage::TOVKpage(QWidget* parent) : QScrollArea(parent) {
    // The box sizes itself to its text; the view scrolls over it.
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    verticalScrollBar()->setSingleStep(pageview::kScrollIncrement);
    horizontalScrollBar()->setSingleStep(pageview::kScrollIncrement);
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setTracking(true);
    ApplyScrollBarMode();
    InstallPageControls();
}

TOVKpage::~TOVKpage() {
    Clear();
    // The placeholder is a child and goes with the view.
}

void TOVKpage::SetZoom(int zoom) { m_zoom = std::clamp(zoom, 5, 20); }

void TOVKpage::SetReadOnly(bool readOnly) {
    if (readOnly == m_readOnly) return;
    m_readOnly = readOnly;
    if (m_box) m_box->SetReadOnly(readOnly);
    ApplyScrollBarMode();
}

void TOVKpage::SetAnimated(bool animated) {
    if (animated == m_animated) return;
    m_animated = animated;
    if (m_box) m_box->SetAnimated(animated);
}

void TOVKpage::SetShowFramesOnly(bool on) {
    m_showFramesOnly = on;
    if (on) {
        setFrameShape(QFrame::NoFrame);
        verticalScrollBar()->setRange(0, 0);
        SetReadOnly(true);
        if (m_box) m_box->SetReadOnly(true);
    }
    viewport()->update();
}

void TOVKpage::SetScrollBarMode(std::uint8_t mode) {
    if (mode == m_scrollBarMode) return;
    m_scrollBarMode = mode;
    ApplyScrollBarMode();
}

void TOVKpage::ApplyScrollBarMode() {
    // "Shown" lets Qt show a bar whenever there is something to scroll: a bar with nothing to
    // scroll only takes room from the page.
    switch (pageview::ScrollBarVisibility(m_scrollBarMode, m_readOnly)) {
    case pageview::BarVisibility::Hidden:
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        break;
    case pageview::BarVisibility::Shown:
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        break;
    case pageview::BarVisibility::Unchanged:
        break;
    }
}

void TOVKpage::ShowBackground(TOVKtesto* page) {
    if (!page) return;
    delete m_placeholder;
    m_placeholder = new TOVKsfondo(this);
    TOVKoggetto* picture = nullptr;
    if (m_document) {
        const std::int32_t index = page->Record().I32(85);
        TOVKoggetto* object = index >= 0 ? m_document->Object(TOggettiHel::immagine, index) : nullptr;
        if (object && !object->IsFree()) picture = object;
    }
    m_placeholder->SetBackgroundPicture(m_document, picture);
    m_placeholder->SetBackgroundColour(page->Record().U32(101));
    m_placeholder->setGeometry(rect());
    m_placeholder->show();
    m_placeholder->raise();
    m_placeholder->repaint();
}

TOVKtesto* TOVKpage::SetPage(TOVKtesto* page) {
    if (m_viewList) m_viewNumber = m_viewList->Add(this);
    // A page shown over another without Clear: the lists point at the old box's objects,
    // which go with that box. Let them go now instead of keeping pointers to freed objects.
    if (m_box) ReleaseShownObjects();
    m_box = nullptr;
    if (page && page->Registered()) {
        m_pageBeingBuilt = page;
        m_displayCopy = MakeDisplayCopy(*page, 0, nullptr, nullptr);
        m_pageBeingBuilt = nullptr;
        m_shown = m_displayCopy.get();
        m_registeredPage = page;
        m_pageIndex = page->Index();
        m_generated = false;
    } else {
        if (!page) {
            auto empty = std::make_unique<TOVKtesto>();
            empty->SetDocument(m_document);
            empty->Reset();
            empty->InitNew();
            m_displayCopy = std::move(empty);
            page = m_displayCopy.get();
        }
        // A page that is given but not registered is shown as it is.
        m_shown = page;
        m_registeredPage = nullptr;
        m_generated = true;
    }
    if (m_shown) {
        if (!m_document) m_document = m_shown->Document();
        // The copy makes the box and the controls of its objects and has the box read it.
        InstallPageControls();
        m_shown->CreateVisual(this);
        if (m_box) {
            m_box->SetPopupMenu(m_popupMenu);
            if (m_popupMenu) SetAutoPopup(*m_popupMenu, false);
            m_box->SetBounds(0, 0, ClientWidth(), ClientHeight());
            const TextPoint start = m_box->BodyStart();
            m_box->Select(start, start);
            horizontalScrollBar()->setValue(0);
            verticalScrollBar()->setValue(0);
        }
        RunAutomaticLinks();
    }
    delete m_placeholder;
    m_placeholder = nullptr;
    return page;
}

TOVKbox* TOVKpage::MakeTextBox(TOVKtesto& text, const TextBoxBackground& background) {
    DestroyTextBox();
    if (!m_document) m_document = text.Document();
    auto* box = new TOVKbox(nullptr, m_document);
    box->SetZoom(m_zoom);
    box->SetNumber(m_controls.Add(box));
    m_box = box;
    setWidget(box);
    box->OnLink = [this](const TBoxLink& link) { DeliverLink(link); };
    box->LinkContext = this;
    box->PrepareForPage(this, m_readOnly, background.picture, background.colour, background.pictureMode);
    return box;
}

void TOVKpage::DeliverLink(const TBoxLink& link) {
    TOVKoggetto* object = link.link;
    emit linkClicked(object, link.reference);
    if (object && object->Kind() == TOggettiHel::testoHtml && !object->IsFree())
        emit pageLinkClicked(object->Index());
}

void TOVKpage::DestroyTextBox() {
    if (!m_box) return;
    TOVKbox* box = m_box;
    m_controls.Forget(box);
    if (m_shown) m_shown->ForgetVisual(box);
    m_box = nullptr;
    if (widget() == box) takeWidget();
    // The box's paragraphs take their objects' controls with them; those tell this view.
    delete box;
    m_horizontalRange = m_verticalRange = -1;
}

void TOVKpage::Clear() {
    // A page taken out of the document while shown is nobody's but this view's.
    if (m_registeredPage && !m_registeredPage->Registered()) {
        if (m_shown == m_registeredPage) m_shown = nullptr;
        delete m_registeredPage;
        m_registeredPage = nullptr;
    }
    ReleaseShownObjects();
    if (m_shown && m_shown->Registered()) {
        // A registered page shown directly keeps its object; only its copies go.
        m_shown->SetHeaderCopy(nullptr);
        m_shown->SetFooterCopy(nullptr);
    }
    m_displayCopy.reset();
    m_shown = nullptr;
    // Editing steps never survive the page they were made on.
    if (m_undo) m_undo->Clear();
    m_registeredPage = nullptr;
    m_pageIndex = -1;
}

TOVKoggetto* TOVKpage::BackgroundPicture() const { return m_shown ? m_shown->ShownObject() : nullptr; }

int TOVKpage::ContentHeight() const { return m_box ? m_box->ContentHeight() : 0; }

void TOVKpage::Relayout() {
    if (m_box) m_box->SetBounds(0, 0, ClientWidth(), ClientHeight());
}

bool TOVKpage::ScrollToAnchor(std::int32_t n) {
    if (n < 0) return false;
    TOVKoggetto* match = pageview::FindAnchor(m_anchors, n, [](TOVKoggetto* o) { return o; });
    if (!match) {
        if (!m_readOnly) Msg().Warning(kAnchorNotFound + std::to_string(n));
        return false;
    }
    if (!m_box) return true;
    const ParagraphList& paragraphs = m_box->Paragraphs();
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        const TOVKparag& paragraph = *paragraphs[p];
        for (int c = 0; c < paragraph.Length(); ++c) {
            if (paragraph.ObjectAt(c) != match) continue;
            const TextPoint point{static_cast<int>(p), c};
            m_box->Select(point, point);
            const TTextPos caret = m_box->Caret();
            // In the reader the view brings in the band of a client height from just above the
            // anchor's line, which holds the caret's place: the line lands 3 pixels below the
            // top edge when the view scrolls up to it and 6 when it scrolls down. Made visible
            // first, the caret would always have the view scroll up to it.
            if (m_readOnly)
                m_box->ScrollIntoView(
                    QRect(caret.x, caret.y - pageview::kAnchorMargin, kCaretWidth,
                          std::max(caret.height, ClientHeight() - pageview::kAnchorMargin)));
            else
                m_box->ScrollIntoView(QRect(caret.x, caret.y, kCaretWidth, caret.height));
            if (m_box->isVisible() && m_box->isEnabled()) m_box->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return true;
}

void TOVKpage::RunAutomaticLinks() {
    if (!m_activePreview) return;
    for (TOVKoggetto* marker : m_automaticLinks.Items()) emit automaticLink(marker);
}

void TOVKpage::AddFreeObject(TOVKoggetto& object, std::int32_t identifier) {
    (void)identifier;
    m_freeObjects.Add(&object);
}

void TOVKpage::AttachFreeObjects() {
    auto attach = [this](TOVKoggetto* object) {
        if (!object) return;
        if (auto* control = dynamic_cast<QWidget*>(object->CurrentVisual())) {
            control->setParent(m_box);
            control->show();
        }
    };
    for (TOVKoggetto* object : m_freeObjects.Items()) attach(object);
    for (TOVKoggetto* object : m_headerFooterFloating.Items()) attach(object);
}

void TOVKpage::ReleaseShownObjects() {
    ReleaseFreeObjects();
    m_anchors.Clear();
    m_automaticLinks.Clear();
    DestroyTextBox();
}

void TOVKpage::ReleaseFreeObjects() {
    auto release = [this](TOVKoggetto* object) {
        if (!object) return;
        DestroyControlOf(*object);
        // The page's embedded objects belong to its text box (or, before the box took them,
        // to the copy) and go with it.
        if (object->Registered() || (m_box && m_box->OwnsObject(object))) return;
        if (m_shown) {
            auto& instances = m_shown->Instances();
            if (std::any_of(instances.begin(), instances.end(),
                            [object](const auto& p) { return p.get() == object; }))
                return;
        }
        delete object;
    };
    for (TOVKoggetto* object : m_freeObjects.Items()) release(object);
    for (TOVKoggetto* object : m_headerFooterFloating.Items()) release(object);
    m_freeObjects.Clear();
    m_headerFooterFloating.Clear();
}

void TOVKpage::WriteFreeObjects(std::string& out) const {
    static const char* const kHex = "0123456789ABCDEF";
    for (TOVKoggetto* object : m_freeObjects.Items()) {
        if (!object) continue;
        out += "<Z S0 f0 >";
        const auto ref = static_cast<std::uint32_t>(
            0xFF000000u | (static_cast<std::uint32_t>(std::max(object->ControlNumber(), 0)) & 0xFFFFFFu));
        out += "<$";
        for (int shift = 28; shift >= 0; shift -= 4) out += kHex[(ref >> shift) & 0xF];
        out += ">";
    }
}

void TOVKpage::CollectObjects(TOggettiHel kind, std::vector<pageview::NamedObject>* list,
                              const std::string& framePrefix) const {
    if (!m_box || !list) return;
    pageview::CollectObjects(m_box->Paragraphs(), kind, framePrefix, *list);
}

// --- TBoxPage ----------------------------------------------------------------------------------

int TOVKpage::ClientWidth() const { return viewport()->width(); }
int TOVKpage::ClientHeight() const { return viewport()->height(); }
QPoint TOVKpage::ScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}
void TOVKpage::SetScrollPosition(const QPoint& position) {
    horizontalScrollBar()->setValue(position.x());
    verticalScrollBar()->setValue(position.y());
}
void TOVKpage::SetScrollRanges(int horizontal, int vertical) {
    m_horizontalRange = std::max(0, horizontal);
    m_verticalRange = std::max(0, vertical);
    ApplyScrollRanges();
}

// The box gives the whole extent to scroll over, which is not always its own size: the last
// paragraph's space below is left out. The scroll area would take the box's size again at
// every resize, so the ranges are put back after it. A view showing frames only never
// scrolls up or down, whatever the box lays out later.
void TOVKpage::ApplyScrollRanges() {
    if (m_verticalRange < 0 || !m_box) return;
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    const int viewportHeight = viewport()->height();
    const int viewportWidth = viewport()->width();
    vertical->setPageStep(viewportHeight);
    vertical->setRange(0, m_showFramesOnly ? 0 : std::max(0, m_verticalRange - viewportHeight));
    horizontal->setPageStep(viewportWidth);
    horizontal->setRange(0, std::max(0, m_horizontalRange - viewportWidth));
}
QWidget* TOVKpage::ContentWidget() const { return m_box; }

TOVKoggetto* TOVKpage::FindPageObject(std::int32_t identifier) {
    return m_box && identifier >= 0 ? m_box->ClaimObject(identifier) : nullptr;
}

void TOVKpage::SetPopupMenu(QMenu* menu) {
    m_popupMenu = menu;
    if (m_box) {
        m_box->SetPopupMenu(menu);
        if (menu) SetAutoPopup(*menu, false);
    }
}

QMenu* TOVKpage::PopupMenu() const { return m_popupMenu.data(); }

// --- events ------------------------------------------------------------------------------------

void TOVKpage::wheelEvent(QWheelEvent* event) {
    // A tilt of the wheel (or a sideways swipe) is not a wheel notch: it scrolls sideways as
    // the scroll area does it.
    if (event->angleDelta().y() == 0) {
        QScrollArea::wheelEvent(event);
        return;
    }
    // A fixed step per notch, whatever the desktop's wheel setting.
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(pageview::WheelPosition(bar->value(), event->angleDelta().y()));
    event->accept();
}

void TOVKpage::scrollContentsBy(int dx, int dy) {
    QScrollArea::scrollContentsBy(dx, dy);
    // A picture fixed to the window must be drawn again at its place: scrolling moved the
    // pixels with the text.
    if (m_box && (m_box->BackgroundMode() & 1)) m_box->update();
}

void TOVKpage::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    if (m_placeholder) m_placeholder->setGeometry(rect());
    Relayout();
    ApplyScrollRanges();
}

bool TOVKpage::event(QEvent* event) {
    const bool handled = QScrollArea::event(event);
    if (event->type() == QEvent::LayoutRequest) ApplyScrollRanges();
    return handled;
}

bool TOVKpage::eventFilter(QObject* watched, QEvent* event) {
    const bool handled = QScrollArea::eventFilter(watched, event);
    if (watched == widget() && event->type() == QEvent::Resize) ApplyScrollRanges();
    return handled;
}

void TOVKpage::mousePressEvent(QMouseEvent* event) {
    QScrollArea::mousePressEvent(event);
    emit clicked();
}

} // namespace morvell
