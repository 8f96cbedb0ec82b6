#include "objects/picture/PictureClipboard.h"

#include "document/TOVKset.h"
#include "objects/PageCopy.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKpicture.h"
#include "objects/picture/PictureClipboardBlock.h"
#include "objects/picture/PictureObject.h"
#include "objects/picture/PictureTexts.h"
#include "platform/Messages.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace morvell {
namespace {

using K = TOggettiHel;

constexpr int kZoneCount = 30;
constexpr int kFirstZoneLink = 73; // int32 link ref at the start of each 16-byte zone entry
constexpr int kZoneSize = 16;
constexpr int kFloatingLink = 69;
constexpr int kSpeclinkTarget = 13;
constexpr int kImmagineName = 5; // string[71]
constexpr int kImmagineNameCapacity = 71;
constexpr int kInstanceName = 28; // string[32]: a longer name loses its end, "=" included
constexpr int kInstanceNameCapacity = 32;

std::string MemoryForm(const TOVKoggetto& object) {
    std::string form;
    object.WriteToStream(form);
    return form;
}

// The link objects a placed picture uses, each once. A special link brings its target along,
// so the pasted copy still leads somewhere; the depth bound and the visited list together end
// any loop of special links, whether in the document or in a page copy's chain of copies.
class LinkCollector {
public:
    void Add(TOVKoggetto* link, int depth) {
        if (link == nullptr || depth > kMaxLinkDepth) return;
        if (link->Kind() != K::internetLink && link->Kind() != K::speclink) return;
        if (std::find(m_links.begin(), m_links.end(), link) != m_links.end()) return;
        m_links.push_back(link);
        if (link->Kind() == K::speclink) Add(link->Resolve(link->Record().I32(kSpeclinkTarget)), depth + 1);
    }
    const std::vector<TOVKoggetto*>& Links() const { return m_links; }

private:
    std::vector<TOVKoggetto*> m_links;
};

std::vector<ClipboardLinkObject> LinksOf(const TOVKoggetto& picture) {
    // The zone links of a shown picture name entries of its page copy's local link list; only
    // the control ties the object to that copy.
    if (picture.CurrentVisual() == nullptr) {
        Msg().Information(kTextCopyWithoutLinks);
        return {};
    }
    LinkCollector collector;
    const OVKRecord& r = picture.Record();
    for (int zone = 0; zone < kZoneCount; ++zone)
        collector.Add(picture.Resolve(r.I32(kFirstZoneLink + kZoneSize * zone)), 0);
    if (picture.IsFloating()) collector.Add(picture.Resolve(r.I32(kFloatingLink)), 0);

    std::vector<ClipboardLinkObject> links;
    for (const TOVKoggetto* link : collector.Links()) {
        const std::int32_t local = link->LocalReference();
        links.push_back({static_cast<std::int32_t>(link->Kind()), local != -1 ? local : link->Reference(),
                         MemoryForm(*link)});
    }
    return links;
}

// The `immagine` objects a placed picture names, slot by slot in record order.
std::vector<std::string> PicturesOf(const TOVKoggetto& picture) {
    std::vector<std::string> forms;
    const TOVKset* document = picture.Document();
    if (document == nullptr) return forms;
    for (PictureSlot slot : {PictureSlot::Picture, PictureSlot::Extra, PictureSlot::Rollover})
        if (const TOVKoggetto* immagine = document->Object(K::immagine, picture.PictureIndex(slot)))
            forms.push_back(MemoryForm(*immagine));
    return forms;
}

// The placed picture a pasted `immagine` becomes: a fresh object naming it, at its own size.
std::unique_ptr<TOVKoggetto> InstanceFor(const TOVKoggetto& immagine) {
    std::unique_ptr<TOVKoggetto> instance = TOVKoggetto::Create(K::immagineNew);
    instance->Reset();
    instance->InitNew();
    const OVKRecord& source = immagine.Record();
    OVKRecord& r = instance->Record();
    r.SetU8(4, 1);
    r.SetStr(kInstanceName, kInstanceNameCapacity,
             CopyInstanceName(source.Str(kImmagineName, kImmagineNameCapacity)));
    r.SetI32(static_cast<int>(PictureSlot::Picture), immagine.Index());
    const std::uint16_t width = source.U16(85);
    const std::uint16_t height = source.U16(87);
    for (int offset : {15, 19}) r.SetU16(offset, width);
    for (int offset : {17, 21}) r.SetU16(offset, height);
    return instance;
}

} // namespace

std::optional<PictureClipboardContents> AssemblePictureClipboard(TOVKoggetto& object) {
    const K kind = object.Kind();
    if (kind != K::immagine && kind != K::immagineNew) {
        Msg().Error(kTextAllowedOnlyForImmagine);
        return std::nullopt;
    }
    PictureClipboardParts parts;
    // The links first: their information box may let the page repaint, and a repaint may
    // evict cached pictures, so the picture is fetched only after it.
    if (kind == K::immagineNew) parts.links = LinksOf(object);

    PictureClipboardContents contents;
    // Fetching the picture also writes an `immagine`'s stored size, which its memory form and
    // the instance's size below are read from.
    if (const TOVKpicture* picture = object.GetPicture(); picture != nullptr && !picture->IsEmpty())
        contents.picture = picture->Shared();

    if (kind == K::immagine) {
        parts.supportForms.push_back(MemoryForm(object));
        parts.instanceForm = MemoryForm(*InstanceFor(object));
    } else {
        parts.supportForms = PicturesOf(object);
        // A picture from outside the ebook travels by its path.
        if (object.PictureIndex(PictureSlot::Picture) == -1 && object.OwnPicture() != nullptr)
            object.SetAttribute(kAttributeExternalFile, object.OwnPicture()->ImageNameL());
        parts.instanceForm = MemoryForm(object);
    }
    contents.block = BuildPictureClipboardBlock(parts);
    return contents;
}

} // namespace morvell
