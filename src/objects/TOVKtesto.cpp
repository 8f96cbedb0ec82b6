#include "objects/TOVKtesto.h"

#include "document/TOVKset.h"
#include "objects/PageCopy.h"
#include "objects/PageTextBox.h"
#include "objects/Visual.h"

#include <utility>

namespace morvell {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Kinds whose objects belong to the page whose text embeds them.
bool OwnedByPage(int kind) {
    return kind == 8 || kind == 10 || kind == 11 || kind == 13 || kind == 16 || (kind >= 20 && kind <= 24);
}

TextBoxFactory* g_textBoxFactory = nullptr;

} // namespace

TextBoxFactory* CurrentTextBoxFactory() { return g_textBoxFactory; }
void SetTextBoxFactory(TextBoxFactory* factory) { g_textBoxFactory = factory; }

TOVKtesto::TOVKtesto() { m_kind = TOggettiHel::testoHtml; }

TOVKtesto::~TOVKtesto() = default;

std::unique_ptr<TOVKoggetto> TOVKtesto::NewInstance() const { return std::make_unique<TOVKtesto>(); }

void TOVKtesto::Reset() {
    if (Registered() && Document() && HasData()) {
        const std::string text = DataBytes();
        for (std::size_t at = text.find("<$"); at != std::string::npos && at + 10 <= text.size();
             at = text.find("<$", at + 2)) {
            std::uint32_t ref = 0;
            bool ok = true;
            for (std::size_t i = 0; i < 8 && ok; ++i) {
                int d = HexDigit(text[at + 2 + i]);
                ok = d >= 0;
                ref = (ref << 4) | static_cast<std::uint32_t>(d < 0 ? 0 : d);
            }
            if (!ok || !OwnedByPage(static_cast<int>(ref >> 24))) continue;
            TOVKoggetto* owned = Document()->ObjectByRef(static_cast<std::int32_t>(ref));
            // A page never owns a page, so this cannot come back here.
            if (owned && owned != this && owned->Kind() != TOggettiHel::testoHtml) owned->Reset();
        }
    }
    TOVKoggetto::Reset();
}

Visual* TOVKtesto::CreateVisual(TOVKpage* pageView) {
    TextBoxFactory* factory = CurrentTextBoxFactory();
    if (!factory) return nullptr;
    if (Visual* previous = CurrentVisual()) {
        ForgetVisual(previous);
        factory->DestroyTextBox(previous);
    }
    TextBoxBackground background;
    background.picture = ShownObject();
    background.colour = Record().U32(101);
    if (Record().U8(288) < 4) background.pictureMode = Record().U8(288);
    Visual* box = factory->MakeTextBox(*this, pageView, background);
    AdoptVisual(box);
    if (!box) return nullptr;

    // Tags are rewritten in a working string per text and stored back once.
    std::vector<std::pair<TOVKtesto*, std::string>> texts;
    auto textOf = [&](TOVKtesto* holder) -> std::string& {
        for (auto& entry : texts)
            if (entry.first == holder) return entry.second;
        texts.emplace_back(holder, holder->DataBytes());
        return texts.back().second;
    };

    std::vector<std::unique_ptr<TOVKoggetto>> objects;
    for (TOVKtesto* list : {this, HeaderCopy(), FooterCopy()}) {
        if (!list) continue;
        for (std::size_t n = 0; n < list->m_instances.size(); ++n) {
            std::unique_ptr<TOVKoggetto>& object = list->m_instances[n];
            if (!object) continue;
            Visual* control = object->CreateVisual(pageView);
            const int number = control ? control->Number() : -1;
            TOVKtesto* holder =
                n < list->m_tagTexts.size() && list->m_tagTexts[n] ? list->m_tagTexts[n] : list;
            if (n < list->m_tagPositions.size())
                WriteTagReference(textOf(holder), list->m_tagPositions[n],
                                  0xFF000000u | (static_cast<std::uint32_t>(number) & 0xFFFFFFu));
            if (object->FromHeaderOrFooter() && object->IsFloating())
                factory->AddHeaderFooterFloating(pageView, *object);
            objects.push_back(std::move(object));
        }
        list->m_instances.clear();
        list->m_tagPositions.clear();
        list->m_tagTexts.clear();
    }
    for (auto& [holder, text] : texts) holder->SetData(std::move(text));
    factory->ReadTexts(box, *this, std::move(objects));
    return box;
}

std::size_t TOVKtesto::AddInstance(std::unique_ptr<TOVKoggetto> object, TOVKtesto* text, std::size_t dollar) {
    object->SetOwnerText(this);
    m_instances.push_back(std::move(object));
    m_tagPositions.push_back(dollar);
    m_tagTexts.push_back(text ? text : this);
    return m_instances.size() - 1;
}

std::int32_t TOVKtesto::AddLocalLink(std::unique_ptr<TOVKoggetto> object) {
    const auto ref = static_cast<std::int32_t>(0x6F000000u + static_cast<std::uint32_t>(m_localLinks.size()));
    object->SetOwnerText(this);
    object->SetLocalReference(ref);
    m_localLinks.push_back(std::move(object));
    return ref;
}

TOVKoggetto* TOVKtesto::ResolveLocal(std::int32_t ref) const {
    if (ref < 0) return nullptr;
    if (ref < 0x08000000) return Document() ? Document()->ObjectByRef(ref) : nullptr;
    if (ref >= 0x6F000000 && ref <= 0x6FFFFFFF) {
        auto position = static_cast<std::size_t>(ref - 0x6F000000);
        return position < m_localLinks.size() ? m_localLinks[position].get() : nullptr;
    }
    return nullptr;
}

void TOVKtesto::ClearCopyLists() {
    m_headerCopy.reset();
    m_footerCopy.reset();
    m_printList.clear();
    m_localLinks.clear();
    m_instances.clear();
    m_tagPositions.clear();
    m_tagTexts.clear();
}

} // namespace morvell
