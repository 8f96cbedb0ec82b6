#include "TextFixture.h"

#include "text/LineLayout.h"
#include "text/TextTexts.h"

namespace morvell::test {
namespace {

// Size 10 text: every character 6 wide, lines 16 high, ascent 13; style 0 has margins 10/10.
class LayoutTest : public TextTest {
protected:
    TOVKparag& LayOut(const std::string& stream, int width) {
        model->SetLayoutWidth(width);
        model->Load(stream);
        model->LayOut();
        return Para(0);
    }
    struct LineShape {
        int first, count, indent, offset, height;
        bool operator==(const LineShape&) const = default;
    };
    static std::vector<LineShape> Shapes(const TOVKparag& p) {
        std::vector<LineShape> v;
        for (const TOVKline& l : p.Lines()) v.push_back({l.first, l.count, l.indent, l.offset, l.height});
        return v;
    }
    static std::vector<int> Widths(const TOVKparag& p) {
        std::vector<int> v;
        for (int i = 0; i < p.Length(); ++i) v.push_back(p.Chars()[static_cast<std::size_t>(i)].Width);
        return v;
    }
};

TEST_F(LayoutTest, EmptyParagraphHasOneLineOfTheFontHeightPlusSpaceAboveAndBelow) {
    model->SetLayoutWidth(300);
    model->Load(std::string("<Z S0 t3 b4 >") + '\0');
    ASSERT_EQ(Para().Lines().size(), 1u);
    EXPECT_EQ(Para().Lines()[0].height, 16);
    EXPECT_EQ(LineLayout::LayOut(Para(), 100), 100 + 3 + 16 + 4);
    EXPECT_EQ(Para().Bottom(), 122);
    EXPECT_EQ(Shapes(Para()), (std::vector<LineShape>{{0, 0, 10, 0, 16}}));
}

TEST_F(LayoutTest, WordWiderThanTheLineMovesDownWholeAndWidensTheBox) {
    TOVKparag& p = LayOut("<Z S0 >ab " + std::string(20, 'x'), 80); // capacity 60
    EXPECT_EQ(Shapes(p), (std::vector<LineShape>{{0, 3, 10, 0, 16}, {3, 20, 10, 0, 16}}));
    EXPECT_EQ(model->WidestLine(), 80 + 120 - 60);
    EXPECT_EQ(p.Lines()[1].top, 16);
    // No break point at all: one line that sticks out.
    TOVKparag& q = LayOut("<Z S0 >" + std::string(30, 'y'), 80);
    EXPECT_EQ(q.Lines().size(), 1u);
    EXPECT_EQ(model->WidestLine(), 80 + 180 - 60);
}

TEST_F(LayoutTest, ObjectWiderThanTheLineSitsAloneAndTextAfterItStartsANewLine) {
    TOVKoggetto* picture = AddObject(2, TOggettiHel::immagineNew, 100, 40);
    picture->Record().SetU8(13, 0); // stands on the baseline
    TOVKparag& p = LayOut("<Z S0 >a <$FF000002> b", 80);
    EXPECT_EQ(Shapes(p), (std::vector<LineShape>{{0, 2, 10, 0, 16}, {2, 1, 10, 0, 40}, {3, 2, 10, 0, 16}}));
    EXPECT_EQ(p.Chars()[2].Ascent, 40);
    EXPECT_EQ(visuals.back()->lastAvailable, 60);
    EXPECT_FALSE(visuals.back()->shown); // hidden until drawing places it

    // Centred on the baseline (alignment 4, every other kind) and hanging below it (3).
    AddObject(3, TOggettiHel::inputStat, 20, 30);
    TOVKoggetto* hanging = AddObject(4, TOggettiHel::immagineNew, 20, 30);
    hanging->Record().SetU8(13, 3);
    TOVKparag& q = LayOut("<Z S0 >a<$FF000003>b<$FF000004>", 300);
    EXPECT_EQ(q.Chars()[1].Ascent, 15);
    EXPECT_EQ(q.Chars()[3].Ascent, 0);
    // Line ascent 15 (the centred object): the hanging one reaches 15 + 30 below the top.
    EXPECT_EQ(q.Lines()[0].ascent, 15);
    EXPECT_EQ(q.Lines()[0].height, 45);
}

TEST_F(LayoutTest, JustificationSharesLeftOverPixelsAmongSpacesAndObjectsButNotOnTheLastLine) {
    AddObject(2, TOggettiHel::inputStat, 6, 10);
    // Capacity 80 - 11 - 10 = 59; "aa#bb cc " takes 54, 5 pixels are left for 2 gaps.
    TOVKparag& p = LayOut("<Z S0 A3 l11 >aa<$FF000002>bb cc dd", 80);
    ASSERT_EQ(p.Lines().size(), 2u);
    EXPECT_EQ(Widths(p), (std::vector<int>{6, 6, 9, 6, 6, 8, 6, 6, 6, 6, 6}));
    EXPECT_EQ(p.Lines()[0].usedWidth, 59);
    EXPECT_EQ(p.Lines()[1].usedWidth, 12);
    // A new layout at another width starts from the measured widths again.
    model->SetLayoutWidth(300);
    model->LayOut();
    EXPECT_EQ(Widths(p), std::vector<int>(11, 6));
}

TEST_F(LayoutTest, AlignmentOffsetsAndFixedLineHeight) {
    struct Case {
        const char* stream;
        int offset;
        int height;
    } cases[] = {
        {"<Z S0 A1 l11 >ab", 47, 16}, // capacity 59, 12 used
        {"<Z S0 A2 l11 >ab", 23, 16}, // odd pixel goes to the right
        {"<Z S0 A7 l11 >ab", 0, 16},  // unknown alignment: left
        {"<Z S0 L10 >Tall", 0, 10},   // fixed height even for taller text
        {"<Z S0 s20 L50 >Tall", 0, 50},
    };
    for (const Case& c : cases) {
        TOVKparag& p = LayOut(c.stream, 80);
        EXPECT_EQ(p.Lines()[0].offset, c.offset) << c.stream;
        EXPECT_EQ(p.Lines()[0].height, c.height) << c.stream;
    }
    TOVKparag& p = LayOut("<Z S0 L10 >aaaa bbbb cccc", 60); // capacity 40: three lines
    ASSERT_EQ(p.Lines().size(), 3u);
    for (const auto& l : p.Lines()) EXPECT_EQ(l.height, 10);
    EXPECT_EQ(p.NextTop() - p.Top(), 30);
}

TEST_F(LayoutTest, FirstLineIndentAndNumberingRoom) {
    struct Case {
        const char* stream;
        int firstX;
        int otherX;
    } cases[] = {
        {"<Z S0 I30 >aaaa bbbb cccc dddd", 40, 10},
        {"<Z S0 I-5 >aaaa bbbb cccc dddd", 5, 10},
        {"<Z S0 N6 I-20 >aaaa bbbb cccc dddd", 10, 10}, // the hanging room holds the number
        {"<Z S0 N10 I-20 >aaaa bbbb cccc dddd", 10, 10},
    };
    for (const Case& c : cases) {
        TOVKparag& p = LayOut(c.stream, 80);
        ASSERT_GE(p.Lines().size(), 2u) << c.stream;
        EXPECT_EQ(p.Lines()[0].indent, c.firstX) << c.stream;
        EXPECT_EQ(p.Lines()[1].indent, c.otherX) << c.stream;
    }
    // A cell box's inner margin adds to both sides.
    model->SetInnerMargin(4);
    TOVKparag& p = LayOut("<Z S0 >a", 80);
    EXPECT_EQ(p.Lines()[0].indent, 14);
    EXPECT_EQ(p.Lines()[0].capacity, 80 - 28);
}

TEST_F(LayoutTest, FirstTopUsesGlobalMarginUnlessTheParagraphHasSpaceAbove) {
    model->Load("<Z S0 >a<Z S0 >b");
    EXPECT_EQ(LineLayout::FirstTop(Para(), &doc), 8);
    EXPECT_EQ(model->LayOut(), 8 + 16 + 16);
    EXPECT_EQ(Para(1).Top(), 24);
    model->Load("<Z S0 t5 >a");
    EXPECT_EQ(LineLayout::FirstTop(Para(), &doc), 0);
    // Cell boxes keep the first top as it is.
    model->SetTableCell(true);
    model->Load("<Z S0 >a");
    EXPECT_EQ(model->LayOut(), 16);
}

TEST_F(LayoutTest, FirstTopTakesTheEbooksGlobalMargin) {
    doc.SetProperty("GlobalMargin", "3");
    model->Load("<Z S0 >a");
    EXPECT_EQ(LineLayout::FirstTop(Para(), &doc), 3);
}

TEST_F(LayoutTest, ConsecutiveNumberedParagraphsCountFromOneAgainAfterAnyOther) {
    model->Load("<Z S0 N6 >a<Z S0 N6 >b<Z S0 >c<Z S0 N6 >d<Z S0 N10 >e<Z S0 N6 >f");
    LineLayout::Number(model->Paragraphs());
    std::vector<int> numbers;
    for (const auto& p : model->Paragraphs())
        if (p->Style().Numbering() == 6) numbers.push_back(p->Number());
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 1, 1}));
}

// --- drawing ----------------------------------------------------------------------------

class DrawTest : public LayoutTest {
protected:
    struct Text {
        int x, y;
        std::string text;
        bool operator==(const Text&) const = default;
    };
    std::vector<Text> Texts() const {
        std::vector<Text> v;
        for (const auto& c : canvas.CallsOf(RecordingCanvas::Op::TextOut)) v.push_back({c.x, c.y, c.text});
        return v;
    }
    const RecordingCanvas::Call& TextCall(const std::string& text) const {
        for (const auto& c : canvas.Calls())
            if (c.op == RecordingCanvas::Op::TextOut && c.text == text) return c;
        throw std::runtime_error("no TextOut of " + text);
    }
    RecordingCanvas canvas;
};

TEST_F(DrawTest, ExampleParagraphDrawsRunsInOneCallAndLinksInTheLinkLook) {
    AddStyle();
    LayOut("<Z S2 A2 >See <Y y1 ><$00000007>page 7<Y ><%> now.", 600);
    model->Draw(canvas);
    // Centred: 580 - 90 = 490 left over, offset 245 after the left margin; top 8, ascent 13.
    EXPECT_EQ(Texts(), (std::vector<Text>{{255, 8, "See"},
                                          {273, 8, " "},
                                          {279, 8, "p"},
                                          {285, 8, "age"},
                                          {303, 8, " "},
                                          {309, 8, "7"},
                                          {315, 8, " "},
                                          {321, 8, "now."}}));
    EXPECT_EQ(TextCall("age").font.style, kFontBold | kFontUnderline);
    EXPECT_EQ(TextCall("age").font.colour, 0xFF0000u);
    EXPECT_EQ(TextCall("See").font.style, 0);
    EXPECT_EQ(TextCall("now.").font.style, 0);
    EXPECT_EQ(TextCall("now.").font.colour, 0u);
}

TEST_F(DrawTest, SelectionIsHighlightedWithTheOwnersColours) {
    LayOut("<Z S0 >abcd", 300);
    model->Select({0, 1}, {0, 3});
    model->Draw(canvas);
    ASSERT_EQ(Texts().size(), 4u);
    EXPECT_FALSE(TextCall("a").hasBackground);
    EXPECT_TRUE(TextCall("b").hasBackground);
    EXPECT_EQ(TextCall("b").colour, kSystemHighlight);
    EXPECT_EQ(TextCall("c").font.colour, kSystemHighlightText);
    EXPECT_FALSE(TextCall("d").hasBackground);
    EXPECT_EQ(TextCall("d").font.colour, 0u);
}

TEST_F(DrawTest, NumbersAndBulletsStandBeforeTheFirstLine) {
    struct Case {
        const char* stream;
        Text mark;
        const char* font;
    } cases[] = {
        {"<Z S0 N6 I-20 >x", {-10, 8, "1. "}, "Arial"}, // at l + I
        {"<Z S0 N6 I5 >x", {-8, 8, "1. "}, "Arial"},    // I below the width of "1. " (18)
        {"<Z S0 N6 I30 >x", {10, 8, "1. "}, "Arial"},    {"<Z S0 N10 >x", {0, 8, "w"}, "Wingdings"},
        {"<Z S0 N10 I12 >x", {10, 8, "w"}, "Wingdings"},
    };
    for (const Case& c : cases) {
        canvas.Clear();
        LayOut(c.stream, 300);
        model->Draw(canvas);
        ASSERT_FALSE(Texts().empty()) << c.stream;
        EXPECT_EQ(Texts().front(), c.mark) << c.stream;
        EXPECT_EQ(TextCall(c.mark.text).font.name, c.font) << c.stream;
        EXPECT_EQ(TextCall("x").font.name, "Arial") << c.stream; // restored after the bullet
    }
}

TEST_F(DrawTest, LoweredTextAndPlacedObjects) {
    AddObject(2, TOggettiHel::inputStat, 20, 30);
    LayOut("<Z S0 p1 >a<$FF000002>", 300);
    model->Draw(canvas);
    // Line ascent 15 (object centred): baseline 8 + 15; lowered by 16 / 2.
    EXPECT_EQ(Texts(), (std::vector<Text>{{10, 23 + 8 - 13, "a"}}));
    EXPECT_EQ(visuals.back()->placedX, 16);
    EXPECT_EQ(visuals.back()->placedY, 23 - 15);
    EXPECT_TRUE(visuals.back()->shown);
}

TEST_F(DrawTest, RunThatDisagreesWithStoredWidthsIsDrawnPerCharacter) {
    struct Wide : FixedMetrics {
        int Extent(const FontSpec& f, std::string_view t) override {
            return static_cast<int>(t.size()) * 10 + 0 * f.size;
        }
    } wide;
    FakeControlModel other(&doc, &wide);
    other.SetLayoutWidth(300);
    other.Load("<Z S0 >abc d");
    other.LayOut();
    other.Draw(canvas);
    // Stored 10 per character, drawn 6: each drawn alone, x advancing by the stored widths.
    EXPECT_EQ(Texts(),
              (std::vector<Text>{{10, 8, "a"}, {16, 8, "b"}, {22, 8, "c"}, {40, 8, " "}, {50, 8, "d"}}));
    EXPECT_EQ(other.Paragraphs()[0]->Chars()[1].Width, 6);
}

} // namespace
} // namespace morvell::test

namespace morvell::test {
namespace {

// Hostile spacing pushes a paragraph's bottom to the largest int; drawing must still find
// which paragraphs meet the area without overflowing.
TEST_F(LayoutTest, ParagraphsPushedToTheEndOfTheCoordinateRangeStillDraw) {
    model->SetLayoutWidth(300);
    model->Load(std::string("<Z S0 b2147483647 >first<Z S0 t2147483647 >second") + '\0');
    model->LayOut();
    ASSERT_EQ(model->Paragraphs().size(), 2u);
    EXPECT_EQ(LineLayout::Band(Para(1), 300).bottom, std::numeric_limits<int>::max());
    RecordingCanvas canvas;
    model->Draw(canvas, CanvasRect{0, 0, 300, 100});
    EXPECT_FALSE(canvas.CallsOf(RecordingCanvas::Op::TextOut).empty());
}

} // namespace
} // namespace morvell::test
