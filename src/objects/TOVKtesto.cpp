#include "objects/TOVKtesto.h"

#include "document/TOVKset.h"
#include "objects/Visual.h"

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

} // namespace

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
    VisualFactory* factory = CurrentVisualFactory();
    if (CurrentVisual() && factory) factory->DestroyVisual(CurrentVisual());
    ForgetVisual(CurrentVisual());
    if (!factory) return nullptr;
    Visual* visual = factory->MakeVisual(*this, pageView);
    AdoptVisual(visual);
    return visual;
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
}

} // namespace morvell
