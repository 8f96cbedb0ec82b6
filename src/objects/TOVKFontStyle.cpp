#include "objects/TOVKFontStyle.h"

#include "objects/TOVKParaStyle.h"
#include "objects/TOVKoggetto.h"

namespace morvell {

namespace stylerec {

void ApplyDefaults(OVKRecord& rec) {
    rec.Fill(0);
    rec.SetStr(kFontName, kNameCapacity, "Arial");
    rec.SetI16(kFontSize, 10);
    rec.SetU32(kColour, 0);
    rec.SetI16(kLinkSize, -1);
    rec.SetU32(kLinkColour, 0xFF0000);
    rec.SetU8(kLinkStyle, kFontUnderline);
    rec.SetI16(kLeftMargin, 10);
    rec.SetI16(kRightMargin, 10);
    rec.SetI16(kLineHeight, kAutomaticLineHeight);
    rec.SetU8(kUnit, 1);
}

const OVKRecord& DefaultRecord() {
    static const OVKRecord rec = [] {
        OVKRecord r;
        ApplyDefaults(r);
        return r;
    }();
    return rec;
}

} // namespace stylerec

const OVKRecord& StyleRecordOf(const TOVKoggetto* base) {
    return base ? base->Record() : stylerec::DefaultRecord();
}

using namespace stylerec;

std::uint32_t TOVKFontStyle::Colour() const { return m_colourSet ? m_colour : BaseRecord().U32(kColour); }
void TOVKFontStyle::SetColour(std::uint32_t colour) {
    m_colourSet = colour != BaseRecord().U32(kColour);
    m_colour = m_colourSet ? colour : 0;
}

std::string TOVKFontStyle::FontName() const {
    return m_nameSet ? m_name : BaseRecord().Str(kFontName, kNameCapacity);
}
void TOVKFontStyle::SetFontName(const std::string& name) {
    // Names compare exactly: "arial" overrides a base of "Arial".
    m_nameSet = name != BaseRecord().Str(kFontName, kNameCapacity);
    m_name = m_nameSet ? name : std::string();
}

int TOVKFontStyle::Size() const { return m_sizeSet ? m_size : BaseRecord().I16(kFontSize); }
void TOVKFontStyle::SetSize(int size) {
    m_sizeSet = size != BaseRecord().I16(kFontSize);
    m_size = m_sizeSet ? size : 0;
}

std::uint8_t TOVKFontStyle::Style() const { return m_styleSet ? m_style : BaseRecord().U8(kFontStyle); }
void TOVKFontStyle::SetStyle(std::uint8_t style) {
    m_styleSet = style != BaseRecord().U8(kFontStyle);
    m_style = m_styleSet ? style : 0;
}

std::uint8_t TOVKFontStyle::VerticalPosition() const {
    return m_positionSet ? m_position : BaseRecord().U8(kVerticalPosition);
}
void TOVKFontStyle::SetVerticalPosition(std::uint8_t position) {
    m_positionSet = position != BaseRecord().U8(kVerticalPosition);
    m_position = m_positionSet ? position : 0;
}

void TOVKFontStyle::Assign(const TOVKFontStyle& source) {
    if (&source == this) return;
    m_base = source.Base();
    SetColour(source.Colour());
    SetFontName(source.FontName());
    SetStyle(source.Style());
    SetVerticalPosition(source.VerticalPosition());
    SetSize(source.Size());
}

void TOVKFontStyle::Assign(const TOVKParaStyle& source) { Assign(source.FontPart()); }

void TOVKFontStyle::Assign(const FontSpec& font) {
    SetColour(font.colour);
    SetFontName(font.name);
    SetStyle(font.style);
    SetSize(font.size);
}

void TOVKFontStyle::Assign(const TMyFont& font) {
    SetColour(font.colour);
    SetFontName(font.name);
    SetStyle(font.style);
    SetSize(font.size);
    SetVerticalPosition(font.verticalPosition);
}

void TOVKFontStyle::AssignTo(FontSpec& font) const {
    font.name = FontName();
    font.size = Size();
    font.style = Style();
    font.colour = Colour();
}

void TOVKFontStyle::AssignTo(TMyFont& font) const {
    font.name = FontName();
    font.size = Size();
    font.style = Style();
    font.colour = Colour();
    font.verticalPosition = VerticalPosition();
}

TMyFont TOVKFontStyle::Font() const {
    TMyFont f;
    AssignTo(f);
    return f;
}

bool TOVKFontStyle::SameAs(const TOVKFontStyle& o) const {
    return m_base == o.m_base && m_colourSet == o.m_colourSet && m_nameSet == o.m_nameSet &&
           m_sizeSet == o.m_sizeSet && m_styleSet == o.m_styleSet && m_positionSet == o.m_positionSet &&
           Font() == o.Font();
}

} // namespace morvell
