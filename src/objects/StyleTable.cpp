#include "objects/StyleTable.h"

#include "document/TOVKset.h"

namespace morvell {

int StyleTable::Count() const { return m_document ? m_document->Count(TOggettiHel::stileParagrafo) : 0; }

const TOVKoggetto* StyleTable::Lookup(std::int32_t index) const {
    if (!m_document || index < 0 || index >= Count()) return nullptr;
    return m_document->Object(TOggettiHel::stileParagrafo, index);
}

std::int32_t StyleTable::Resolve(std::int32_t index) const { return Lookup(index) ? index : 0; }

const TOVKoggetto* StyleTable::Style(std::int32_t index) const {
    if (const TOVKoggetto* style = Lookup(index)) return style;
    if (const TOVKoggetto* style = Lookup(0)) return style;
    return m_document ? m_document->DefaultParagraphStyle() : nullptr;
}

} // namespace morvell
