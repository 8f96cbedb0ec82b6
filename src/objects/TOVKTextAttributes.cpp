#include "objects/TOVKTextAttributes.h"

#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKtesto.h"
#include "text/ParagraphOwner.h"
#include "text/TOVKparag.h"

#include <algorithm>

namespace morvell {

namespace {

using K = TOggettiHel;

SelectionConverter& RtfConverter() {
    static SelectionConverter converter;
    return converter;
}
SelectionConverter& PlainConverter() {
    static SelectionConverter converter;
    return converter;
}

void PutI32(std::string& out, std::int32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
}

template <class F> void ForEachSelected(const ParagraphList& list, TextPoint from, TextPoint to, F f) {
    const int count = static_cast<int>(list.size());
    if (from.paragraph < 0 || from.paragraph >= count) return;
    const int last = std::min(to.paragraph, count - 1);
    for (int p = from.paragraph; p <= last; ++p) {
        const TOVKparag& para = *list[static_cast<std::size_t>(p)];
        const int start = p == from.paragraph ? std::max(from.character, 0) : 0;
        const int end = p == to.paragraph ? std::min(to.character, para.Length()) : para.Length();
        f(para, p, start, end);
    }
}

// RTF of plain characters, for use until the exporter installs the real converter: every
// paragraph becomes one \par, bytes above 127 are written as \'hh in the ebook's code page.
std::string MinimalRtf(const std::string& plain) {
    static const char* kHex = "0123456789abcdef";
    std::string out = "{\\rtf1\\ansi\\deff0 ";
    for (unsigned char c : plain) {
        if (c == '\n')
            out += "\\par\n";
        else if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 128) {
            out += "\\'";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else
            out += static_cast<char>(c);
    }
    out += "}";
    return out;
}

} // namespace

void TOVKTextAttributes::SetRtfConverter(SelectionConverter converter) {
    RtfConverter() = std::move(converter);
}
void TOVKTextAttributes::SetPlainTextConverter(SelectionConverter converter) {
    PlainConverter() = std::move(converter);
}

int TOVKTextAttributes::FontAtPosition(int position, TMyFont& font, std::uint32_t& link) const {
    link = kNoLink;
    if (!m_source) return -1;
    const ParagraphList& list = m_source->SourceParagraphs();
    TextPoint at;
    int shift = 0;
    switch (position) {
    case kBeforeCaret:
        at = m_source->SourceCaret();
        shift = -1;
        break;
    case kAtCaret:
        at = m_source->SourceCaret();
        break;
    case kAfterCaret:
        at = m_source->SourceCaret();
        shift = 1;
        break;
    case kBeforeSelectionStart:
        at = m_source->SourceSelectionStart();
        shift = -1;
        break;
    case kAtSelectionStart:
        at = m_source->SourceSelectionStart();
        break;
    case kAtSelectionEnd:
        at = m_source->SourceSelectionEnd();
        break;
    case kBeforeSelectionEnd:
        at = m_source->SourceSelectionEnd();
        shift = -1;
        break;
    default:
        return -1;
    }
    if (at.paragraph < 0 || at.paragraph >= static_cast<int>(list.size())) return -1;
    const TOVKparag& p = *list[static_cast<std::size_t>(at.paragraph)];
    const int c = std::clamp(at.character + shift, 0, p.Length());
    font = p.FontAt(c);
    if (c < static_cast<int>(p.Chars().size())) link = p.Chars()[static_cast<std::size_t>(c)].LinkRef;
    return at.paragraph;
}

TOVKoggetto* TOVKTextAttributes::ResolveLink(std::uint32_t ref) const {
    if (ref == kNoLink) return nullptr;
    const auto r = static_cast<std::int32_t>(ref);
    if (TOVKtesto* text = m_source->SourceTextObject()) return text->ResolveLocal(r);
    TOVKset* doc = m_source->SourceDocument();
    return doc ? doc->ObjectByRef(r) : nullptr;
}

void TOVKTextAttributes::AddLink(TOVKoggetto* link, int depth) {
    if (!link || depth > kMaxLinkDepth) return;
    if (link->Kind() != K::internetLink && link->Kind() != K::speclink) return;
    if (std::find(m_links.begin(), m_links.end(), link) != m_links.end()) return;
    m_links.push_back(link);
    // A special link carries its target along, so the pasted copy still leads somewhere.
    if (link->Kind() == K::speclink) AddLink(link->Resolve(link->Record().I32(13)), depth + 1);
}

void TOVKTextAttributes::AddSupport(TOVKoggetto* object) {
    if (!object) return;
    if (std::find(m_support.begin(), m_support.end(), object) != m_support.end()) return;
    m_support.push_back(object);
}

void TOVKTextAttributes::AddPicture(std::int32_t index) {
    TOVKset* doc = m_source->SourceDocument();
    if (!doc || index < 0 || index > 0xFFFFFF) return;
    AddSupport(doc->Object(K::immagine, index));
}

void TOVKTextAttributes::Collect(int mode) {
    m_links.clear();
    m_support.clear();
    m_instances.clear();
    TOVKset* doc = m_source->SourceDocument();
    ForEachSelected(m_source->SourceParagraphs(), m_source->SourceSelectionStart(),
                    m_source->SourceSelectionEnd(), [&](const TOVKparag& para, int, int start, int end) {
                        if (mode == 0 && doc) AddSupport(doc->Object(K::stileParagrafo, para.StyleIndex()));
                        const auto& chars = para.Chars();
                        for (int i = start; i < end && i < static_cast<int>(chars.size()); ++i) {
                            const TCharInfo& ci = chars[static_cast<std::size_t>(i)];
                            if (ci.LinkRef != kNoLink) AddLink(ResolveLink(ci.LinkRef), 0);
                            TOVKoggetto* object = para.ObjectAt(i);
                            if (!object) continue;
                            if (std::find(m_instances.begin(), m_instances.end(), object) ==
                                m_instances.end())
                                m_instances.push_back(object);
                        }
                    });
    for (TOVKoggetto* object : m_instances) {
        const OVKRecord& r = object->Record();
        switch (object->Kind()) {
        case K::immagineNew:
            if (mode == 0) {
                AddPicture(r.I32(0));
                AddPicture(r.I32(9));
                AddPicture(r.I32(5));
            }
            if (object->IsFloating()) AddLink(object->Resolve(r.I32(69)), 0);
            break;
        case K::tabellaHtml:
            AddSupport(object->ShownObject());
            break;
        case K::bottoneCGI:
            if (mode == 0) AddSupport(object->ShownObject());
            AddLink(object->Resolve(r.I32(181)), 0);
            break;
        case K::dbloc:
            if (mode == 0) AddSupport(object->Resolve(r.I32(47)));
            break;
        default:
            break;
        }
    }
}

TOVKoggetto* TOVKTextAttributes::WriteSelection(std::string& out, int mode) {
    m_mode = mode;
    if (!m_source) return nullptr;
    const TextPoint from = m_source->SourceSelectionStart();
    const TextPoint to = m_source->SourceSelectionEnd();
    if (from.paragraph < 0 || to.paragraph < 0) return nullptr;
    Collect(mode);

    PutI32(out, kFormatVersion);
    PutI32(out, static_cast<std::int32_t>(m_links.size()));
    for (TOVKoggetto* link : m_links) {
        PutI32(out, static_cast<std::int32_t>(link->Kind()));
        PutI32(out, link->LocalReference() != -1 ? link->LocalReference() : link->Reference());
        link->WriteToStream(out);
    }
    PutI32(out, static_cast<std::int32_t>(m_support.size()));
    for (TOVKoggetto* object : m_support) {
        PutI32(out, static_cast<std::int32_t>(object->Kind()));
        object->WriteToStream(out);
    }
    PutI32(out, static_cast<std::int32_t>(m_instances.size()));
    TOVKoggetto* picture = nullptr;
    for (TOVKoggetto* object : m_instances) {
        PutI32(out, static_cast<std::int32_t>(object->Kind()));
        PutI32(out, object->ControlNumber());
        object->WriteToStream(out);
        if (!picture && object->Kind() == K::immagineNew) picture = object->ShownObject();
    }
    PutI32(out, to.paragraph - from.paragraph + 1);
    // The paragraph stream ends with its own 0 byte, which closes the format.
    WriteRange(out, m_source->SourceParagraphs(), from, to, mode == 0 ? 0 : 1);
    return picture;
}

std::string TOVKTextAttributes::SelectionStream() const {
    std::string out;
    if (m_source)
        WriteRange(out, m_source->SourceParagraphs(), m_source->SourceSelectionStart(),
                   m_source->SourceSelectionEnd(), 0);
    return out;
}

std::string TOVKTextAttributes::PlainCharacters() const {
    std::string out;
    if (!m_source) return out;
    bool first = true;
    ForEachSelected(m_source->SourceParagraphs(), m_source->SourceSelectionStart(),
                    m_source->SourceSelectionEnd(), [&](const TOVKparag& para, int, int start, int end) {
                        if (!first) out += '\n';
                        first = false;
                        for (int i = start; i < end; ++i)
                            // An embedded object's place holds a space that is not text.
                            if (!para.ObjectAt(i)) out += para.Text()[static_cast<std::size_t>(i)];
                    });
    return out;
}

std::string TOVKTextAttributes::WriteRtf() const {
    if (RtfConverter())
        return RtfConverter()(SelectionStream(), m_source ? m_source->SourceDocument() : nullptr);
    return MinimalRtf(PlainCharacters());
}

std::string TOVKTextAttributes::WritePlainText() const {
    if (PlainConverter())
        return PlainConverter()(SelectionStream(), m_source ? m_source->SourceDocument() : nullptr);
    return PlainCharacters();
}

} // namespace morvell
