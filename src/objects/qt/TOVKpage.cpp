#include "objects/qt/TOVKpage.h"

#include "document/TOVKset.h"
#include "objects/PageCopy.h"
#include "objects/TOVKUndoList.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKtesto.h"
#include "objects/Visual.h"
#include "objects/qt/TOVKsfondo.h"
#include "platform/Messages.h"
#include "text/TOVKparag.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace morvell {

namespace {

constexpr const char* kAnchorNotFound = "Ancora non trovata: a";

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
        MakeTextBox(*m_shown);
        RunAutomaticLinks();
    }
    delete m_placeholder;
    m_placeholder = nullptr;
    return page;
}

void TOVKpage::MakeTextBox(TOVKtesto& text) {
    if (!m_document) m_document = text.Document();
    auto* box = new TOVKbox(nullptr, m_document);
    box->SetZoom(m_zoom);
    m_box = box;
    m_controls.Add(box);
    setWidget(box);
    box->OnLink = [this](const TBoxLink& link) { DeliverLink(link); };
    box->LinkContext = this;
    box->CreateForPage(&text, this, m_readOnly);
    box->SetBounds(0, 0, ClientWidth(), ClientHeight());
    ListMarkers();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

// The marker controls enter themselves in these lists when they are made; until a page has
// controls for its markers, the markers of its text are listed here, in text order, which is
// the order their controls would be made in.
void TOVKpage::ListMarkers() {
    if (!m_box) return;
    for (const auto& paragraph : m_box->Paragraphs()) {
        for (const EmbeddedObject& embedded : paragraph->Objects()) {
            TOVKoggetto* object = embedded.object;
            if (!object || object->Kind() != TOggettiHel::shortObj) continue;
            const int subKind = object->Record().U8(4);
            if (subKind == pageview::kAnchorSubKind) m_anchors.Add(object);
            if (subKind == pageview::kAutomaticLinkSubKind) m_automaticLinks.Add(object);
        }
    }
}

void TOVKpage::DeliverLink(const TBoxLink& link) {
    TOVKoggetto* object = link.link;
    emit linkClicked(object, link.reference);
    if (object && object->Kind() == TOggettiHel::testoHtml && !object->IsFree())
        emit pageLinkClicked(object->Index());
}

void TOVKpage::DestroyTextBox() {
    if (!m_box) return;
    m_controls.Forget(m_box);
    m_box = nullptr;
    delete takeWidget();
}

void TOVKpage::Clear() {
    ReleaseFreeObjects();
    m_anchors.Clear();
    m_automaticLinks.Clear();
    DestroyTextBox();
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
            const TTextPos pos = m_box->PositionOf(point);
            if (m_readOnly) {
                verticalScrollBar()->setValue(
                    pageview::AnchorScrollPosition(pos.y, verticalScrollBar()->value(), ClientHeight()));
            } else {
                m_box->setFocus();
            }
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

void TOVKpage::ReleaseFreeObjects() {
    auto release = [this](TOVKoggetto* object) {
        if (!object) return;
        DestroyControlOf(*object);
        // Objects of the copy's instance list belong to the copy and go with it.
        if (!object->Registered() && m_shown) {
            auto& instances = m_shown->Instances();
            auto owned = std::find_if(instances.begin(), instances.end(),
                                      [object](const auto& p) { return p.get() == object; });
            if (owned == instances.end()) delete object;
        }
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
// The scroll area takes its ranges from the size of the box, which the box has just set.
void TOVKpage::SetScrollRanges(int horizontal, int vertical) {
    (void)horizontal;
    (void)vertical;
}
QWidget* TOVKpage::ContentWidget() const { return m_box; }

TOVKoggetto* TOVKpage::FindPageObject(std::int32_t identifier) {
    if (!m_shown || identifier < 0) return nullptr;
    auto& instances = m_shown->Instances();
    return static_cast<std::size_t>(identifier) < instances.size() ? instances[identifier].get() : nullptr;
}

// --- events ------------------------------------------------------------------------------------

void TOVKpage::wheelEvent(QWheelEvent* event) {
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
}

void TOVKpage::mousePressEvent(QMouseEvent* event) {
    QScrollArea::mousePressEvent(event);
    emit clicked();
}

} // namespace morvell
