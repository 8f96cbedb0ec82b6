// The display copy of a page whose text is the fuzzer's bytes, in a small fixed document that
// holds one object of every kind a tag can name: links, a special-link loop and a chain, a
// picture with zone links, a button, an automatic link, a table, a deleted picture, header and
// footer pages and an old picture and form marker. The first byte picks the markup version, so
// the old-markup conversion runs on the same bytes. Every tag the copy rewrote must name its
// instance or local link.

#include "FuzzSupport.h"
#include "document/TOVKset.h"
#include "objects/OldMarkup.h"
#include "objects/PageCopy.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKtesto.h"
#include "platform/Messages.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

using namespace morvell;

namespace {

using K = TOggettiHel;

TOVKoggetto* Add(TOVKset& doc, K kind, int status) {
    std::unique_ptr<TOVKoggetto> object = TOVKoggetto::Create(kind);
    object->SetDocument(&doc);
    object->Record().SetU8(4, static_cast<std::uint8_t>(status));
    TOVKoggetto* raw = object.release();
    doc.RegisterObject(raw, doc.Count(kind));
    return raw;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::SilentMessages messages;
    SetMessages(&messages);
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    TOVKset doc;
    doc.New();
    TOVKoggetto* link = Add(doc, K::internetLink, 4);
    link->Record().SetStr(5, 127, "http://example.org");
    Add(doc, K::speclink, 1)->Record().SetI32(13, MakeReference(K::speclink, 0)); // loop
    for (int i = 1; i < 8; ++i)
        Add(doc, K::speclink, 1)->Record().SetI32(13, MakeReference(K::speclink, i + 1));
    TOVKoggetto* picture = Add(doc, K::immagineNew, 1);
    picture->Record().SetU8(13, 254);
    for (int zone = 0; zone < 30; ++zone)
        picture->Record().SetI32(73 + 16 * zone, MakeReference(K::speclink, zone % 9));
    picture->Record().SetI32(69, link->Reference());
    Add(doc, K::immagineNew, 0); // deleted
    Add(doc, K::bottoneCGI, 1)->Record().SetI32(181, MakeReference(K::speclink, 1));
    Add(doc, K::shortObj, 13)->Record().SetI32(5, MakeReference(K::speclink, 0));
    TOVKoggetto* table = Add(doc, K::tabellaHtml, 2);
    table->Record().SetU8(93, 2);
    table->Record().SetU8(94, 3);
    Add(doc, K::immagine, 0);
    Add(doc, K::inputStat, 12);
    TOVKoggetto* header = Add(doc, K::testoHtml, 0);
    header->Record().SetU8(195, 2);
    header->SetData(std::string("<Z S0 ><$10000000><$01000000>h<%>\0", 34));
    TOVKoggetto* page = Add(doc, K::testoHtml, 0);
    page->Record().SetU8(195, data[0] & 1 ? 1 : 2);
    page->Record().SetI32(231, header->Index());
    page->Record().SetI32(235, header->Index());
    page->SetData(text);

    for (int display = 0; display < 2; ++display) {
        std::unique_ptr<TOVKtesto> copy = MakeDisplayCopy(*page, 0, nullptr, nullptr);
        const std::string shown = copy->DataBytes();
        if (page->Record().U8(195) >= 2 && (data[0] & 1) == 0 && !text.empty())
            Check(shown.size() == text.size() + (text.size() > 1 && text.back() != '\0' ? 1 : 0));
        Check(copy->Instances().size() == copy->TagPositions().size());
        for (std::size_t n = 0; n < copy->Instances().size(); ++n) {
            TOVKtesto* holder = copy->TagTexts()[n];
            const std::string holderText = holder->DataBytes();
            const std::size_t dollar = copy->TagPositions()[n];
            Check(dollar >= 1 && dollar + 9 < holderText.size());
            const auto ref = ReadObjectTag(holderText, dollar - 1);
            Check(ref && *ref == (0xFF000000u | static_cast<std::uint32_t>(n)));
        }
        for (std::size_t p = 0; p < copy->LocalLinks().size(); ++p)
            Check(copy->ResolveLocal(static_cast<std::int32_t>(0x6F000000u + p)) ==
                  copy->LocalLinks()[p].get());
        (void)PreviousInSequence(*page);
        (void)NextInSequence(*page);
    }
    SetMessages(nullptr);
    return 0;
}
