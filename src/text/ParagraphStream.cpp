#include "text/ParagraphStream.h"

#include "objects/Entities.h"

#include "objects/TOVKoggetto.h"
#include "text/ParagraphOwner.h"
#include "text/TOVKparag.h"
#include "text/TextTexts.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace morvell::paragraphstream {

namespace {

constexpr std::size_t kValueSearch = 12;

// The characters of a value: up to the next space in the next 12 characters (the space is
// consumed), up to the text's 0 byte (not consumed), or the 12 characters and the one after.
std::optional<std::string_view> ValueText(std::string_view data, std::size_t end, std::size_t& pos) {
    const bool zeroEnds = end < data.size();
    for (std::size_t k = 0; k < kValueSearch; ++k) {
        const std::size_t q = pos + k;
        if (q >= end) {
            if (!zeroEnds) return std::nullopt;
            std::string_view v = data.substr(pos, end - pos);
            pos = end;
            return v;
        }
        if (data[q] == ' ') {
            std::string_view v = data.substr(pos, k);
            pos = q + 1;
            return v;
        }
    }
    std::string_view v = data.substr(pos, kValueSearch);
    pos = std::min(pos + kValueSearch + 1, end);
    return v;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

} // namespace

std::optional<std::int32_t> ReadDecimal(std::string_view data, std::size_t end, std::size_t& pos) {
    std::size_t q = pos;
    auto text = ValueText(data, end, q);
    if (!text) return std::nullopt;
    std::int64_t value = 0;
    bool negative = false;
    std::size_t i = 0;
    if (!text->empty() && (*text)[0] == '-') {
        negative = true;
        i = 1;
    }
    // No digit check: every character counts as its code minus '0', as the files expect.
    for (; i < text->size(); ++i) value = value * 10 + (static_cast<unsigned char>((*text)[i]) - 48);
    pos = q;
    const auto wrapped =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
    return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(wrapped)) : wrapped;
}

std::optional<std::uint32_t> ReadColour(std::string_view data, std::size_t end, std::size_t& pos) {
    std::size_t q = pos;
    auto text = ValueText(data, end, q);
    if (!text) return std::nullopt;
    std::array<int, 6> d{};
    for (std::size_t i = 0; i < 6 && i < text->size(); ++i) d[i] = HexDigit((*text)[i]);
    pos = q;
    const std::uint32_t red = static_cast<std::uint32_t>(d[0] * 16 + d[1]);
    const std::uint32_t green = static_cast<std::uint32_t>(d[2] * 16 + d[3]);
    const std::uint32_t blue = static_cast<std::uint32_t>(d[4] * 16 + d[5]);
    return red + 256 * green + 65536 * blue;
}

std::optional<std::string> ReadQuoted(std::string_view data, std::size_t end, std::size_t& pos,
                                      std::size_t maxChars) {
    if (pos >= end) return std::nullopt;
    const void* hit = std::memchr(data.data() + pos, '"', end - pos);
    if (!hit) return std::nullopt;
    const std::size_t close = static_cast<std::size_t>(static_cast<const char*>(hit) - data.data());
    std::string name(data.substr(pos, std::min(close - pos, maxChars)));
    pos = close + 1;
    if (pos < end && data[pos] == ' ') ++pos;
    return name;
}

char DecodeEntity(std::string_view data, std::size_t end, std::size_t& pos) {
    // Comments and paragraph text decode entities alike, so both use the one decoder.
    char c = ' ';
    pos += DecodeEntityAt(data.substr(0, std::min(end, data.size())), pos, c);
    return c;
}

std::uint32_t HexValue(std::string_view digits) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 8; ++i)
        v = (v << 4) | static_cast<std::uint32_t>(i < digits.size() ? HexDigit(digits[i]) : 0);
    return v;
}

void AppendHex(std::string& out, std::uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i) out += kDigits[(value >> (4 * i)) & 0xF];
}

void AppendColour(std::string& out, std::uint32_t colour) {
    AppendHex(out, colour & 0xFF, 2);
    AppendHex(out, (colour >> 8) & 0xFF, 2);
    AppendHex(out, (colour >> 16) & 0xFF, 2);
}

void AppendEscaped(std::string& out, char c) {
    switch (c) {
    case '&':
        out += "&#38;";
        break;
    case '<':
        out += "&lt;";
        break;
    case '>':
        out += "&gt;";
        break;
    default:
        out += c;
        break;
    }
}

} // namespace morvell::paragraphstream

namespace morvell {

void ReadObjectHolders(TextStream& stream, ParagraphOwner& owner,
                       const std::function<void(TOVKoggetto&, std::int32_t)>& addFreeObject) {
    const std::string_view header = texts::kObjectHolderHeader;
    while (stream.position < stream.data.size() && stream.data.size() - stream.position > header.size() &&
           stream.data.substr(stream.position, header.size()) == header) {
        const std::size_t before = stream.position;
        TOVKparag scratch(&owner, TOVKparag::kBody);
        scratch.Read(stream);
        if (!scratch.Objects().empty() && scratch.Objects().front().object && addFreeObject)
            addFreeObject(*scratch.Objects().front().object, scratch.Objects().front().identifier);
        // The holder's object now belongs to the page's free objects.
        scratch.Objects().clear();
        if (stream.position == before) break;
    }
}

void WriteObjectHolders(std::string& out, ParagraphOwner& owner,
                        const std::vector<EmbeddedObject>& freeObjects) {
    for (const EmbeddedObject& e : freeObjects) {
        if (!e.object) continue;
        out += texts::kObjectHolderHeader;
        out += "<$FF";
        paragraphstream::AppendHex(out, static_cast<std::uint32_t>(e.identifier) & 0xFFFFFF, 6);
        out += '>';
        if (e.object->Kind() != TOggettiHel::tabellaHtml) continue;
        if (owner.WriteTableCells(*e.object, out)) continue;
        if (e.cellTexts) {
            out += *e.cellTexts;
            continue;
        }
        const int cells = e.object->Record().U8(93) * std::min<int>(e.object->Record().U8(94), 50);
        for (int i = 0; i < cells; ++i) out += "<Z S1 ><T>";
    }
}

ParagraphList ReadParagraphs(ParagraphOwner& owner, TextStream& stream, int kind, bool keepTables,
                             const RemapLists* remap) {
    ParagraphList list;
    while (!stream.AtEnd()) {
        const std::size_t before = stream.position;
        list.push_back(std::make_unique<TOVKparag>(&owner, kind));
        const bool ended = list.back()->Read(stream, keepTables, remap);
        if (ended || stream.position == before) break;
    }
    return list;
}

void WriteText(std::string& out, ParagraphOwner& owner, const ParagraphList& paragraphs,
               const std::vector<EmbeddedObject>& freeObjects, TOVKoggetto* textObject) {
    // Byte 195 of a page record is its markup version; what is written here is version 2.
    if (textObject) textObject->Record().SetU8(195, 2);
    WriteObjectHolders(out, owner, freeObjects);
    for (const auto& p : paragraphs)
        if (p && p->Kind() == TOVKparag::kBody) p->Write(out, 0);
    out += '\0';
}

void WriteRange(std::string& out, const ParagraphList& paragraphs, TextPoint from, TextPoint to, int mode) {
    const int count = static_cast<int>(paragraphs.size());
    if (count == 0 || from.paragraph < 0 || to.paragraph < from.paragraph || from.paragraph >= count) {
        out += '\0';
        return;
    }
    const int last = std::min(to.paragraph, count - 1);
    // A range cut at the last paragraph ends there, whatever character it named.
    const int endChar = to.paragraph > last ? -1 : to.character;
    for (int i = from.paragraph; i <= last; ++i) {
        const TOVKparag& p = *paragraphs[static_cast<std::size_t>(i)];
        const int start = i == from.paragraph ? std::max(from.character, 0) : 0;
        const int end = i == last ? endChar : -1;
        if (i == last && end >= 0 && end < start) break;
        p.Write(out, mode, end, start);
    }
    out += '\0';
}

} // namespace morvell
