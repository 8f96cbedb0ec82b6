// Reads a text from arbitrary bytes, writes it, reads that again: the second reading must give
// the same text, run fonts and links, and writing it again the same bytes.

#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "platform/Messages.h"
#include "text/TextModel.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

using namespace morvell;

namespace {

struct Fixture {
    Fixture() {
        SetMessages(&messages);
        document.New();
        // Object identifiers 1 and 2: a table of 2 x 2 cells and a picture.
        table = TOVKoggetto::Create(TOggettiHel::tabellaHtml);
        table->Record().SetU8(93, 2);
        table->Record().SetU8(94, 2);
        picture = TOVKoggetto::Create(TOggettiHel::immagineNew);
    }
    RecordingMessages messages;
    TOVKset document;
    FixedMetrics metrics;
    std::unique_ptr<TOVKoggetto> table;
    std::unique_ptr<TOVKoggetto> picture;
};

std::string Store(TextModel& model) {
    std::string out;
    for (const auto& p : model.Paragraphs()) p->Write(out, 0);
    out += '\0';
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture* fixture = new Fixture();
    fixture->messages.Clear();
    const std::string input(reinterpret_cast<const char*>(data), size);

    TextModel first(&fixture->document, &fixture->metrics);
    first.AddPageObject(1, fixture->table.get());
    first.AddPageObject(2, fixture->picture.get());
    first.Load(input);
    // An empty buffer holds no paragraph at all, its stored form ("\0") one empty paragraph.
    if (first.Paragraphs().empty()) return 0;
    const std::string written = Store(first);

    TextModel second(&fixture->document, &fixture->metrics);
    second.AddPageObject(1, fixture->table.get());
    second.AddPageObject(2, fixture->picture.get());
    second.Load(written);
    if (second.Paragraphs().size() != first.Paragraphs().size()) std::abort();
    for (std::size_t i = 0; i < first.Paragraphs().size(); ++i) {
        const TOVKparag& a = *first.Paragraphs()[i];
        const TOVKparag& b = *second.Paragraphs()[i];
        if (a.Text() != b.Text() || !(a.ParagraphFont() == b.ParagraphFont())) std::abort();
        for (int k = 0; k < a.Length(); ++k) {
            const auto& ca = a.Chars()[static_cast<std::size_t>(k)];
            const auto& cb = b.Chars()[static_cast<std::size_t>(k)];
            if (ca.LinkRef != cb.LinkRef || ca.ObjectIndex != cb.ObjectIndex || !(a.FontAt(k) == b.FontAt(k)))
                std::abort();
        }
    }
    if (Store(second) != written) std::abort();
    return 0;
}
