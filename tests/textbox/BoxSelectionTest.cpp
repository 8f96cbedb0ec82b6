// Hit testing, word selection, the drag threshold, the scroll cap and scrolling into view,
// over paragraphs laid out with fixed metrics (size 10: characters 6 wide, lines 16 high).

#include "../text/TextFixture.h"

#include "text/BoxSelection.h"

namespace morvell::test {
namespace {

using namespace std::string_literals;

class BoxSelectionTest : public TextTest {
protected:
    // Header "HH", body of two paragraphs, footer "FF"; 60 pixels wide.
    void SetUp() override {
        model->SetLayoutWidth(60 + 20);
        model->Load("<Z S0 >one two three four<Z S0 >Hello you\0"s, "<Z S0 >HH\0"s, "<Z S0 >FF\0"s);
        model->LayOut();
        box = {&model->Paragraphs(), model->HeaderCount(), model->FooterCount()};
    }
    int LineTop(int p, int line) const {
        const TOVKparag& para = *model->Paragraphs()[p];
        return para.Top() + para.Style().SpaceAbove() + para.Lines()[line].top;
    }
    BoxParagraphs box;
};

TEST_F(BoxSelectionTest, ClicksMapToParagraphLineAndCharacter) {
    ASSERT_EQ(model->Paragraphs().size(), 4u);
    const TOVKparag& body = *model->Paragraphs()[1];
    ASSERT_GE(body.Lines().size(), 2u); // "one two " / "three " / "four"
    const int x0 = body.Lines()[0].indent;
    struct Case {
        int mode, x, y, paragraph, line, character;
    } cases[] = {
        {4, x0 + 1, LineTop(1, 0) + 2, 1, 0, 0},
        // Exactly on the border between characters 0 and 1: the left one.
        {4, x0 + 6, LineTop(1, 0) + 2, 1, 0, 0},
        {4, x0 + 7, LineTop(1, 0) + 2, 1, 0, 1},
        {4, x0 + 6 * 3 + 1, LineTop(1, 1) + 1, 1, 1, 8 + 3},
        // Far right of a line that is not the last: its last character, never past it.
        {4, 500, LineTop(1, 0) + 2, 1, 0, body.Lines()[0].count - 1},
        // Far right of the last line: the place after the last character.
        {4, 500, LineTop(2, 0) + 2, 2, 0, 9},
        // Above the body and below it, mode 4 stays in the body; mode 5 reaches header/footer.
        {4, x0 + 1, -50, 1, 0, 0},
        {4, x0 + 1, 5000, 2, 0, 0},
        {5, x0 + 1, LineTop(0, 0) + 1, 0, 0, 0},
        {5, x0 + 7, 5000, 3, 0, 1},
    };
    for (const Case& c : cases) {
        const TTextPos pos = boxselection::HitTest(box, c.mode, c.x, c.y);
        EXPECT_EQ(pos.paragraphIndex, c.paragraph) << c.x << "," << c.y;
        EXPECT_EQ(pos.lineIndex, c.line) << c.x << "," << c.y;
        EXPECT_EQ(pos.characterIndex, c.character) << c.x << "," << c.y;
    }
    EXPECT_EQ(boxselection::HitTest(box, 1, 10, 10).paragraphIndex, -1);
}

TEST_F(BoxSelectionTest, PositionGeometryAndContainment) {
    const int x0 = model->Paragraphs()[1]->Lines()[0].indent;
    const TTextPos pos = boxselection::HitTest(box, 5, x0 + 8, LineTop(1, 0) + 3);
    EXPECT_EQ(pos.x, x0 + 6);
    EXPECT_EQ(pos.xRight, x0 + 12);
    EXPECT_EQ(pos.y, LineTop(1, 0));
    EXPECT_EQ(pos.height, 16);
    EXPECT_TRUE(pos.Contains(x0 + 6, pos.y));
    EXPECT_TRUE(pos.Contains(x0 + 12, pos.y + 16));
    EXPECT_FALSE(pos.Contains(x0 + 13, pos.y));
    // Past the end of the last line: a zero-wide position, on it only at its very x.
    const TTextPos end = boxselection::HitTest(box, 5, 500, LineTop(2, 0) + 3);
    EXPECT_EQ(end.x, end.xRight);
    EXPECT_FALSE(end.Contains(500, LineTop(2, 0) + 3));
}

TEST_F(BoxSelectionTest, DoubleClickWordBounds) {
    // Body: paragraph 1 "one two three four", paragraph 2 "Hello you".
    struct Case {
        int paragraph, character;
        TextPoint start, end;
    } cases[] = {
        {1, 5, {1, 4}, {1, 8}},   // inside "two": the word and the space after it
        {1, 3, {1, 0}, {1, 4}},   // on the space after "one": the word before it and the space
        {2, 0, {1, 18}, {2, 6}},  // first character of a later paragraph: from the previous end
        {2, 1, {1, 18}, {2, 6}},  // second character too
        {1, 0, {1, 0}, {1, 4}},   // the first body paragraph starts at 0
        {1, 18, {1, 14}, {2, 0}}, // at the end of the text: up to the next paragraph
        {2, 9, {2, 6}, {2, 9}},   // the end of the last body paragraph stays
    };
    for (const Case& c : cases) {
        EXPECT_EQ(boxselection::WordStart(box, {c.paragraph, c.character}), c.start)
            << c.paragraph << ":" << c.character;
        EXPECT_EQ(boxselection::WordEnd(box, {c.paragraph, c.character}), c.end)
            << c.paragraph << ":" << c.character;
    }
}

TEST(BoxRules, SeparatorsThresholdCapAndScrolling) {
    for (unsigned char c : std::string(" !\"'()*+,-./:;<=>?{|}~\x93\x94"))
        EXPECT_TRUE(boxselection::IsWordSeparator(c)) << int(c);
    for (unsigned char c : std::string("aZ09_@#$%&[]\\^`\xe9"))
        EXPECT_FALSE(boxselection::IsWordSeparator(c)) << int(c);

    EXPECT_FALSE(boxselection::PastDragThreshold(100, 100, 104, 96));
    EXPECT_TRUE(boxselection::PastDragThreshold(100, 100, 105, 100));
    EXPECT_TRUE(boxselection::PastDragThreshold(100, 100, 100, 95));

    bool capped = true;
    EXPECT_EQ(boxselection::VerticalScrollRange(32600, capped), 32600);
    EXPECT_FALSE(capped);
    EXPECT_EQ(boxselection::VerticalScrollRange(40000, capped), 40000)
        << "the end of a long page stays reachable";
    EXPECT_TRUE(capped);
    EXPECT_EQ(boxselection::VerticalScrollRange(-5, capped), 0);

    using boxselection::ScrollIntoView;
    struct Case {
        int x, y, w, h, sx, sy, ex, ey;
    } cases[] = {
        {10, 10, 5, 5, 0, 0, 0, 0},     // inside: nothing moves
        {10, 500, 5, 20, 0, 0, 0, 320}, // below: bottom edge to the bottom
        {10, 50, 5, 20, 0, 100, 0, 50}, // above: top edge to the top
        {700, 10, 30, 5, 0, 0, 330, 0}, // right of the view
        {5, 10, 30, 5, 100, 0, 5, 0},   // left of it
    };
    for (const Case& c : cases) {
        const auto to = ScrollIntoView(c.x, c.y, c.w, c.h, c.sx, c.sy, 400, 200);
        EXPECT_EQ(to.x, c.ex);
        EXPECT_EQ(to.y, c.ey);
    }
}

} // namespace
} // namespace morvell::test
