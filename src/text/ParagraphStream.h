#pragma once
// The paragraph stream: the one textual form of rich text. This file holds the stream cursor,
// the value forms of tag fields, entities, the writer's escaping and the operations on whole
// texts (object holders, paragraph lists, ranges). The paragraph itself is TOVKparag.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace morvell {

class TOVKparag;
class TOVKoggetto;
class ParagraphOwner;
struct TextPoint;

// A read position in an in-memory stream. Every read is bounded by the buffer: the 0 byte
// that ends a text need not be there.
struct TextStream {
    std::string_view data;
    std::size_t position = 0;

    TextStream() = default;
    explicit TextStream(std::string_view bytes, std::size_t pos = 0) : data(bytes), position(pos) {}

    bool AtEnd() const { return position >= data.size(); }
    // Where the current text ends: its 0 byte at or after the position, else the buffer end.
    // Remembered, so that reading many paragraphs of one text stays linear.
    std::size_t TextEnd() {
        if (m_textEnd == std::string_view::npos || m_textEnd < position) {
            const std::size_t z = position < data.size() ? data.find('\0', position) : std::string_view::npos;
            m_textEnd = z == std::string_view::npos ? data.size() : z;
        }
        return m_textEnd;
    }

private:
    std::size_t m_textEnd = std::string_view::npos;
};

// Old → new references for a stream that comes from the clipboard.
struct RemapLists {
    std::unordered_map<std::int32_t, std::int32_t> styles;
    std::unordered_map<std::uint32_t, std::uint32_t> links;
    std::unordered_map<std::int32_t, std::int32_t> objects; // 24-bit identifiers

    template <class Map, class Key> static Key Apply(const Map& map, Key key) {
        auto it = map.find(key);
        return it == map.end() ? key : it->second;
    }
};

// An object embedded in a paragraph: the object, the identifier its tag carries and, for a
// table whose cells were skipped while reading, the bytes of its cell texts.
struct EmbeddedObject {
    TOVKoggetto* object = nullptr;
    std::int32_t identifier = 0;
    std::optional<std::string> cellTexts;
};

namespace paragraphstream {

// Value forms of tag fields. `pos` is just after the key; `end` is the end of the text (its 0
// byte, or the buffer end). The value runs to the next space within the next 12 characters;
// without one, those 12 characters are the value and the one after them is skipped. nullopt
// (position unchanged) when the buffer ends inside the value.
std::optional<std::int32_t> ReadDecimal(std::string_view data, std::size_t end, std::size_t& pos);
// Six hex digits RRGGBB → red + 256 green + 65536 blue; other characters count as 0.
std::optional<std::uint32_t> ReadColour(std::string_view data, std::size_t end, std::size_t& pos);
// A name after the key F" up to the next double quote (at most `maxChars` kept); the quote
// and a space after it are consumed. nullopt when the quote is missing.
std::optional<std::string> ReadQuoted(std::string_view data, std::size_t end, std::size_t& pos,
                                      std::size_t maxChars = 20);
// Decodes the entity at data[pos] == '&' and advances past it.
char DecodeEntity(std::string_view data, std::size_t end, std::size_t& pos);
// Eight hex digits, most significant first, other characters counting as 0.
std::uint32_t HexValue(std::string_view digits);

void AppendHex(std::string& out, std::uint32_t value, int digits);
void AppendColour(std::string& out, std::uint32_t colour);
// The three characters the stream escapes: & < >.
void AppendEscaped(std::string& out, char c);

} // namespace paragraphstream

using ParagraphList = std::vector<std::unique_ptr<TOVKparag>>;

// The object holders at the start of a page's body text: each "<Z S0 f0 >" paragraph carries
// one free-standing object, handed to `addFreeObject` (object and identifier).
void ReadObjectHolders(TextStream& stream, ParagraphOwner& owner,
                       const std::function<void(TOVKoggetto&, std::int32_t identifier)>& addFreeObject);
// Writes one holder per free object (tables with their cells, as when storing).
void WriteObjectHolders(std::string& out, ParagraphOwner& owner,
                        const std::vector<EmbeddedObject>& freeObjects);

// Reads paragraphs of `kind` until a read ends the text, the position stops moving or the
// stream ends.
ParagraphList ReadParagraphs(ParagraphOwner& owner, TextStream& stream, int kind, bool keepTables = false,
                             const RemapLists* remap = nullptr);

// The stored text of a box: the free objects' holders, the body paragraphs (kind 0) in
// mode 0, then the 0 byte. The text object, when given, is marked as using the current markup.
void WriteText(std::string& out, ParagraphOwner& owner, const ParagraphList& paragraphs,
               const std::vector<EmbeddedObject>& freeObjects = {}, TOVKoggetto* textObject = nullptr);

// Paragraphs from.paragraph .. to.paragraph, the first from character from.character, the
// last up to (not including) to.character, in `mode`, then the 0 byte. Positions out of range
// are clipped to the paragraphs there are; nothing but the 0 byte when the range is empty.
void WriteRange(std::string& out, const ParagraphList& paragraphs, TextPoint from, TextPoint to, int mode);

} // namespace morvell
