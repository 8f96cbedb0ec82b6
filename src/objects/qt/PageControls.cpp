#include "objects/qt/PageControls.h"

#include "objects/PageTextBox.h"
#include "objects/PageViewModel.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKtesto.h"
#include "objects/qt/TOVKpage.h"

#include <utility>

namespace morvell {

namespace {

constexpr int kMarkerSize = 18;
// A marker in a read-only page: 1 pixel wide, 12 high.
constexpr int kReadOnlyMarkerWidth = 1;
constexpr int kReadOnlyMarkerHeight = 12;

class PageVisualFactory : public VisualFactory {
public:
    Visual* MakeVisual(TOVKoggetto& object, TOVKpage* pageView) override {
        switch (VisualClassOf(object)) {
        case VisualClass::BelPanel: {
            const int subKind = object.Record().U8(4);
            if (object.Kind() == TOggettiHel::shortObj &&
                (subKind == pageview::kAnchorSubKind || subKind == pageview::kAutomaticLinkSubKind))
                return new TPageMarker(object, pageView);
            return nullptr;
        }
        case VisualClass::Table:
            return new TTablePlaceholder(object, pageView);
        default:
            return nullptr;
        }
    }
    void DestroyVisual(Visual* visual) override { delete dynamic_cast<QWidget*>(visual); }
    Printual* MakePrintual(TOVKoggetto&, TPrintOwner*) override { return nullptr; }
};

class PageTextBoxFactory : public TextBoxFactory {
public:
    Visual* MakeTextBox(TOVKtesto& copy, TOVKpage* pageView, const TextBoxBackground& background) override {
        return pageView ? pageView->MakeTextBox(copy, background) : nullptr;
    }
    void DestroyTextBox(Visual* box) override {
        auto* textBox = dynamic_cast<TOVKbox*>(box);
        if (!textBox) return;
        if (auto* view = dynamic_cast<TOVKpage*>(textBox->Page()); view && view->TextBox() == textBox)
            view->DestroyTextBox();
        else
            delete textBox;
    }
    void AddHeaderFooterFloating(TOVKpage* pageView, TOVKoggetto& picture) override {
        if (pageView) pageView->AddHeaderFooterFloatingObject(&picture);
    }
    void ReadTexts(Visual* box, TOVKtesto& copy, std::vector<std::unique_ptr<TOVKoggetto>> objects) override {
        if (auto* textBox = dynamic_cast<TOVKbox*>(box)) textBox->ReadPage(copy, std::move(objects));
    }
};

} // namespace

void InstallPageControls() {
    static PageVisualFactory visuals;
    static PageTextBoxFactory boxes;
    if (!CurrentVisualFactory()) SetVisualFactory(&visuals);
    if (!CurrentTextBoxFactory()) SetTextBoxFactory(&boxes);
}

TPageControl::TPageControl(TOVKoggetto& object, TOVKpage* page)
    : QWidget(page ? static_cast<QWidget*>(page->TextBox()) : nullptr), m_object(object), m_page(page) {
    // Laid out and shown by the text when it is drawn.
    hide();
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (page) m_number = page->AddControl(this);
}

TPageControl::~TPageControl() {
    m_object.ForgetVisual(this);
    if (m_page) m_page->ForgetControl(this);
}

TOVKpage* TPageControl::PageView() const { return m_page.data(); }

VisualSize TPageControl::SetAvailableWidth(int width) {
    (void)width;
    return {this->width(), height()};
}

bool TPageControl::HiddenInMode(bool readOnly) const { return readOnly; }

void TPageControl::Show() {
    if (!HiddenInMode(m_page && m_page->ReadOnly())) show();
}

TPageMarker::TPageMarker(TOVKoggetto& object, TOVKpage* page) : TPageControl(object, page) {
    const bool readOnly = !page || page->ReadOnly();
    resize(readOnly ? kReadOnlyMarkerWidth : kMarkerSize, readOnly ? kReadOnlyMarkerHeight : kMarkerSize);
    if (!page) return;
    // Made in the order of the copy's instances: the page's own, then the header's, then the
    // footer's; the lists keep that order.
    const int subKind = object.Record().U8(4);
    if (subKind == pageview::kAnchorSubKind) page->AddAnchor(&object);
    if (subKind == pageview::kAutomaticLinkSubKind) page->AddAutomaticLink(&object);
}

TPageMarker::~TPageMarker() {
    if (!m_page) return;
    m_page->RemoveAnchor(&m_object);
    m_page->RemoveAutomaticLink(&m_object);
}

TTablePlaceholder::TTablePlaceholder(TOVKoggetto& object, TOVKpage* page) : TPageControl(object, page) {
    resize(0, 0);
}

VisualSize TTablePlaceholder::SetAvailableWidth(int width) {
    (void)width;
    return {0, 0};
}

} // namespace morvell
