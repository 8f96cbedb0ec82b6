#include "objects/TOVKParaStyle.h"

#include <cmath>

namespace morvell {

namespace {

enum class Width { U8, I16, U32 };
struct FieldInfo {
    int offset;
    Width width;
};

constexpr std::array<FieldInfo, TOVKParaStyle::kFieldCount> kFields = {{
    {stylerec::kOptionP, Width::U8},
    {stylerec::kAlignment, Width::U8},
    {stylerec::kNumbering, Width::U8},
    {stylerec::kUnit, Width::U8},
    {stylerec::kLineHeight, Width::I16},
    {stylerec::kFirstIndent, Width::I16},
    {stylerec::kLeftMargin, Width::I16},
    {stylerec::kRightMargin, Width::I16},
    {stylerec::kSpaceAbove, Width::I16},
    {stylerec::kSpaceBelow, Width::I16},
    {stylerec::kLinkColour, Width::U32},
    {stylerec::kLinkSize, Width::I16},
    {stylerec::kLinkStyle, Width::U8},
}};

bool IsMeasure(TOVKParaStyle::Field f) {
    using F = TOVKParaStyle::Field;
    return f == F::LineHeight || f == F::FirstIndent || f == F::LeftMargin || f == F::RightMargin ||
           f == F::SpaceAbove || f == F::SpaceBelow;
}

} // namespace

void TOVKParaStyle::SetBase(const TOVKoggetto* base) {
    m_base = base;
    m_font.SetBase(base);
}

std::int64_t TOVKParaStyle::BaseValue(Field field) const {
    const OVKRecord& rec = StyleRecordOf(m_base);
    const FieldInfo& info = kFields[Slot(field)];
    switch (info.width) {
    case Width::U8:
        return rec.U8(info.offset);
    case Width::I16:
        return rec.I16(info.offset);
    case Width::U32:
        return rec.U32(info.offset);
    }
    return 0;
}

std::int64_t TOVKParaStyle::Get(Field field) const {
    return m_set[Slot(field)] ? m_value[Slot(field)] : BaseValue(field);
}

void TOVKParaStyle::Set(Field field, std::int64_t value) {
    // Byte attributes and colours keep their stored width, so a setter can never hold a value
    // the stream could not carry.
    switch (kFields[Slot(field)].width) {
    case Width::U8:
        value &= 0xFF;
        break;
    case Width::U32:
        value &= 0xFFFFFFFF;
        break;
    case Width::I16:
        value = static_cast<std::int32_t>(value);
        break;
    }
    const bool differs = value != BaseValue(field);
    m_set[Slot(field)] = differs;
    m_value[Slot(field)] = differs ? value : 0;
}

bool TOVKParaStyle::AnyOverridden() const {
    for (bool b : m_set)
        if (b) return true;
    return m_font.AnyOverridden();
}

double TOVKParaStyle::PixelsPerUnit(std::uint8_t unit) {
    constexpr double kScreenPpi = 96.0;
    switch (unit) {
    case 0:
        return kScreenPpi / 2.54;
    case 1:
        return kScreenPpi / 25.4;
    case 2:
        return kScreenPpi;
    case 3:
        return kScreenPpi / 72.0;
    case 4:
        return kScreenPpi / 6.0;
    default:
        return 1.0;
    }
}

double TOVKParaStyle::MeasureInUnit(Field measure) const {
    return static_cast<double>(Get(measure)) / PixelsPerUnit(Unit());
}

void TOVKParaStyle::SetMeasureInUnit(Field measure, double value) {
    if (!IsMeasure(measure)) return;
    // Round to nearest, halves to even (the default floating-point rounding mode).
    const double pixels = std::nearbyint(value * PixelsPerUnit(Unit()));
    if (!std::isfinite(pixels) || pixels > 2147483647.0 || pixels < -2147483648.0) return;
    Set(measure, static_cast<std::int64_t>(pixels));
}

void TOVKParaStyle::Assign(const TOVKParaStyle& source) {
    if (&source == this) return;
    SetBase(source.Base());
    SetColour(source.Colour());
    SetFontName(source.FontName());
    SetStyle(source.Style());
    SetSize(source.Size());
    SetVerticalPosition(source.VerticalPosition());
    Set(Field::Alignment, source.Get(Field::Alignment));
    Set(Field::OptionP, source.Get(Field::OptionP));
    Set(Field::Numbering, source.Get(Field::Numbering));
    Set(Field::Unit, source.Get(Field::Unit));
    for (Field f : {Field::LineHeight, Field::FirstIndent, Field::LeftMargin, Field::RightMargin,
                    Field::SpaceAbove, Field::SpaceBelow})
        SetMeasureInUnit(f, source.MeasureInUnit(f));
    Set(Field::LinkColour, source.Get(Field::LinkColour));
    Set(Field::LinkSize, source.Get(Field::LinkSize));
    Set(Field::LinkStyle, source.Get(Field::LinkStyle));
    m_font.Assign(source.FontPart());
}

void TOVKParaStyle::Assign(const TOVKFontStyle& source) {
    SetBase(source.Base());
    m_font.Assign(source);
}

} // namespace morvell
