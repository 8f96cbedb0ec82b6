#include "TextFixture.h"

#include "objects/StyleTable.h"
#include "objects/TOVKParaStyle.h"

namespace morvell::test {
namespace {

using Field = TOVKParaStyle::Field;

class StyleTest : public TextTest {};

TEST_F(StyleTest, NewDocumentStylesAndUnknownIndexFallsBackToStyleZero) {
    // New() gives "[nessuno stile]" (margins 10) and "[nessuno stile tabella]" (margins 0).
    for (int i = 0; i < 3; ++i) AddStyle([](OVKRecord& r) { r.SetI16(stylerec::kLeftMargin, 77); });
    ASSERT_EQ(StyleTable(&doc).Count(), 5);
    struct Case {
        const char* stream;
        int index;
        int left;
        int right;
    } cases[] = {
        {"<Z S0 >x", 0, 10, 10}, {"<Z S1 >x", 1, 0, 0}, {"<Z S4 >x", 4, 77, 10}, {"<Z S7 >x", 0, 10, 10}};
    for (const Case& c : cases) {
        TOVKparag& p = Load(c.stream);
        EXPECT_EQ(p.StyleIndex(), c.index) << c.stream;
        EXPECT_EQ(p.Style().LeftMargin(), c.left) << c.stream;
        EXPECT_EQ(p.Style().RightMargin(), c.right) << c.stream;
        EXPECT_FALSE(p.Style().AnyOverridden()) << c.stream;
    }
}

TEST_F(StyleTest, SetterEqualToBaseClearsOverrideSoBaseChangesShow) {
    TOVKoggetto* base = doc.Object(TOggettiHel::stileParagrafo, 0);
    TOVKParaStyle style(base);
    style.SetColour(0x123456);
    style.SetAlignment(2);
    EXPECT_TRUE(style.FontPart().ColourOverridden());
    EXPECT_TRUE(style.Overridden(Field::Alignment));
    style.SetColour(0); // the base's own colour
    style.SetAlignment(0);
    EXPECT_FALSE(style.FontPart().ColourOverridden());
    EXPECT_FALSE(style.Overridden(Field::Alignment));
    base->Record().SetU32(stylerec::kColour, 0x00FF00);
    base->Record().SetU8(stylerec::kAlignment, 3);
    EXPECT_EQ(style.Colour(), 0x00FF00u);
    EXPECT_EQ(style.Alignment(), 3);
    // Font names compare exactly.
    style.SetFontName("arial");
    EXPECT_TRUE(style.FontPart().FontNameOverridden());
    style.SetFontName("Arial");
    EXPECT_FALSE(style.FontPart().FontNameOverridden());
}

TEST_F(StyleTest, StyleBitsValueReplacesLowFourBitsAndKeepsHigherOnes) {
    const std::int32_t s = AddStyle([](OVKRecord& r) {
        r.SetU8(stylerec::kFontStyle, 0x14);
        r.SetU8(stylerec::kLinkStyle, 0x24);
    });
    TOVKparag& p = Load("<Z S" + std::to_string(s) + " y3 Y1 >x");
    EXPECT_EQ(p.Style().Style(), 0x13);
    EXPECT_EQ(p.Style().LinkStyle(), 0x21);
}

TEST_F(StyleTest, AssignCopiesEffectiveValuesAndRecomputesFlagsAgainstTheNewBase) {
    const std::int32_t other = AddStyle([](OVKRecord& r) {
        r.SetI16(stylerec::kFontSize, 14);
        r.SetI16(stylerec::kSpaceAbove, 5);
    });
    TOVKParaStyle source(doc.Object(TOggettiHel::stileParagrafo, other));
    source.SetSize(12);
    source.SetLeftMargin(37);
    source.SetFirstIndent(-19);
    source.SetUnit(0); // centimetres: measures go pixels -> cm -> pixels
    source.SetLinkSize(11);
    TOVKParaStyle copy(doc.Object(TOggettiHel::stileParagrafo, 0));
    copy.Assign(source);
    EXPECT_EQ(copy.Base(), source.Base());
    EXPECT_EQ(copy.Size(), 12);
    EXPECT_EQ(copy.LeftMargin(), 37);
    EXPECT_EQ(copy.FirstIndent(), -19);
    EXPECT_EQ(copy.SpaceAbove(), 5);
    EXPECT_FALSE(copy.Overridden(Field::SpaceAbove));
    EXPECT_EQ(copy.LinkSize(), 11);

    TOVKFontStyle font;
    font.Assign(copy);
    TMyFont plain;
    font.AssignTo(plain);
    EXPECT_EQ(plain.size, 12);
    TMyFont raised = plain;
    raised.verticalPosition = 2;
    raised.size = 14; // the base's size: no override
    font.Assign(raised);
    EXPECT_EQ(font.VerticalPosition(), 2);
    EXPECT_FALSE(font.SizeOverridden());
    // A plain font description carries no vertical position.
    FontSpec fontSpec{"Times New Roman", 9, kFontBold, 0xFF};
    font.Assign(fontSpec);
    EXPECT_EQ(font.VerticalPosition(), 2);
    EXPECT_EQ(font.FontName(), "Times New Roman");
}

TEST(StyleUnitTest, MeasuresInDisplayUnitRoundHalfToEven) {
    TOVKParaStyle style; // no base: the record defaults (unit mm)
    style.SetUnit(5);    // pixels: the unit value is the pixel value
    style.SetMeasureInUnit(Field::LeftMargin, 2.5);
    EXPECT_EQ(style.LeftMargin(), 2);
    style.SetMeasureInUnit(Field::LeftMargin, 3.5);
    EXPECT_EQ(style.LeftMargin(), 4);
    style.SetUnit(2); // inches at 96 per inch
    style.SetMeasureInUnit(Field::SpaceBelow, 0.5);
    EXPECT_EQ(style.SpaceBelow(), 48);
    EXPECT_DOUBLE_EQ(style.MeasureInUnit(Field::SpaceBelow), 0.5);
}

} // namespace
} // namespace morvell::test
