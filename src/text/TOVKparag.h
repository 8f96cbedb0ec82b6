#pragma once
// A paragraph of rich text: its characters with one measured record each, its run fonts,
// its embedded objects, its style with this paragraph's overrides, and the lines layout made
// of it. It reads itself from the paragraph stream and writes itself back.

#include "objects/TMyFont.h"
#include "objects/TOVKFontStyle.h"
#include "objects/TOVKParaStyle.h"
#include "text/ParagraphStream.h"
#include "text/TCharInfo.h"
#include "text/TOVKline.h"

#include <cstdint>
#include <string>
#include <vector>

namespace morvell {

class ParagraphOwner;
class TOVKoggetto;

class TOVKparag {
public:
    enum Kind : int { kBody = 0, kHeader = 1, kFooter = 2 };
    // Guard against tables nested in table cells without end.
    static constexpr int kMaxTableDepth = 16;

    explicit TOVKparag(ParagraphOwner* owner, int kind = kBody);
    ~TOVKparag();
    TOVKparag(const TOVKparag&) = delete;
    TOVKparag& operator=(const TOVKparag&) = delete;

    int Kind() const { return m_kind; }
    void SetKind(int kind) { m_kind = kind; }
    ParagraphOwner* Owner() const { return m_owner; }

    std::int32_t AvailWidth() const { return m_availWidth; }
    void SetAvailWidth(std::int32_t w) { m_availWidth = w; }
    std::int32_t Number() const { return m_number; }
    void SetNumber(std::int32_t n) { m_number = n; }
    std::int32_t Top() const { return m_top; }
    void SetTop(std::int32_t top) { m_top = top; }
    std::int32_t Bottom() const { return m_bottom; }
    void SetBottom(std::int32_t bottom) { m_bottom = bottom; }
    // The top of the paragraph that follows (bottom + 1).
    std::int32_t NextTop() const { return m_bottom + 1; }
    std::int32_t DefaultLineHeight() const { return m_defaultLineHeight; }

    const std::string& Text() const { return m_text; }
    int Length() const { return static_cast<int>(m_text.size()); }
    TOVKParaStyle& Style() { return m_style; }
    const TOVKParaStyle& Style() const { return m_style; }
    // Index of the named style (after the look-up: an unknown index reads as 0).
    std::int32_t StyleIndex() const { return m_styleIndex; }
    std::vector<TCharInfo>& Chars() { return m_chars; }
    const std::vector<TCharInfo>& Chars() const { return m_chars; }
    std::vector<TOVKFontStyle>& Fonts() { return m_fonts; }
    const std::vector<TOVKFontStyle>& Fonts() const { return m_fonts; }
    std::vector<EmbeddedObject>& Objects() { return m_objects; }
    const std::vector<EmbeddedObject>& Objects() const { return m_objects; }
    std::vector<TOVKline>& Lines() { return m_lines; }
    const std::vector<TOVKline>& Lines() const { return m_lines; }

    // The object embedded at character `index`, nullptr for an ordinary character.
    TOVKoggetto* ObjectAt(int index) const;
    // The font of character `index` (also the trailing position): the nearest run font at or
    // before it, else the paragraph font.
    TMyFont FontAt(int index) const;
    TMyFont ParagraphFont() const { return m_style.FontPart().Font(); }

    // Parses one paragraph from the stream position; true when the text ended ("<T>", its 0
    // byte or the end of the buffer), false when another paragraph follows.
    bool Read(TextStream& stream, bool keepTables = false, const RemapLists* remap = nullptr);
    // Appends the stored form: mode 0 stores (tables with their cell texts), mode 1 rebuilds
    // (tables as bare object tags). endIndex < 0 or past the text means the whole text.
    void Write(std::string& out, int mode, int endIndex = -1, int startIndex = 0) const;
    // Width of `c` after `previous` (-1: none) in the current font of the read, by the pair rule.
    int MeasureCharacter(char c, int previous);

    // Depth of table nesting this paragraph is read at (cells of a table read one deeper).
    void SetTableDepth(int depth) { m_tableDepth = depth; }

private:
    void Reset();
    void ReleaseObjects();
    const TOVKoggetto* LookupStyle(std::int32_t index) const;
    void ReadHeader(std::string_view data, std::size_t end, std::size_t& p);
    void ReadRunFont(std::string_view data, std::size_t end, std::size_t& p);
    void ReadObjectTag(TextStream& stream, std::uint32_t ref, std::size_t& p, std::size_t& end,
                       bool keepTables, const RemapLists* remap);
    void SkipTableCells(TOVKoggetto& table, TextStream& stream, std::size_t& p, std::size_t& end,
                        EmbeddedObject& entry);
    void SetCurrentFont(const TMyFont& font);
    void EnterLink();
    void AddCharacter(char c, bool objectSpace);
    void FinishRead();
    TMyFont LinkFont(const TMyFont& from) const;
    void WriteTableCells(std::string& out, const EmbeddedObject& entry) const;

    int m_kind;
    ParagraphOwner* m_owner;
    std::int32_t m_availWidth = 0;
    std::int32_t m_number = 0;
    std::int32_t m_top = 0;
    std::int32_t m_bottom = 0;
    std::int32_t m_defaultLineHeight = 0;
    std::string m_text;
    TOVKParaStyle m_style;
    std::int32_t m_styleIndex = 0;
    std::vector<TCharInfo> m_chars;
    std::vector<TOVKFontStyle> m_fonts;
    std::vector<EmbeddedObject> m_objects;
    std::vector<TOVKline> m_lines;
    int m_tableDepth = 0;

    // State of a read.
    TOVKFontStyle m_scratchFont;
    TMyFont m_currentFont;
    FontSpec m_currentSpec;
    int m_currentHeight = 0;
    int m_currentAscent = 0;
    std::uint32_t m_link = kNoLink;
    int m_previous = -1;
};

} // namespace morvell
