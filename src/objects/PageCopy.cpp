#include "objects/PageCopy.h"

#include "document/TOVKset.h"
#include "objects/OldMarkup.h"
#include "objects/PageCopyTexts.h"
#include "platform/Messages.h"

#include <utility>

namespace morvell {

namespace {

using K = TOggettiHel;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

// Kinds whose tags a display copy takes over; tags of other kinds are page links or foreign
// and are left for the paragraph reader.
bool CopiedKind(int kind) {
    switch (static_cast<K>(kind)) {
    case K::internetLink:
    case K::tabellaHtml:
    case K::speclink:
    case K::shortObj:
    case K::dbloc:
    case K::immagineNew:
    case K::inputStat:
    case K::inputDin:
    case K::bottoneCGI:
    case K::inizioForm:
    case K::multiMedia:
        return true;
    default:
        return false;
    }
}

bool IsLinkObject(K kind) { return kind == K::internetLink || kind == K::speclink || kind == K::shortObj; }

std::size_t CopiedSize(const TOVKoggetto& object) {
    return static_cast<std::size_t>(OVKRecord::kSize) + object.DataBytes().size() + object.Extra().size();
}

// One display copy in the making: where its private objects go and what it may still copy.
struct CopyContext {
    TOVKset* document = nullptr;
    TOVKtesto* owner = nullptr;
    TInsiemeCornici* frameSet = nullptr;
    bool fromHeaderOrFooter = false;
    std::size_t used = 0;

    bool MayCopy() const { return used < kMaxCopyBytes; }

    std::unique_ptr<TOVKoggetto> CopyOf(const TOVKoggetto& source) {
        auto copy = std::make_unique<TOVKoggetto>();
        copy->Assign(source);
        copy->SetFromHeaderOrFooter(fromHeaderOrFooter);
        used += CopiedSize(*copy);
        return copy;
    }
};

void ResolveNested(TOVKoggetto& object, int depth, CopyContext& context);

// What a reference field of a private copy becomes: nothing, the document's object, or a
// private copy of the link it names in the owner's local link list.
std::int32_t CopiedReference(std::int32_t ref, int depth, CopyContext& context) {
    TOVKoggetto* target = context.document ? context.document->ObjectByRef(ref) : nullptr;
    if (!target) return -1;
    if (!IsLinkObject(target->Kind())) return target->Reference();
    if (!context.MayCopy()) return ref;
    std::unique_ptr<TOVKoggetto> copy = context.CopyOf(*target);
    ResolveNested(*copy, depth + 1, context);
    return AddToLocalLinks(copy, context.owner);
}

void ResolveNested(TOVKoggetto& object, int depth, CopyContext& context) {
    if (depth > kMaxLinkDepth) return;
    OVKRecord& rec = object.Record();
    auto field = [&](int offset) { rec.SetI32(offset, CopiedReference(rec.I32(offset), depth, context)); };
    switch (object.Kind()) {
    case K::speclink:
        field(13);
        break;
    case K::shortObj:
        if (rec.U8(4) == 13) field(5);
        break;
    case K::immagineNew:
        for (int zone = 0; zone < 30; ++zone) field(73 + 16 * zone);
        if (object.IsFloating()) field(69);
        break;
    case K::bottoneCGI:
        field(181);
        break;
    default:
        break;
    }
}

std::unique_ptr<TOVKtesto> MakeCopy(TOVKoggetto& page, int headerOrFooter, TOVKtesto* owner,
                                    CopyContext& context);

// Header and footer pages: the page's own choice, or the document's default when it has none.
TOVKoggetto* HeaderOrFooterPage(const TOVKoggetto& page, int offset, std::int32_t documentDefault) {
    TOVKset* document = page.Document();
    std::int32_t index = page.Record().I32(offset);
    if (index == -1) index = documentDefault;
    if (!document || index < 0 || index > 0xFFFFFF) return nullptr;
    TOVKoggetto* other = document->Object(K::testoHtml, index);
    // A deleted header page is an empty slot, not a header.
    return other && !other->IsFree() ? other : nullptr;
}

void ProcessTags(TOVKtesto& copy, int headerOrFooter, CopyContext& context) {
    std::string text = copy.DataBytes();
    for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        if (at + 1 >= text.size() || text[at + 1] != '$') continue;
        const std::optional<std::uint32_t> ref = ReadObjectTag(text, at);
        if (!ref) continue;
        const int kind = static_cast<int>(*ref >> 24);
        if (!CopiedKind(kind)) {
            at += 9;
            continue;
        }
        TOVKoggetto* source =
            context.document ? context.document->ObjectByRef(static_cast<std::int32_t>(*ref)) : nullptr;
        if (!source || source->IsFree() || !context.MayCopy()) {
            text.replace(at, 11, pagecopytext::kMissingObjectMark);
            at += 10;
            continue;
        }
        std::unique_ptr<TOVKoggetto> copyOfSource = context.CopyOf(*source);
        copyOfSource->SetFrameSet(context.frameSet);
        ResolveNested(*copyOfSource, 0, context);
        copyOfSource->SetFromHeaderOrFooter(headerOrFooter > 0);
        std::uint32_t rewritten = 0;
        if (source->Kind() == K::internetLink || source->Kind() == K::speclink) {
            rewritten = static_cast<std::uint32_t>(AddToLocalLinks(copyOfSource, context.owner));
        } else {
            const std::size_t position = context.owner->AddInstance(std::move(copyOfSource), &copy, at + 1);
            rewritten = 0xFF000000u | (static_cast<std::uint32_t>(position) & 0xFFFFFFu);
        }
        WriteTagReference(text, at + 1, rewritten);
        at += 9;
    }
    copy.SetData(std::move(text));
}

std::unique_ptr<TOVKtesto> MakeCopy(TOVKoggetto& page, int headerOrFooter, TOVKtesto* owner,
                                    CopyContext& context) {
    page.SetFrameSet(context.frameSet);
    auto copy = std::make_unique<TOVKtesto>();
    copy->Assign(page);
    if (!owner) owner = copy.get();
    copy->SetFrameSet(context.frameSet);
    context.owner = owner;
    context.fromHeaderOrFooter = headerOrFooter > 0;

    if (!copy->HasData()) copy->InitNew();
    std::string text = copy->DataBytes();
    if (text.empty()) {
        text = pagecopytext::kEmptyParagraph;
        text += '\0';
        copy->SetData(std::move(text));
    } else if (text.size() > 1 && text.back() != '\0') {
        text += '\0';
        copy->SetData(std::move(text));
    }

    ProcessTags(*copy, headerOrFooter, context);

    if (headerOrFooter == 0 && copy->Document()) {
        const OVKHeader& header = copy->Document()->Header();
        if (TOVKoggetto* headerPage = HeaderOrFooterPage(*copy, 231, header.DefaultHeader()))
            copy->SetHeaderCopy(MakeCopy(*headerPage, 1, copy.get(), context));
        if (TOVKoggetto* footerPage = HeaderOrFooterPage(*copy, 235, header.DefaultFooter()))
            copy->SetFooterCopy(MakeCopy(*footerPage, 1, copy.get(), context));
    }
    return copy;
}

// Browse sequence: the nearest page of the same group before (`step` -1) or after (+1).
std::int32_t SequenceNeighbour(const TOVKoggetto& page, int step) {
    const OVKRecord& rec = page.Record();
    const int group = rec.I16(77);
    const int position = rec.I16(79);
    TOVKset* document = page.Document();
    if (position < 0 || rec.U8(189) != 0 || !document) return page.Index();
    std::int32_t best = page.Index();
    int bestPosition = 0;
    bool found = false;
    const int count = document->Count(K::testoHtml);
    for (int i = 0; i < count; ++i) {
        const TOVKoggetto* other = document->Object(K::testoHtml, i);
        if (!other || other->IsFree()) continue;
        const OVKRecord& o = other->Record();
        const int otherPosition = o.I16(79);
        if (o.I16(77) != group || otherPosition < 0 || o.U8(189) != 0) continue;
        if (step < 0 ? otherPosition >= position : otherPosition <= position) continue;
        if (!found || (step < 0 ? otherPosition > bestPosition : otherPosition < bestPosition)) {
            found = true;
            best = i;
            bestPosition = otherPosition;
            if (otherPosition == position + step) break;
        }
    }
    return best;
}

} // namespace

std::optional<std::uint32_t> ReadObjectTag(std::string_view text, std::size_t lt) {
    if (lt >= text.size() || text.size() - lt < 11 || text[lt] != '<' || text[lt + 1] != '$' ||
        text[lt + 10] != '>')
        return std::nullopt;
    std::uint32_t ref = 0;
    for (std::size_t i = 0; i < 8; ++i)
        ref = (ref << 4) | static_cast<std::uint32_t>(HexDigit(text[lt + 2 + i]));
    return ref;
}

void WriteTagReference(std::string& text, std::size_t dollar, std::uint32_t ref) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    if (dollar >= text.size() || text.size() - dollar < 9) return;
    for (std::size_t i = 0; i < 8; ++i) text[dollar + 1 + i] = kDigits[(ref >> (28 - 4 * i)) & 0xF];
}

std::unique_ptr<TOVKtesto> MakeDisplayCopy(TOVKoggetto& page, int headerOrFooter, TOVKtesto* owner,
                                           TInsiemeCornici* frameSet) {
    // Copies of old pages are converted as they are made.
    InstallOldMarkupConverter();
    CopyContext context;
    context.document = page.Document();
    context.frameSet = frameSet;
    return MakeCopy(page, headerOrFooter, owner, context);
}

std::int32_t AddToLocalLinks(std::unique_ptr<TOVKoggetto>& object, TOVKtesto* copy) {
    if (!copy) {
        Msg().Error(pagecopytext::kNoCopyForLocalLink);
        return -1;
    }
    if (!object) return -1;
    if (object->Registered() || !IsLinkObject(object->Kind())) return object->Reference();
    if (object->LocalReference() != -1) return object->LocalReference();
    return copy->AddLocalLink(std::move(object));
}

std::int32_t PreviousInSequence(const TOVKoggetto& page) { return SequenceNeighbour(page, -1); }
std::int32_t NextInSequence(const TOVKoggetto& page) { return SequenceNeighbour(page, +1); }

} // namespace morvell
