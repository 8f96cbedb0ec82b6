#pragma once
// The font part of a paragraph's attributes, and the font of a character run that overrides
// its paragraph font. Every attribute keeps a flag telling whether it differs from the named
// style it is based on; only differing attributes are stored and written.

#include "objects/OVKRecord.h"
#include "objects/TMyFont.h"
#include "text/Measurer.h"

#include <cstdint>
#include <string>

namespace morvell {

class TOVKoggetto;
class TOVKParaStyle;

// Offsets of the fields of a paragraph-style record.
namespace stylerec {
inline constexpr int kStatus = 4;
inline constexpr int kName = 5;
inline constexpr int kFontName = 39;
inline constexpr int kNameCapacity = 32;
inline constexpr int kFontSize = 72;
inline constexpr int kColour = 74;
inline constexpr int kFontStyle = 78;
inline constexpr int kLinkSize = 79;
inline constexpr int kLinkColour = 81;
inline constexpr int kLinkStyle = 85;
inline constexpr int kLeftMargin = 86;
inline constexpr int kRightMargin = 88;
inline constexpr int kSpaceAbove = 90;
inline constexpr int kSpaceBelow = 92;
inline constexpr int kLineHeight = 94;
inline constexpr int kFirstIndent = 96;
inline constexpr int kUnit = 98;
inline constexpr int kAlignment = 99;
inline constexpr int kNumbering = 100;
inline constexpr int kOptionP = 101;
inline constexpr int kVerticalPosition = 102;

inline constexpr int kAutomaticLineHeight = -32000;

// A style record holding the defaults: what a paragraph without a resolvable style uses.
const OVKRecord& DefaultRecord();
// Writes the defaults into `rec` (the whole record 0, then the field defaults).
void ApplyDefaults(OVKRecord& rec);
} // namespace stylerec

// Record of `base`, or the default style record when there is no base.
const OVKRecord& StyleRecordOf(const TOVKoggetto* base);

class TOVKFontStyle {
public:
    TOVKFontStyle() = default;
    explicit TOVKFontStyle(const TOVKoggetto* base) : m_base(base) {}

    const TOVKoggetto* Base() const { return m_base; }
    // Flags are kept: an attribute that was overridden stays overridden.
    void SetBase(const TOVKoggetto* base) { m_base = base; }

    std::uint32_t Colour() const;
    void SetColour(std::uint32_t colour);
    std::string FontName() const;
    void SetFontName(const std::string& name);
    int Size() const;
    void SetSize(int size);
    std::uint8_t Style() const;
    void SetStyle(std::uint8_t style);
    std::uint8_t VerticalPosition() const;
    void SetVerticalPosition(std::uint8_t position);

    bool ColourOverridden() const { return m_colourSet; }
    bool FontNameOverridden() const { return m_nameSet; }
    bool SizeOverridden() const { return m_sizeSet; }
    bool StyleOverridden() const { return m_styleSet; }
    bool VerticalPositionOverridden() const { return m_positionSet; }
    bool AnyOverridden() const {
        return m_colourSet || m_nameSet || m_sizeSet || m_styleSet || m_positionSet;
    }

    void Assign(const TOVKFontStyle& source);
    void Assign(const TOVKParaStyle& source);
    // From a plain font: colour, name, style and size (a platform font has no vertical position).
    void Assign(const FontSpec& font);
    void Assign(const TMyFont& font);
    void AssignTo(FontSpec& font) const;
    void AssignTo(TMyFont& font) const;
    TMyFont Font() const;

    // Same effective values and the same flags.
    bool SameAs(const TOVKFontStyle& other) const;

private:
    const OVKRecord& BaseRecord() const { return StyleRecordOf(m_base); }

    const TOVKoggetto* m_base = nullptr;
    std::uint32_t m_colour = 0;
    std::string m_name;
    int m_size = 0;
    std::uint8_t m_style = 0;
    std::uint8_t m_position = 0;
    bool m_colourSet = false;
    bool m_nameSet = false;
    bool m_sizeSet = false;
    bool m_styleSet = false;
    bool m_positionSet = false;
};

} // namespace morvell
