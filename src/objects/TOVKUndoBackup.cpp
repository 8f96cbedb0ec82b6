#include "objects/TOVKUndoBackup.h"

#include "objects/TOVKoggetto.h"

namespace morvell {

namespace {

TextPoint OrStart(TextPoint p) { return (p.paragraph < 0 || p.character < 0) ? TextPoint{0, 0} : p; }

} // namespace

TOVKbackup::TOVKbackup(TOVKset* document, TOVKundoList* list, std::string label)
    : m_document(document), m_list(list), m_label(std::move(label)) {}

TOVKbackup::~TOVKbackup() = default;

TogBackup::TogBackup(TOVKset* document, TOVKundoList* list, std::string label, const TOVKoggetto& object)
    : TOVKbackup(document, list, std::move(label)) {
    if (!object.Registered()) return;
    // The copy goes through the memory form, as a clipboard copy does, so that it shares
    // nothing with the live object and is never registered.
    std::string form;
    object.WriteToStream(form);
    auto copy = object.NewInstance();
    copy->SetDocument(object.Document());
    std::size_t pos = 0;
    if (copy->ReadFromStream(AsBytes(form), pos)) {
        copy->SetRegistered(false);
        m_copy = std::move(copy);
    }
}

TogBackup::~TogBackup() = default;

TboBackup::TboBackup(TOVKset* document, TOVKundoList* list, std::string label, TextPoint startBefore,
                     TextPoint endBefore, TextPoint startAfter, TextPoint endAfter, std::string paragraphs)
    : TOVKbackup(document, list, std::move(label)), m_startBefore(OrStart(startBefore)),
      m_endBefore(OrStart(endBefore)), m_startAfter(OrStart(startAfter)), m_endAfter(OrStart(endAfter)) {
    FirstStream() = std::move(paragraphs);
    FirstStream().push_back('\0');
}

TimBackup::TimBackup(TOVKset* document, TOVKundoList* list)
    : TOVKbackup(document, list, "Muovi zona cliccabile") {}

TtaBackup::TtaBackup(TOVKset* document, TOVKundoList* list, const TOVKoggetto& table)
    : TOVKbackup(document, list, "Dimensiona celle") {
    const OVKRecord& rec = table.Record();
    ByteSpan bytes = rec.Bytes();
    m_record.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (table.HasData()) FirstStream() = table.DataBytes();
    if (table.HasExtra()) SecondStream() = table.Extra();
}

} // namespace morvell
