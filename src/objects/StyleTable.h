#pragma once
// Look-up of the paragraph styles of a document: the "S" number of a paragraph names one of
// the document's stileParagrafo objects. A number that names no object means style 0.

#include <cstdint>

namespace morvell {

class TOVKset;
class TOVKoggetto;

class StyleTable {
public:
    explicit StyleTable(const TOVKset* document) : m_document(document) {}

    // Number of style slots in the document.
    int Count() const;
    // The index a paragraph that names `index` really uses: `index` when it names an object,
    // else 0.
    std::int32_t Resolve(std::int32_t index) const;
    // The style object for `index` after Resolve; nullptr only when the document has no
    // style at all (then the record defaults apply).
    const TOVKoggetto* Style(std::int32_t index) const;

private:
    const TOVKoggetto* Lookup(std::int32_t index) const;
    const TOVKset* m_document;
};

} // namespace morvell
