#pragma once
// A paragraph's effective attributes: the named style it uses plus the attributes this
// paragraph overrides. A setter given the base style's own value clears the override, so a
// later change of the style shows in every paragraph that does not override it.

#include "objects/TOVKFontStyle.h"

#include <array>
#include <cstdint>
#include <string>

namespace morvell {

class TOVKParaStyle {
public:
    // Paragraph attributes other than the font part.
    enum class Field : int {
        OptionP,
        Alignment,
        Numbering,
        Unit,
        LineHeight,
        FirstIndent,
        LeftMargin,
        RightMargin,
        SpaceAbove,
        SpaceBelow,
        LinkColour,
        LinkSize,
        LinkStyle,
    };
    static constexpr int kFieldCount = 13;

    TOVKParaStyle() = default;
    explicit TOVKParaStyle(const TOVKoggetto* base) { SetBase(base); }

    const TOVKoggetto* Base() const { return m_base; }
    // Also attaches the font part; the flags are kept.
    void SetBase(const TOVKoggetto* base);

    TOVKFontStyle& FontPart() { return m_font; }
    const TOVKFontStyle& FontPart() const { return m_font; }

    // Font attributes (kept in the font part).
    std::uint32_t Colour() const { return m_font.Colour(); }
    void SetColour(std::uint32_t v) { m_font.SetColour(v); }
    std::string FontName() const { return m_font.FontName(); }
    void SetFontName(const std::string& v) { m_font.SetFontName(v); }
    int Size() const { return m_font.Size(); }
    void SetSize(int v) { m_font.SetSize(v); }
    std::uint8_t Style() const { return m_font.Style(); }
    void SetStyle(std::uint8_t v) { m_font.SetStyle(v); }
    std::uint8_t VerticalPosition() const { return m_font.VerticalPosition(); }
    void SetVerticalPosition(std::uint8_t v) { m_font.SetVerticalPosition(v); }

    // Generic access to the paragraph attributes (measures, sizes and colours as they are;
    // the byte attributes in 0..255).
    std::int64_t Get(Field field) const;
    void Set(Field field, std::int64_t value);
    bool Overridden(Field field) const { return m_set[Slot(field)]; }
    bool AnyOverridden() const;

    std::uint8_t OptionP() const { return static_cast<std::uint8_t>(Get(Field::OptionP)); }
    void SetOptionP(std::uint8_t v) { Set(Field::OptionP, v); }
    std::uint8_t Alignment() const { return static_cast<std::uint8_t>(Get(Field::Alignment)); }
    void SetAlignment(std::uint8_t v) { Set(Field::Alignment, v); }
    std::uint8_t Numbering() const { return static_cast<std::uint8_t>(Get(Field::Numbering)); }
    void SetNumbering(std::uint8_t v) { Set(Field::Numbering, v); }
    std::uint8_t Unit() const { return static_cast<std::uint8_t>(Get(Field::Unit)); }
    void SetUnit(std::uint8_t v) { Set(Field::Unit, v); }
    std::int32_t LineHeight() const { return static_cast<std::int32_t>(Get(Field::LineHeight)); }
    void SetLineHeight(std::int32_t v) { Set(Field::LineHeight, v); }
    std::int32_t FirstIndent() const { return static_cast<std::int32_t>(Get(Field::FirstIndent)); }
    void SetFirstIndent(std::int32_t v) { Set(Field::FirstIndent, v); }
    std::int32_t LeftMargin() const { return static_cast<std::int32_t>(Get(Field::LeftMargin)); }
    void SetLeftMargin(std::int32_t v) { Set(Field::LeftMargin, v); }
    std::int32_t RightMargin() const { return static_cast<std::int32_t>(Get(Field::RightMargin)); }
    void SetRightMargin(std::int32_t v) { Set(Field::RightMargin, v); }
    std::int32_t SpaceAbove() const { return static_cast<std::int32_t>(Get(Field::SpaceAbove)); }
    void SetSpaceAbove(std::int32_t v) { Set(Field::SpaceAbove, v); }
    std::int32_t SpaceBelow() const { return static_cast<std::int32_t>(Get(Field::SpaceBelow)); }
    void SetSpaceBelow(std::int32_t v) { Set(Field::SpaceBelow, v); }
    std::uint32_t LinkColour() const { return static_cast<std::uint32_t>(Get(Field::LinkColour)); }
    void SetLinkColour(std::uint32_t v) { Set(Field::LinkColour, v); }
    std::int32_t LinkSize() const { return static_cast<std::int32_t>(Get(Field::LinkSize)); }
    void SetLinkSize(std::int32_t v) { Set(Field::LinkSize, v); }
    std::uint8_t LinkStyle() const { return static_cast<std::uint8_t>(Get(Field::LinkStyle)); }
    void SetLinkStyle(std::uint8_t v) { Set(Field::LinkStyle, v); }

    // The six measures (LineHeight .. SpaceBelow) in the style's display unit, for the
    // authoring commands: pixels at 96 per inch converted to cm, mm, in, pt, pc or px.
    double MeasureInUnit(Field measure) const;
    void SetMeasureInUnit(Field measure, double value);
    static double PixelsPerUnit(std::uint8_t unit);

    void Assign(const TOVKParaStyle& source);
    void Assign(const TOVKFontStyle& source);
    void Assign(const FontSpec& font) { m_font.Assign(font); }
    void Assign(const TMyFont& font) { m_font.Assign(font); }
    void AssignTo(FontSpec& font) const { m_font.AssignTo(font); }
    void AssignTo(TMyFont& font) const { m_font.AssignTo(font); }

private:
    static int Slot(Field f) { return static_cast<int>(f); }
    std::int64_t BaseValue(Field field) const;

    const TOVKoggetto* m_base = nullptr;
    TOVKFontStyle m_font;
    std::array<std::int64_t, kFieldCount> m_value{};
    std::array<bool, kFieldCount> m_set{};
};

} // namespace morvell
