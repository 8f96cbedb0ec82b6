#include "text/TOVKparag.h"

#include "document/TOVKset.h"
#include "objects/StyleTable.h"
#include "objects/TOVKoggetto.h"
#include "platform/Messages.h"
#include "text/ParagraphOwner.h"
#include "text/TextTexts.h"

#include <algorithm>
#include <cstring>

namespace morvell {

using namespace paragraphstream;

namespace {

constexpr std::size_t kNpos = std::string_view::npos;

std::size_t FindByte(std::string_view data, char c, std::size_t from, std::size_t end) {
    if (from >= end) return kNpos;
    const void* hit = std::memchr(data.data() + from, c, end - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data.data()) : kNpos;
}

bool Has(std::string_view data, std::size_t end, std::size_t p, char c) { return p < end && data[p] == c; }

// Moves past the next '>' from `p`; false (and p at the end) when the text ends first.
bool SkipPastClose(std::string_view data, std::size_t end, std::size_t& p) {
    const std::size_t close = FindByte(data, '>', p, end);
    if (close == kNpos) {
        p = end;
        return false;
    }
    p = close + 1;
    return true;
}

void TruncatedNumber() { Msg().Error(texts::kTruncatedLine); }
void TruncatedName() { Msg().Information(texts::kTruncatedLine); }

// Reads "key value " when the key is at p; false when the key is not there or the buffer
// ends inside the value (reported, the field then counts as absent).
bool DecimalField(std::string_view data, std::size_t end, std::size_t& p, char key, std::int32_t& value) {
    if (!Has(data, end, p, key)) return false;
    std::size_t q = p + 1;
    auto v = ReadDecimal(data, end, q);
    if (!v) {
        TruncatedNumber();
        return false;
    }
    value = *v;
    p = q;
    return true;
}

bool ColourField(std::string_view data, std::size_t end, std::size_t& p, char key, std::uint32_t& value) {
    if (!Has(data, end, p, key)) return false;
    std::size_t q = p + 1;
    auto v = ReadColour(data, end, q);
    if (!v) {
        TruncatedNumber();
        return false;
    }
    value = *v;
    p = q;
    return true;
}

bool NameField(std::string_view data, std::size_t end, std::size_t& p, std::string& value) {
    if (!Has(data, end, p, 'F') || !Has(data, end, p + 1, '"')) return false;
    std::size_t q = p + 2;
    auto v = ReadQuoted(data, end, q);
    if (!v) {
        TruncatedName();
        return false;
    }
    value = std::move(*v);
    p = q;
    return true;
}

std::uint8_t WithLowBits(std::uint8_t current, std::int32_t value) {
    return static_cast<std::uint8_t>((current & ~0x0F) | (value & 0x0F));
}

void AppendDecimal(std::string& out, std::int64_t v) { out += std::to_string(v); }

// A name is written between quotes, so it can never carry one.
std::string QuotableName(const std::string& name) {
    std::string s = name;
    std::erase(s, '"');
    return s;
}

void WriteFontFields(std::string& out, const TOVKFontStyle& f, bool complete) {
    if (complete || f.ColourOverridden()) {
        out += 'c';
        AppendColour(out, f.Colour());
        out += ' ';
    }
    if (complete || f.FontNameOverridden()) {
        out += "F\"";
        out += QuotableName(f.FontName());
        out += "\" ";
    }
    if (complete || f.SizeOverridden()) {
        out += 's';
        AppendDecimal(out, f.Size());
        out += ' ';
    }
    if (complete || f.StyleOverridden()) {
        out += 'y';
        AppendDecimal(out, f.Style() & 15);
        out += ' ';
    }
    if (complete || f.VerticalPositionOverridden()) {
        out += 'p';
        AppendDecimal(out, f.VerticalPosition() & 127);
        out += ' ';
    }
}

} // namespace

TOVKparag::TOVKparag(ParagraphOwner* owner, int kind) : m_kind(kind), m_owner(owner) { Reset(); }

TOVKparag::~TOVKparag() { ReleaseObjects(); }

void TOVKparag::ReleaseObjects() {
    if (m_owner)
        for (auto& e : m_objects)
            if (e.object) m_owner->ReleaseObject(*e.object);
    m_objects.clear();
}

const TOVKoggetto* TOVKparag::LookupStyle(std::int32_t index) const {
    return StyleTable(m_owner ? m_owner->Document() : nullptr).Style(index);
}

TOVKoggetto* TOVKparag::ObjectAt(int index) const {
    if (index < 0 || index >= static_cast<int>(m_chars.size())) return nullptr;
    const int o = m_chars[static_cast<std::size_t>(index)].ObjectIndex;
    if (o < 0 || o >= static_cast<int>(m_objects.size())) return nullptr;
    return m_objects[static_cast<std::size_t>(o)].object;
}

TMyFont TOVKparag::FontAt(int index) const {
    int i = std::min(index, static_cast<int>(m_chars.size()) - 1);
    for (; i >= 0; --i) {
        const int f = m_chars[static_cast<std::size_t>(i)].FontIndex;
        if (f >= 0 && f < static_cast<int>(m_fonts.size()))
            return m_fonts[static_cast<std::size_t>(f)].Font();
    }
    return ParagraphFont();
}

void TOVKparag::Reset() {
    ReleaseObjects();
    m_text.clear();
    m_chars.assign(1, TCharInfo{});
    m_fonts.clear();
    m_lines.clear();
    m_styleIndex = 0;
    m_style = TOVKParaStyle(LookupStyle(0));
    m_scratchFont = m_style.FontPart();
    m_link = kNoLink;
    m_previous = -1;
    SetCurrentFont(ParagraphFont());
    m_defaultLineHeight = m_currentHeight;
    TOVKline line;
    line.paragraph = this;
    line.height = m_defaultLineHeight > 0 ? m_defaultLineHeight : 20;
    m_lines.push_back(line);
}

void TOVKparag::SetCurrentFont(const TMyFont& font) {
    m_currentFont = font;
    m_currentSpec = font.Zoomed(m_owner ? m_owner->Zoom() : 10);
    const FontMetrics metrics = m_owner ? m_owner->Measure().Metrics(m_currentSpec) : FontMetrics{};
    m_currentHeight = metrics.height;
    m_currentAscent = metrics.ascent;
    if (font.verticalPosition == 1) m_currentHeight += metrics.height / 2;
    if (font.verticalPosition == 2) m_currentAscent += metrics.height / 2;
}

TMyFont TOVKparag::LinkFont(const TMyFont& from) const {
    TMyFont f = from;
    f.colour = m_style.LinkColour();
    f.style = static_cast<std::uint8_t>(f.style ^ (m_style.LinkStyle() & 0x0F));
    // Links are drawn in their own size only when it is positive; measuring them in any other
    // size would make the stored widths disagree with what is drawn.
    if (m_style.LinkSize() > 0) f.size = m_style.LinkSize();
    return f;
}

void TOVKparag::EnterLink() { SetCurrentFont(LinkFont(m_scratchFont.Font())); }

int TOVKparag::MeasureCharacter(char c, int previous) {
    if (!m_owner) return 0;
    MeasureCache::FontEntry* entry = m_owner->Measure().Select(m_currentSpec);
    return entry ? entry->CharWidth(previous, static_cast<std::uint8_t>(c)) : 0;
}

void TOVKparag::AddCharacter(char c, bool objectSpace) {
    {
        TCharInfo& rec = m_chars.back();
        if (!objectSpace) {
            rec.Height = m_currentHeight;
            rec.Ascent = m_currentAscent;
            rec.Advance = rec.Width = MeasureCharacter(c, m_previous);
            m_previous = static_cast<std::uint8_t>(c);
        }
    }
    m_text += c;
    TCharInfo next;
    next.LinkRef = m_link;
    m_chars.push_back(next);
}

void TOVKparag::FinishRead() {
    if (m_text.empty()) SetCurrentFont(m_scratchFont.Font());
    m_lines.clear();
    TOVKline line;
    line.paragraph = this;
    line.count = Length();
    line.height = m_defaultLineHeight > 0 ? m_defaultLineHeight : 20;
    m_lines.push_back(line);
}

void TOVKparag::ReadHeader(std::string_view data, std::size_t end, std::size_t& p) {
    std::int32_t v = 0;
    std::uint32_t colour = 0;
    std::string name;
    TOVKFontStyle& f = m_style.FontPart();
    using F = TOVKParaStyle::Field;
    // The byte fields are written as value and 127; reading keeps the same bits, so what is
    // read is what will be written back.
    if (ColourField(data, end, p, 'c', colour)) f.SetColour(colour);
    if (NameField(data, end, p, name)) f.SetFontName(name);
    if (DecimalField(data, end, p, 's', v)) f.SetSize(v);
    if (DecimalField(data, end, p, 'y', v)) f.SetStyle(WithLowBits(f.Style(), v));
    if (DecimalField(data, end, p, 'p', v)) f.SetVerticalPosition(static_cast<std::uint8_t>(v & 127));
    if (DecimalField(data, end, p, 'P', v)) m_style.Set(F::OptionP, v & 127);
    if (DecimalField(data, end, p, 'A', v)) m_style.Set(F::Alignment, v & 127);
    if (DecimalField(data, end, p, 'N', v)) m_style.Set(F::Numbering, v & 127);
    if (DecimalField(data, end, p, 'M', v)) m_style.Set(F::Unit, v & 127);
    if (DecimalField(data, end, p, 'L', v)) m_style.Set(F::LineHeight, v);
    if (DecimalField(data, end, p, 'I', v)) m_style.Set(F::FirstIndent, v);
    if (DecimalField(data, end, p, 'l', v)) m_style.Set(F::LeftMargin, v);
    if (DecimalField(data, end, p, 'r', v)) m_style.Set(F::RightMargin, v);
    if (DecimalField(data, end, p, 't', v)) m_style.Set(F::SpaceAbove, v);
    if (DecimalField(data, end, p, 'b', v)) m_style.Set(F::SpaceBelow, v);
    if (ColourField(data, end, p, 'C', colour)) m_style.Set(F::LinkColour, colour);
    if (DecimalField(data, end, p, 'S', v)) m_style.Set(F::LinkSize, v);
    if (DecimalField(data, end, p, 'Y', v)) m_style.Set(F::LinkStyle, WithLowBits(m_style.LinkStyle(), v));
}

void TOVKparag::ReadRunFont(std::string_view data, std::size_t end, std::size_t& p) {
    TCharInfo& rec = m_chars.back();
    const bool had = rec.FontIndex >= 0 && rec.FontIndex < static_cast<int>(m_fonts.size());
    TOVKFontStyle& s = m_scratchFont;
    std::int32_t v = 0;
    std::uint32_t colour = 0;
    std::string name;
    const bool c = ColourField(data, end, p, 'c', colour);
    if (c) s.SetColour(colour);
    const bool n = NameField(data, end, p, name);
    if (n) s.SetFontName(name);
    const bool sz = DecimalField(data, end, p, 's', v);
    if (sz) s.SetSize(v);
    const bool i = DecimalField(data, end, p, 'i', v);
    if (i) s.SetStyle(static_cast<std::uint8_t>(v == 1 ? s.Style() | kFontItalic : s.Style() & ~kFontItalic));
    const bool g = DecimalField(data, end, p, 'g', v);
    if (g) s.SetStyle(static_cast<std::uint8_t>(v == 1 ? s.Style() | kFontBold : s.Style() & ~kFontBold));
    const bool y = DecimalField(data, end, p, 'y', v);
    if (y) s.SetStyle(WithLowBits(s.Style(), v));
    const bool vp = DecimalField(data, end, p, 'p', v);
    if (vp) s.SetVerticalPosition(static_cast<std::uint8_t>(v & 127));

    if (!had) {
        // A new run font is complete relative to the named style: what the tag leaves out
        // comes from the style, not from this paragraph's overrides.
        const TOVKFontStyle base(m_style.Base());
        if (!c) s.SetColour(base.Colour());
        if (!n) s.SetFontName(base.FontName());
        if (!sz) s.SetSize(base.Size());
        if (!y && !i && !g) s.SetStyle(base.Style());
        if (!vp) s.SetVerticalPosition(base.VerticalPosition());
        m_fonts.push_back(s);
        rec.FontIndex = static_cast<std::int32_t>(m_fonts.size() - 1);
    } else {
        m_fonts[static_cast<std::size_t>(rec.FontIndex)] = s;
    }

    if (m_link == kNoLink) {
        SetCurrentFont(s.Font());
    } else if (m_style.LinkSize() < 0) {
        TMyFont f = m_currentFont;
        f.size = s.Size();
        f.name = s.FontName();
        f.style = static_cast<std::uint8_t>(s.Style() ^ (m_style.LinkStyle() & 0x0F));
        SetCurrentFont(f);
    }
}

void TOVKparag::SkipTableCells(TOVKoggetto& table, TextStream& stream, std::size_t& p, std::size_t& end,
                               EmbeddedObject& entry) {
    const std::size_t start = p;
    stream.position = p;
    // Cells cut short by the end of the text are not kept: written back in front of more
    // text they would swallow it. Writing then gives empty cells.
    bool complete = m_tableDepth < kMaxTableDepth;
    if (complete) {
        const int rows = table.Record().U8(93);
        const int columns = std::min<int>(table.Record().U8(94), 50);
        for (int cell = 0; cell < rows * columns && complete; ++cell) {
            for (;;) {
                if (stream.position >= stream.TextEnd()) {
                    complete = false;
                    break;
                }
                TOVKparag scratch(m_owner, kBody);
                scratch.SetTableDepth(m_tableDepth + 1);
                const std::size_t before = stream.position;
                const bool ended = scratch.Read(stream, false, nullptr);
                // The objects of skipped cells stay with the page.
                scratch.m_objects.clear();
                if (ended) {
                    complete = stream.position >= 3 && stream.data.substr(stream.position - 3, 3) == "<T>";
                    break;
                }
                if (stream.position == before) {
                    complete = false;
                    break;
                }
            }
        }
    }
    p = stream.position;
    end = stream.TextEnd();
    if (complete) entry.cellTexts = std::string(stream.data.substr(start, p - start));
}

bool TOVKparag::Read(TextStream& stream, bool keepTables, const RemapLists* remap) {
    Reset();
    const std::string_view data = stream.data;
    std::size_t end = stream.TextEnd();
    std::size_t p = std::min(stream.position, data.size());

    const std::size_t lt = FindByte(data, '<', p, end);
    if (lt == kNpos) return false;
    p = lt + 3; // "<Z " is taken as read
    if (p > end) {
        stream.position = end;
        return true;
    }

    std::int32_t styleIndex = -1;
    const bool hasIndex = DecimalField(data, end, p, 'S', styleIndex);
    if (!hasIndex || styleIndex < 0) {
        const bool closed = SkipPastClose(data, end, p);
        stream.position = p;
        return !closed;
    }

    if (m_owner) m_owner->BlockRepaint();
    if (remap) styleIndex = RemapLists::Apply(remap->styles, styleIndex);
    const StyleTable styles(m_owner ? m_owner->Document() : nullptr);
    m_styleIndex = styles.Resolve(styleIndex);
    m_style = TOVKParaStyle(styles.Style(m_styleIndex));
    ReadHeader(data, end, p);

    m_scratchFont = m_style.FontPart();
    SetCurrentFont(m_scratchFont.Font());
    m_defaultLineHeight = m_currentHeight;
    m_link = kNoLink;
    m_chars.assign(1, TCharInfo{});

    bool textEnded = true;
    if (SkipPastClose(data, end, p)) {
        bool stop = false;
        while (!stop && p < end) {
            const char c = data[p];
            int add = -1;
            bool objectSpace = false;
            if (c == '<') {
                if (p + 1 >= end) {
                    p = end;
                    break;
                }
                const char d = data[p + 1];
                switch (d) {
                case '$': {
                    if (p + 10 > end) {
                        p = end;
                        stop = true;
                        break;
                    }
                    const std::uint32_t ref = HexValue(data.substr(p + 2, 8));
                    std::size_t after = p + 10;
                    if (!SkipPastClose(data, end, after)) {
                        p = end;
                        stop = true;
                        break;
                    }
                    p = after;
                    const std::uint32_t top = ref >> 24;
                    if (top == 0xFF) {
                        std::int32_t id = static_cast<std::int32_t>(ref & 0xFFFFFF);
                        if (remap) id = RemapLists::Apply(remap->objects, id) & 0xFFFFFF;
                        TOVKoggetto* object = m_owner ? m_owner->FindPageObject(id) : nullptr;
                        EmbeddedObject entry{object, id, std::nullopt};
                        if (object && object->Kind() == TOggettiHel::tabellaHtml && !keepTables) {
                            if (p + 3 <= end && data.substr(p, 3) == "<@>") {
                                p += 3;
                            } else {
                                stream.position = p;
                                if (m_owner->ReadTableCells(*object, stream)) {
                                    p = stream.position;
                                    end = stream.TextEnd();
                                } else {
                                    SkipTableCells(*object, stream, p, end, entry);
                                }
                                // The cell reads measured with other fonts.
                                SetCurrentFont(m_currentFont);
                            }
                        }
                        if (object) {
                            const VisualSize size = m_owner->ObjectSize(*object, m_owner->LayoutWidth());
                            TCharInfo& rec = m_chars.back();
                            rec.Advance = rec.Width = size.width;
                            rec.Height = size.height;
                            m_objects.push_back(std::move(entry));
                            rec.ObjectIndex = static_cast<std::int32_t>(m_objects.size() - 1);
                        }
                        add = ' ';
                        objectSpace = true;
                    } else if (top == 0x6F || top < 4) {
                        m_link = remap ? RemapLists::Apply(remap->links, ref) : ref;
                        EnterLink();
                    }
                    m_chars.back().LinkRef = m_link;
                    break;
                }
                case '%':
                    m_link = kNoLink;
                    m_chars.back().LinkRef = kNoLink;
                    SetCurrentFont(m_scratchFont.Font());
                    SkipPastClose(data, end, p);
                    break;
                case 'Y':
                    p = std::min(p + 3, end);
                    ReadRunFont(data, end, p);
                    SkipPastClose(data, end, p);
                    break;
                case 'D':
                case 'F':
                case 'R': {
                    // A block without its closing tag runs to the end of the text.
                    const char closing[3] = {'<', static_cast<char>(d + ('a' - 'A')), '>'};
                    const std::size_t hit = data.substr(0, end).find(std::string_view(closing, 3), p + 2);
                    p = hit == kNpos ? end : hit + 3;
                    break;
                }
                case 'T':
                    p = std::min(p + 3, end);
                    stop = true;
                    break;
                case 'Z':
                    textEnded = false;
                    stop = true;
                    break;
                default:
                    SkipPastClose(data, end, p);
                    break;
                }
            } else if (c == '&') {
                add = static_cast<std::uint8_t>(DecodeEntity(data, end, p));
            } else {
                add = static_cast<std::uint8_t>(c);
                ++p;
            }
            if (add >= 32) AddCharacter(static_cast<char>(add), objectSpace);
        }
    } else {
        p = end;
    }

    FinishRead();
    if (m_owner) m_owner->UnblockRepaint();
    stream.position = p;
    return textEnded;
}

void TOVKparag::WriteTableCells(std::string& out, const EmbeddedObject& entry) const {
    if (m_owner && m_owner->WriteTableCells(*entry.object, out)) return;
    if (entry.cellTexts) {
        out += *entry.cellTexts;
        return;
    }
    // No cell texts known: empty cells keep the stream readable.
    const int rows = entry.object->Record().U8(93);
    const int columns = std::min<int>(entry.object->Record().U8(94), 50);
    for (int i = 0; i < rows * columns; ++i) out += "<Z S1 ><T>";
}

void TOVKparag::Write(std::string& out, int mode, int endIndex, int startIndex) const {
    const int n = Length();
    const int e = (endIndex < 0 || endIndex > n) ? n : endIndex;
    const int s = std::max(startIndex, 0);
    using F = TOVKParaStyle::Field;

    out += "<Z S";
    AppendDecimal(out, m_styleIndex);
    out += ' ';
    WriteFontFields(out, m_style.FontPart(), false);
    struct Key {
        char key;
        F field;
        int mask; // 0 = written as is
    };
    static constexpr Key kKeys[] = {
        {'P', F::OptionP, 127},  {'A', F::Alignment, 127}, {'N', F::Numbering, 127}, {'M', F::Unit, 127},
        {'L', F::LineHeight, 0}, {'I', F::FirstIndent, 0}, {'l', F::LeftMargin, 0},  {'r', F::RightMargin, 0},
        {'t', F::SpaceAbove, 0}, {'b', F::SpaceBelow, 0},  {'C', F::LinkColour, 0},  {'S', F::LinkSize, 0},
        {'Y', F::LinkStyle, 15},
    };
    for (const Key& k : kKeys) {
        if (!m_style.Overridden(k.field)) continue;
        out += k.key;
        if (k.field == F::LinkColour)
            AppendColour(out, m_style.LinkColour());
        else
            AppendDecimal(out, k.mask ? (m_style.Get(k.field) & k.mask) : m_style.Get(k.field));
        out += ' ';
    }
    out += '>';

    const TOVKFontStyle* inEffect = &m_style.FontPart();
    std::uint32_t lastLink = kNoLink;
    for (int i = 0; i < e; ++i) {
        const TCharInfo& rec = m_chars[static_cast<std::size_t>(i)];
        if (rec.FontIndex >= 0 && rec.FontIndex < static_cast<int>(m_fonts.size())) {
            inEffect = &m_fonts[static_cast<std::size_t>(rec.FontIndex)];
            if (i >= s) {
                out += "<Y ";
                WriteFontFields(out, *inEffect, false);
                out += '>';
            }
        } else if (i > 0 && i == s) {
            out += "<Y ";
            WriteFontFields(out, *inEffect, true);
            out += '>';
        }
        if (i < s) continue;
        if (rec.LinkRef != lastLink) {
            if (rec.LinkRef == kNoLink) {
                out += "<%>";
            } else {
                out += "<$";
                AppendHex(out, rec.LinkRef, 8);
                out += '>';
            }
            lastLink = rec.LinkRef;
        }
        const int o = rec.ObjectIndex;
        if (o >= 0 && o < static_cast<int>(m_objects.size()) &&
            m_objects[static_cast<std::size_t>(o)].object) {
            const EmbeddedObject& entry = m_objects[static_cast<std::size_t>(o)];
            out += "<$FF";
            AppendHex(out, static_cast<std::uint32_t>(entry.identifier) & 0xFFFFFF, 6);
            out += '>';
            if (mode == 0 && entry.object->Kind() == TOggettiHel::tabellaHtml) WriteTableCells(out, entry);
        } else {
            AppendEscaped(out, m_text[static_cast<std::size_t>(i)]);
        }
    }
    if (lastLink != kNoLink) out += "<%>";
}

} // namespace morvell
