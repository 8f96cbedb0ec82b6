#pragma once
// A page: a TOVKoggetto of kind testoHtml whose data block is the page text. The lists of a
// page display copy (local links, embedded instances, tag positions, header and footer copies)
// live here; the copy itself is made by the page-copy code.

#include "objects/TOVKoggetto.h"

#include <memory>
#include <vector>

namespace morvell {

class TOVKtesto : public TOVKoggetto {
public:
    TOVKtesto();
    ~TOVKtesto() override;

    std::unique_ptr<TOVKoggetto> NewInstance() const override;

    // A registered page with text also clears the objects its text embeds (tables, special
    // links, markers, data objects, pictures, form elements), then itself.
    void Reset() override;
    // Makes the text box of a display copy through the installed TextBoxFactory: the controls
    // of the embedded objects (header and footer copies included) are made, their numbers
    // written into the tags, and the objects handed to the box with the texts. nullptr, and
    // the copy unchanged, while no factory is installed.
    Visual* CreateVisual(TOVKpage* pageView) override;

    // --- display copy lists ---------------------------------------------------------------
    TOVKtesto* HeaderCopy() const { return m_headerCopy.get(); }
    void SetHeaderCopy(std::unique_ptr<TOVKtesto> copy) { m_headerCopy = std::move(copy); }
    TOVKtesto* FooterCopy() const { return m_footerCopy.get(); }
    void SetFooterCopy(std::unique_ptr<TOVKtesto> copy) { m_footerCopy = std::move(copy); }

    // Enters an object in the local link list (taking it over, setting its owner text and its
    // local reference 0x6F000000 + position) and answers that reference.
    std::int32_t AddLocalLink(std::unique_ptr<TOVKoggetto> object);
    const std::vector<std::unique_ptr<TOVKoggetto>>& LocalLinks() const { return m_localLinks; }
    std::vector<std::unique_ptr<TOVKoggetto>>& Instances() { return m_instances; }
    const std::vector<std::unique_ptr<TOVKoggetto>>& Instances() const { return m_instances; }
    std::vector<std::size_t>& TagPositions() { return m_tagPositions; }
    const std::vector<std::size_t>& TagPositions() const { return m_tagPositions; }
    // For each instance, the copy whose text holds its tag: this copy, or its header or footer
    // copy, whose instances are numbered in this copy's list.
    const std::vector<TOVKtesto*>& TagTexts() const { return m_tagTexts; }
    // Appends an embedded object whose tag has its '$' at `dollar` in `text`'s text; answers
    // its position in the instance list. The object resolves its local references here.
    std::size_t AddInstance(std::unique_ptr<TOVKoggetto> object, TOVKtesto* text, std::size_t dollar);
    std::vector<TOVKoggetto*>& PrintList() { return m_printList; }

    // A reference as the text of this copy uses it: negative → nothing; below 0x08000000 → the
    // document; 0x6F000000 to 0x6FFFFFFF → the local link list; anything else → nothing.
    TOVKoggetto* ResolveLocal(std::int32_t ref) const;

    // Empties every list of the copy.
    void ClearCopyLists();

private:
    std::unique_ptr<TOVKtesto> m_headerCopy;
    std::unique_ptr<TOVKtesto> m_footerCopy;
    std::vector<TOVKoggetto*> m_printList;
    std::vector<std::unique_ptr<TOVKoggetto>> m_localLinks;
    std::vector<std::unique_ptr<TOVKoggetto>> m_instances;
    std::vector<std::size_t> m_tagPositions;
    std::vector<TOVKtesto*> m_tagTexts;
};

} // namespace morvell
