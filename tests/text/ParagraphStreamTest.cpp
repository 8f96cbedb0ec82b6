#include "TextFixture.h"

#include "text/TextTexts.h"

#include <chrono>

namespace morvell::test {
namespace {

using Field = TOVKParaStyle::Field;

class StreamTest : public TextTest {
protected:
    std::string Written(const TOVKparag& p, int mode = 0, int end = -1, int start = 0) {
        std::string out;
        p.Write(out, mode, end, start);
        return out;
    }
    std::vector<std::uint32_t> Links(const TOVKparag& p) {
        std::vector<std::uint32_t> v;
        for (int i = 0; i < p.Length(); ++i) v.push_back(p.Chars()[static_cast<std::size_t>(i)].LinkRef);
        return v;
    }
};

constexpr const char* kExample = "<Z S2 A2 >See <Y y1 ><$00000007>page 7<Y ><%> now.";

TEST_F(StreamTest, ExampleParagraphReadsAndWritesBackByteForByte) {
    AddStyle();
    ASSERT_EQ(std::string(kExample).size(), 50u);
    TOVKparag& p = Load(kExample);
    EXPECT_EQ(p.Text(), "See page 7 now.");
    EXPECT_EQ(p.StyleIndex(), 2);
    EXPECT_EQ(p.Style().Alignment(), 2);
    ASSERT_EQ(p.Fonts().size(), 2u);
    EXPECT_TRUE(p.Fonts()[0].StyleOverridden());
    EXPECT_EQ(p.Fonts()[0].Style(), kFontBold);
    EXPECT_FALSE(p.Fonts()[0].ColourOverridden() || p.Fonts()[0].SizeOverridden());
    EXPECT_FALSE(p.Fonts()[1].AnyOverridden());
    EXPECT_EQ(p.Chars()[4].FontIndex, 0);
    EXPECT_EQ(p.Chars()[10].FontIndex, 1);
    const std::uint32_t n = kNoLink;
    EXPECT_EQ(Links(p), (std::vector<std::uint32_t>{n, n, n, n, 7, 7, 7, 7, 7, 7, n, n, n, n, n}));
    EXPECT_EQ(Written(p), kExample);
    // Link text: size 10 (S -1 keeps it), 6 pixels wide like the rest.
    EXPECT_EQ(p.Chars()[5].Advance, 6);
}

TEST_F(StreamTest, EntitiesAndDroppedControlBytes) {
    struct Case {
        std::string in;
        std::string text;
    } cases[] = {
        {"a&lt;b&#38;c&gt;", "a<b&c>"},
        {"&copy", "\xA9"},
        {"&copy;x", "\xA9x"},
        {"&x", " x"},
        {"&&x", "&x"},
        {"&#;", "A"},
        {"&#300;", ","}, // modulo 256
        {"&amp;&AMP&quot;&nbsp;&yuml;", "&&\"\xA0\xFF"},
        {"&hibar;", "\xAF"},
        {"&#7;a\tb\x01", "ab"}, // below 32: dropped
        {"x&", "x "},
    };
    for (const Case& c : cases) {
        TOVKparag& p = Load("<Z S0 >" + c.in);
        EXPECT_EQ(p.Text(), c.text) << c.in;
        EXPECT_EQ(p.Chars().size(), c.text.size() + 1) << c.in;
    }
    // Writing escapes exactly & < >.
    TOVKparag& p = Load("<Z S0 >a&lt;b&#38;c&gt;\"");
    EXPECT_EQ(Written(p), "<Z S0 >a&lt;b&#38;c&gt;\"");
}

TEST_F(StreamTest, HeaderFieldsOutOfOrderStopAtTheFirstOneOutOfPlace) {
    TOVKparag& p = Load("<Z S0 A2 c0000FF s12 l30 >x");
    EXPECT_EQ(p.Style().Alignment(), 2);
    EXPECT_FALSE(p.Style().FontPart().ColourOverridden());
    EXPECT_FALSE(p.Style().FontPart().SizeOverridden());
    EXPECT_EQ(p.Style().LeftMargin(), 10); // skipped with the rest of the tag
    EXPECT_EQ(p.Text(), "x");

    TOVKparag& q =
        Load("<Z S0 c00FF00 F\"Courier New\" s12 y3 p1 P5 A3 N6 M2 L30 I-20 l5 r6 t7 b8 C00FF00 S14 Y2 >x");
    const TOVKParaStyle& st = q.Style();
    EXPECT_EQ(st.Colour(), 0x00FF00u);
    EXPECT_EQ(st.FontName(), "Courier New");
    EXPECT_EQ(st.Size(), 12);
    EXPECT_EQ(st.Style(), 3);
    EXPECT_EQ(st.VerticalPosition(), 1);
    EXPECT_EQ(st.OptionP(), 5);
    EXPECT_EQ(st.Alignment(), 3);
    EXPECT_EQ(st.Numbering(), 6);
    EXPECT_EQ(st.Unit(), 2);
    EXPECT_EQ(st.LineHeight(), 30);
    EXPECT_EQ(st.FirstIndent(), -20);
    EXPECT_EQ(st.LeftMargin(), 5);
    EXPECT_EQ(st.RightMargin(), 6);
    EXPECT_EQ(st.SpaceAbove(), 7);
    EXPECT_EQ(st.SpaceBelow(), 8);
    EXPECT_EQ(st.LinkColour(), 0x00FF00u);
    EXPECT_EQ(st.LinkSize(), 14);
    EXPECT_EQ(st.LinkStyle(), 2);
    // Every field written back in the same order.
    EXPECT_EQ(Written(q),
              "<Z S0 c00FF00 F\"Courier New\" s12 y3 p1 P5 A3 N6 M2 L30 I-20 l5 r6 t7 b8 C00FF00 S14 Y2 >x");
}

TEST_F(StreamTest, ValueFormsTwelveCharacterRuleAndUncheckedDigits) {
    // No space in 12 characters: those are the value and the 13th character is skipped.
    TOVKparag& p = Load("<Z S0 l000000000012X>ab");
    EXPECT_EQ(p.Style().LeftMargin(), 12);
    EXPECT_EQ(p.Text(), "ab");
    // Characters are not checked: ':' counts as 10.
    EXPECT_EQ(Load("<Z S0 l1: >x").Style().LeftMargin(), 20);
    // Hex digits other than 0-9A-Fa-f count as 0; trailing characters are ignored.
    EXPECT_EQ(Load("<Z S0 cffZZ01xyz >x").Style().Colour(), 0x0100FFu);
    // Red first: the stored colour 0xFF0000 (blue) reads and writes as "0000FF".
    EXPECT_EQ(Load("<Z S0 c0000FF >x").Style().Colour(), 0xFF0000u);
    EXPECT_EQ(Written(Para()), "<Z S0 c0000FF >x");
}

TEST_F(StreamTest, RunFontWithoutFieldsEqualsTheNamedStyleFontNotTheParagraphOverrides) {
    TOVKparag& p = Load("<Z S0 s14 y1 c0000FF >a<Y >b");
    ASSERT_EQ(p.Fonts().size(), 1u);
    EXPECT_FALSE(p.Fonts()[0].AnyOverridden());
    EXPECT_EQ(p.FontAt(1).size, 10);
    EXPECT_EQ(p.FontAt(0).size, 14);
    EXPECT_EQ(p.Chars()[1].Advance, 6);
    EXPECT_EQ(p.Chars()[0].Advance, 8);
    // A second tag on the same character keeps what the first one set.
    TOVKparag& q = Load("<Z S0 ><Y s20 ><Y c00FF00 >x");
    ASSERT_EQ(q.Fonts().size(), 1u);
    EXPECT_EQ(q.Fonts()[0].Size(), 20);
    EXPECT_EQ(q.Fonts()[0].Colour(), 0xFF00u);
    // "i" and "g" switch one bit each and keep the rest of the style bits.
    TOVKparag& r = Load("<Z S0 y4 ><Y i1 g1 >x");
    EXPECT_EQ(r.Fonts()[0].Style(), kFontItalic | kFontBold | kFontUnderline);
}

TEST_F(StreamTest, TruncatedFieldsAndTagsAreBoundedByTheBuffer) {
    struct Case {
        std::string in;
        std::string text;
        std::vector<std::string> boxes; // caption: text
    } cases[] = {
        {"<Z S0 s12", "", {"Errore!: Truncated line!"}},
        {"<Z S0 >ab<Y s1", "ab", {"Errore!: Truncated line!"}},
        {"<Z S0 F\"Arial >ab", "ab", {"Informazione: Truncated line!"}},
        {"<Z S0 >ab<$000", "ab", {}},
        {"<Z S0 >ab<$00000001", "ab", {}},
        {"<Z S0 >ab<", "ab", {}},
        {"<Z S0 >ab<Q", "ab", {}},
        {"<Z S0 >ab<Dskipped to the end", "ab", {}},
        {"<Z S0 >a<Dx<d>b<Fy<f>c<Rz<r>d", "abcd", {}},
        {"<Z S0", "", {"Errore!: Truncated line!"}},
        {"<Z", "", {}},
    };
    for (const Case& c : cases) {
        messages.Clear();
        // Copy into an exact-size buffer so a read past it shows under the sanitizers.
        auto buffer = std::make_unique<char[]>(c.in.size());
        std::memcpy(buffer.get(), c.in.data(), c.in.size());
        TextStream s(std::string_view(buffer.get(), c.in.size()));
        TOVKparag p(model.get());
        EXPECT_TRUE(p.Read(s)) << c.in;
        EXPECT_EQ(s.position, c.in.size()) << c.in;
        EXPECT_EQ(p.Text(), c.text) << c.in;
        std::vector<std::string> boxes;
        for (const auto& e : messages.Entries()) boxes.push_back(e.caption + ": " + e.text);
        EXPECT_EQ(boxes, c.boxes) << c.in;
    }
}

TEST_F(StreamTest, ParagraphListEndsAtZeroByteTableCellEndOrNextParagraph) {
    const std::string text = std::string("<Z S0 >one<Z S0 >two") + '\0' + "<Z S0 >ignored";
    model->Load(text);
    ASSERT_EQ(model->Paragraphs().size(), 2u);
    EXPECT_EQ(Para(1).Text(), "two");

    TextStream s(std::string_view("<Z S1 >cell<T><Z S0 >rest"));
    TOVKparag cell(model.get());
    EXPECT_TRUE(cell.Read(s));
    EXPECT_EQ(s.position, 14u);
    // A header without S, or with a negative index, gives an empty paragraph; reading goes on.
    model->Load("<Z x >lost<Z S-1 >lost too<Z S0 >kept");
    ASSERT_EQ(model->Paragraphs().size(), 3u);
    EXPECT_EQ(Para(0).Text(), "");
    EXPECT_EQ(Para(2).Text(), "kept");
}

TEST_F(StreamTest, RoundTripKeepsTextRunFontsLinksAndObjects) {
    AddObject(0x000123, TOggettiHel::immagineNew, 30, 20);
    const std::string in = "<Z S0 s12 C00FF00 >a&lt;<Y c112233 F\"Times\" s9 y6 p2 >b<$6F000002>c<$FF000123>d"
                           "<Y s11 ><$00000004>e<%>f&gt;&#38;";
    TOVKparag& p = Load(in);
    ASSERT_EQ(p.Text(), "a<bc def>&");
    ASSERT_EQ(p.Objects().size(), 1u);
    EXPECT_EQ(p.Chars()[4].ObjectIndex, 0);
    EXPECT_EQ(p.Chars()[4].Advance, 30);
    EXPECT_EQ(p.Chars()[4].Height, 20);

    const std::string written = Written(p);
    FakeControlModel again(&doc, &metrics);
    again.controls = model->controls;
    again.AddPageObject(0x000123, objects.back().get());
    again.Load(written);
    TOVKparag& q = *again.Paragraphs().at(0);
    EXPECT_EQ(q.Text(), p.Text());
    EXPECT_EQ(Written(q), written);
    ASSERT_EQ(q.Fonts().size(), p.Fonts().size());
    for (std::size_t i = 0; i < p.Fonts().size(); ++i) EXPECT_TRUE(q.Fonts()[i].SameAs(p.Fonts()[i])) << i;
    for (int i = 0; i <= p.Length(); ++i) {
        const TCharInfo& a = p.Chars()[static_cast<std::size_t>(i)];
        const TCharInfo& b = q.Chars()[static_cast<std::size_t>(i)];
        EXPECT_EQ(a.LinkRef, b.LinkRef) << i;
        EXPECT_EQ(a.FontIndex, b.FontIndex) << i;
        EXPECT_EQ(a.ObjectIndex, b.ObjectIndex) << i;
        EXPECT_EQ(a.Advance, b.Advance) << i;
    }
}

TEST_F(StreamTest, LinkRunningToTheEndIsClosedAndOtherTopBytesAreIgnored) {
    EXPECT_EQ(Written(Load("<Z S0 ><$00000001>abc")), "<Z S0 ><$00000001>abc<%>");
    TOVKparag& p = Load("<Z S0 ><$05000001>a<$FF000009>b");
    EXPECT_EQ(p.Text(), "a b"); // unknown object: a zero-width space
    EXPECT_EQ(p.Chars()[0].LinkRef, kNoLink);
    EXPECT_EQ(p.Chars()[1].Advance, 0);
    EXPECT_EQ(p.Chars()[1].ObjectIndex, -1);
}

TEST_F(StreamTest, PartialRangeStartsWithTheCompleteFontInEffectAndTheLinkTag) {
    AddStyle();
    TOVKparag& p = Load(kExample);
    // From "age" (index 5): the bold run font and the link are in effect there.
    EXPECT_EQ(Written(p, 0, 8, 5), "<Z S2 A2 ><Y c000000 F\"Arial\" s10 y1 p0 ><$00000007>age<%>");
    EXPECT_EQ(Written(p, 0, 3, 0), "<Z S2 A2 >See");

    std::string range;
    model->Load(std::string(kExample) + "<Z S0 >second<Z S0 >third");
    WriteRange(range, model->Paragraphs(), {0, 11}, {2, 2}, 0);
    EXPECT_EQ(range,
              std::string("<Z S2 A2 ><Y c000000 F\"Arial\" s10 y0 p0 >now.<Z S0 >second<Z S0 >th") + '\0');
}

class TableStreamTest : public StreamTest {
protected:
    TOVKoggetto* AddTable(std::int32_t id, int rows, int columns) {
        TOVKoggetto* t = AddObject(id, TOggettiHel::tabellaHtml, 100, 40);
        t->Record().SetU8(93, static_cast<std::uint8_t>(rows));
        t->Record().SetU8(94, static_cast<std::uint8_t>(columns));
        return t;
    }
};

TEST_F(TableStreamTest, CellTextsAreSkippedAndWrittenBackInModeZeroOnly) {
    AddTable(1, 1, 2);
    const std::string cells = "<Z S1 >c1<T><Z S1 >c<Z S1 >2<T>";
    model->Load("<Z S0 >a<$FF000001>" + cells + "b<Z S0 >next");
    ASSERT_EQ(model->Paragraphs().size(), 2u);
    TOVKparag& p = Para(0);
    EXPECT_EQ(p.Text(), "a b");
    EXPECT_EQ(Written(p, 0), "<Z S0 >a<$FF000001>" + cells + "b");
    const std::string mode1 = Written(p, 1);
    EXPECT_EQ(mode1, "<Z S0 >a<$FF000001>b");

    // A mode-1 stream read with keep-tables: the tag alone, the following text stays text.
    TextStream s(mode1);
    TOVKparag q(model.get());
    q.Read(s, true);
    EXPECT_EQ(q.Text(), "a b");
    // "<@>" says the cells are not in the stream.
    EXPECT_EQ(Load("<Z S0 >a<$FF000001><@>b").Text(), "a b");
}

TEST_F(TableStreamTest, NestedTablesAndCellsCutShortStayInsideTheBuffer) {
    AddTable(1, 2, 2);
    // The inner table is the same object: nesting has to stop somewhere.
    std::string nested = "<Z S0 >";
    for (int i = 0; i < 200; ++i) nested += "<$FF000001><Z S1 >";
    TOVKparag& p = Load(nested);
    EXPECT_EQ(p.Length(), 1);
    TOVKparag& q = Load("<Z S0 >a<$FF000001><Z S1 >only one cell");
    EXPECT_EQ(q.Text(), "a ");
}

TEST_F(StreamTest, ObjectHoldersGiveTheFreeObjectsAndAreWrittenFirst) {
    AddObject(5, TOggettiHel::immagineNew, 10, 10);
    AddObject(6, TOggettiHel::inputStat, 10, 10);
    model->Load(std::string("<Z S0 f0 ><$FF000005><Z S0 f0 ><$FF000006><Z S0 >body\0", 54));
    ASSERT_EQ(model->FreeObjects().size(), 2u);
    EXPECT_EQ(model->FreeObjects()[1].identifier, 6);
    ASSERT_EQ(model->Paragraphs().size(), 1u);
    EXPECT_EQ(Para().Text(), "body");
    EXPECT_EQ(model->StoredText(),
              std::string("<Z S0 f0 ><$FF000005><Z S0 f0 ><$FF000006><Z S0 >body\0", 54));
}

TEST_F(StreamTest, MeasuringUsesZoomVerticalPositionLinkSizeAndThePairRule) {
    // A measurer with kerning: "AV" is 3 pixels narrower than A and V apart.
    struct Kerning : FixedMetrics {
        int Extent(const FontSpec& f, std::string_view t) override {
            int w = FixedMetrics::Extent(f, t);
            return t == "AV" ? w - 3 : w;
        }
    } kerning;
    FakeControlModel kerned(&doc, &kerning);
    kerned.Load("<Z S0 >AVA");
    const auto& c = kerned.Paragraphs()[0]->Chars();
    EXPECT_EQ(c[0].Advance, 6);
    EXPECT_EQ(c[1].Advance, 3);
    EXPECT_EQ(c[2].Advance, 6);

    model->SetZoom(15);
    TOVKparag& z = Load("<Z S0 >x");
    EXPECT_EQ(z.Chars()[0].Advance, 9); // size 15
    EXPECT_EQ(z.DefaultLineHeight(), 24);
    model->SetZoom(10);

    TOVKparag& low = Load("<Z S0 p1 >x<Y p2 >y");
    EXPECT_EQ(low.Chars()[0].Height, 24); // 16 + 16 / 2
    EXPECT_EQ(low.Chars()[0].Ascent, 13);
    EXPECT_EQ(low.Chars()[1].Height, 16);
    EXPECT_EQ(low.Chars()[1].Ascent, 21); // 13 + 16 / 2

    // Link size above 0 replaces the size of link text; 0 and -1 keep it.
    EXPECT_EQ(Load("<Z S0 S20 ><$00000001>x").Chars()[0].Advance, 12);
    EXPECT_EQ(Load("<Z S0 S0 ><$00000001>x").Chars()[0].Advance, 6);
}

TEST_F(StreamTest, MegabyteParagraphWithoutSpaceAndLongTagRunsStayLinear) {
    std::string big = "<Z S0 >" + std::string(1 << 20, 'x');
    for (int i = 0; i < 100000; ++i) big += "<Y s11 ><$00000001><%><Q>";
    const auto start = std::chrono::steady_clock::now();
    TOVKparag& p = Load(big);
    model->SetLayoutWidth(300);
    model->LayOut();
    RecordingCanvas canvas;
    model->Draw(canvas);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(p.Length(), 1 << 20);
    EXPECT_EQ(p.Lines().size(), 1u);
    EXPECT_LT(seconds, 20.0);
}

} // namespace
} // namespace morvell::test
