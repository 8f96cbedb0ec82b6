#include "objects/OldMarkup.h"

#include "document/TOVKset.h"
#include "objects/Entities.h"
#include "objects/PageCopyTexts.h"
#include "objects/TOVKoggetto.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace morvell {

namespace {

using K = TOggettiHel;

constexpr int kIndentStep = 40;
// Indents only grow by nested list tags; a hostile text repeating them must not overflow.
constexpr int kMaxIndent = 1 << 20;
constexpr int kFontSizes[7] = {8, 10, 12, 14, 19, 27, 34};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

// 0x00BBGGRR as the markup writes colours: RRGGBB.
std::string Rgb(std::uint32_t colour) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (int shift : {0, 8, 16}) {
        const unsigned byte = (colour >> shift) & 0xFF;
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
    }
    return out;
}

std::string Hex8(std::uint32_t ref) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out(8, '0');
    for (int i = 0; i < 8; ++i) out[static_cast<std::size_t>(i)] = kDigits[(ref >> (28 - 4 * i)) & 0xF];
    return out;
}

struct Font {
    std::string name = pagecopytext::kOldMarkupFont;
    int size = 10;
    int style = 0;
    std::uint32_t colour = 0;
};

class Converter {
public:
    explicit Converter(TOVKoggetto& page) : m_document(page.Document()), m_linkColour(page.Record().U32(93)) {
        m_initialFont.colour = page.Record().U32(89);
        m_font = m_initialFont;
    }

    std::string Run(std::string_view in) {
        m_out = "<Z S0 C" + Rgb(m_linkColour) + " >";
        std::size_t i = 0;
        while (i < in.size()) {
            const char c = in[i];
            if (c != '<') {
                const auto byte = static_cast<unsigned char>(c);
                if (byte >= 1 && byte <= 31) {
                    ++i;
                    continue;
                }
                if (m_fontPending) RunTag();
                m_hasContent = true;
                if (c == '&') {
                    char decoded = 0;
                    const std::size_t length = std::min(DecodeEntityAt(in, i, decoded), in.size() - i);
                    m_out.append(in.substr(i, std::max<std::size_t>(length, 1)));
                    i += std::max<std::size_t>(length, 1);
                } else {
                    m_out += c;
                    ++i;
                }
                continue;
            }
            const std::size_t close = in.find('>', i);
            const std::size_t end = close == std::string_view::npos ? in.size() : close + 1;
            const std::string_view tag = in.substr(i, end - i);
            if (!Tag(tag)) m_out.append(tag);
            i = end;
        }
        return std::move(m_out);
    }

private:
    // Upper-cased character `n` (0-based) of the tag, 0 past its end.
    static char At(std::string_view tag, std::size_t n) {
        return n < tag.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(tag[n]))) : '\0';
    }
    static bool Starts(std::string_view tag, std::string_view prefix) {
        for (std::size_t n = 0; n < prefix.size(); ++n)
            if (At(tag, n) != prefix[n]) return false;
        return true;
    }

    void RunTag() {
        m_out += "<Y c" + Rgb(m_font.colour) + " F\"" + m_font.name + "\" s" + std::to_string(m_font.size) +
                 " y" + std::to_string(m_font.style & 3) + " p0 >";
        m_fontPending = false;
    }

    void ParagraphTag() {
        m_out += m_cells > 0 ? "<Z S1 " : "<Z S0 ";
        m_out += "A" + std::to_string(m_alignment) + " ";
        if (m_indent > 0) m_out += "l" + std::to_string(m_indent) + " ";
        m_out += "C" + Rgb(m_linkColour) + " >";
        m_hasContent = false;
        RunTag();
    }

    void FontChange() { m_fontPending = true; }

    // Handles one tag; false when it neither writes anything nor changes the font, and is
    // then copied as it is.
    bool Tag(std::string_view tag) {
        if (Starts(tag, "</")) {
            if (Starts(tag, "</B")) {
                m_font.style &= ~1;
            } else if (Starts(tag, "</I")) {
                m_font.style &= ~2;
            } else if (Starts(tag, "</P") || Starts(tag, "</TT")) {
                m_font.name = pagecopytext::kOldMarkupFont;
            } else if (Starts(tag, "</U")) {
                m_indent = std::max(0, m_indent - kIndentStep);
                ParagraphTag();
                return true;
            } else {
                return false;
            }
            FontChange();
            return true;
        }
        if (Starts(tag, "<$")) return ObjectTag(tag);
        if (Starts(tag, "<%")) {
            m_out += "<%>";
            return true;
        }
        if (Starts(tag, "<B>")) {
            m_font.style |= 1;
            FontChange();
            return true;
        }
        if (Starts(tag, "<B") || Starts(tag, "<L")) {
            ParagraphTag();
            return true;
        }
        if (Starts(tag, "<C")) {
            m_alignment = 2;
            ParagraphTag();
            return true;
        }
        if (Starts(tag, "<DI")) {
            m_alignment = At(tag, 11) == 'R' ? 1 : 0;
            ParagraphTag();
            return true;
        }
        if (Starts(tag, "<F")) {
            if (At(tag, 6) == 'C') {
                std::uint32_t rgb = 0;
                for (std::size_t n = 13; n < 19; ++n)
                    rgb = (rgb << 4) | static_cast<std::uint32_t>(HexDigit(n < tag.size() ? tag[n] : '0'));
                m_font.colour = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
            } else if (At(tag, 6) == 'S' && At(tag, 11) >= '1' && At(tag, 11) <= '7') {
                m_font.size = kFontSizes[At(tag, 11) - '1'];
            } else {
                return false;
            }
            FontChange();
            return true;
        }
        if (Starts(tag, "<I")) {
            m_font.style |= 2;
            FontChange();
            return true;
        }
        if (Starts(tag, "<TE") || Starts(tag, "<TF")) {
            --m_cells;
            if (At(tag, 2) == 'F') {
                m_alignment = m_lastTableAlignment;
            } else if (!m_alignments.empty()) {
                m_alignment = m_alignments.back();
                m_alignments.pop_back();
            }
            m_font = m_initialFont;
            m_indent = 0;
            m_out += "<T>";
            ParagraphTag();
            return true;
        }
        if (Starts(tag, "<P") || Starts(tag, "<TT")) {
            m_font.name = pagecopytext::kOldMarkupFixedFont;
            FontChange();
            return true;
        }
        if (Starts(tag, "<U")) {
            m_indent = std::min(kMaxIndent, m_indent + kIndentStep);
            ParagraphTag();
            return true;
        }
        return false;
    }

    // Registers `object` in the document (which owns it from then on) and answers it.
    TOVKoggetto* RegisterNew(std::unique_ptr<TOVKoggetto> object) {
        object->SetDocument(m_document);
        TOVKoggetto* raw = object.release();
        raw->Register(-1);
        return raw;
    }

    bool ObjectTag(std::string_view tag) {
        if (tag.size() < 10) return false;
        std::uint32_t ref = 0;
        for (std::size_t n = 2; n < 10; ++n) ref = (ref << 4) | static_cast<std::uint32_t>(HexDigit(tag[n]));
        const int kind = static_cast<int>(ref >> 24);
        TOVKoggetto* object = m_document && ref <= 0x7FFFFFFFu
                                  ? m_document->ObjectByRef(static_cast<std::int32_t>(ref))
                                  : nullptr;
        std::string text(tag);

        if (kind == static_cast<int>(K::zipLink)) {
            text = "<$" + Hex8(object ? static_cast<std::uint32_t>(object->Reference()) : 0) + ">";
        } else if ((kind == static_cast<int>(K::immagine) || kind == static_cast<int>(K::mappaClic)) &&
                   object && object->Kind() == K::immagine && !object->IsFree()) {
            auto picture = std::make_unique<TOVKoggetto>();
            picture->Assign(*object); // becomes an immagineNew showing the picture
            object = RegisterNew(std::move(picture));
            text = "<$" + Hex8(static_cast<std::uint32_t>(object->Reference())) + ">";
        } else if (kind == static_cast<int>(K::inputStat) && object && object->Kind() == K::inputStat &&
                   object->Record().U8(4) >= 10 && object->Record().U8(4) <= 14) {
            auto marker = std::make_unique<TOVKoggetto>();
            marker->Assign(*object);
            marker->SetKind(K::shortObj);
            object->Reset();
            object = RegisterNew(std::move(marker));
            text = "<$" + Hex8(static_cast<std::uint32_t>(object->Reference())) + ">";
        }

        // An old file link that leads nowhere is still a link, not an object of the text.
        K effective = object ? object->Kind() : static_cast<K>(std::min(kind, static_cast<int>(K::none)));
        if (kind == static_cast<int>(K::zipLink)) effective = K::genLink;
        if (effective == K::internetLink || effective == K::genLink || effective == K::programma ||
            effective == K::speclink) {
            m_out += text;
            return true;
        }
        const bool table = object && effective == K::tabellaHtml;
        if (table) {
            m_alignments.push_back(m_alignment);
            if (m_hasContent) ParagraphTag();
            switch (object->Record().U8(95)) {
            case 0:
                m_alignment = 0;
                break;
            case 1:
                m_alignment = 1;
                break;
            case 3:
                m_alignment = 3;
                break;
            default:
                m_alignment = 2;
                break;
            }
            m_lastTableAlignment = m_alignment;
            m_cells += static_cast<std::int64_t>(object->Record().U8(93)) * object->Record().U8(94);
            m_font = m_initialFont;
        }
        if (m_fontPending) RunTag();
        m_out += text;
        if (table) ParagraphTag();
        if (effective == K::shortObj || effective == K::immagineNew ||
            (effective >= K::inputStat && effective <= K::multiMedia))
            m_hasContent = true;
        return true;
    }

    TOVKset* m_document;
    std::uint32_t m_linkColour;
    Font m_initialFont;
    Font m_font;
    // Pending from the start, so that the first text carries the page's own text colour.
    bool m_fontPending = true;
    bool m_hasContent = false;
    int m_alignment = 0;
    int m_indent = 0;
    std::int64_t m_cells = 0;
    std::vector<int> m_alignments;
    int m_lastTableAlignment = 0;
    std::string m_out;
};

bool NeedsConversion(const TOVKoggetto& page) {
    return page.Kind() == K::testoHtml && page.Record().U8(195) < 2 && page.HasData();
}

} // namespace

void ConvertOldMarkup(TOVKoggetto& page) {
    if (!NeedsConversion(page)) return;
    Converter converter(page);
    page.SetData(converter.Run(page.DataBytes()));
    page.Record().SetU8(195, 2);
}

void ConvertOldMarkupOfCopy(TOVKoggetto& copy) {
    if (!NeedsConversion(copy)) return;
    TOVKset* document = copy.Document();
    TOVKoggetto* original = document && !copy.Registered() && copy.Index() >= 0
                                ? document->Object(K::testoHtml, copy.Index())
                                : nullptr;
    if (original && original != &copy && original->Registered() && NeedsConversion(*original)) {
        std::string text = copy.DataBytes();
        if (original->DataBytes() == text) {
            ConvertOldMarkup(*original);
            copy.SetData(original->DataBytes());
            copy.Record().SetU8(195, 2);
            return;
        }
    }
    ConvertOldMarkup(copy);
}

void InstallOldMarkupConverter() { SetOldMarkupConverter(&ConvertOldMarkupOfCopy); }

} // namespace morvell
