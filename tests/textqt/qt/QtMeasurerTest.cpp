// Screen metrics through Qt's font engine: the mapped faces, the pair rule, code pages.
#include "text/qt/QtMeasurer.h"
#include "text/qt/FontMapping.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace morvell {
namespace {

FontSpec MakeFont(const char* name, int size = 12, std::uint8_t style = 0) {
    FontSpec f;
    f.name = name;
    f.size = size;
    f.style = style;
    return f;
}

TEST(FontMapping, WindowsFacesBecomeTheirMetricTwins) {
    struct Case {
        const char* face;
        const char* family;
    } cases[] = {
        {"Arial", "Liberation Sans"},
        {"arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"COURIER NEW", "Liberation Mono"},
        {"Wingdings", "Liberation Sans"},
        {"Some Other Face", "Some Other Face"},
    };
    for (const Case& c : cases) EXPECT_EQ(FontMapping::Family(c.face).toStdString(), c.family) << c.face;
    // The families really are installed: Qt resolves them to themselves.
    for (const char* face : {"Arial", "Times New Roman", "Courier New"}) {
        QFontInfo info(FontMapping::ToQFont(MakeFont(face), 96));
        EXPECT_EQ(info.family(), FontMapping::Family(face)) << face;
    }
}

TEST(FontMapping, PointsBecomePixelsAtTheGivenResolution) {
    struct Case {
        int points, dpi, pixels;
    } cases[] = {{10, 96, 13},  {12, 96, 16}, {9, 96, 12}, {10, 120, 17},
                 {10, 600, 83}, {0, 96, 1},   {-5, 96, 1}};
    for (const Case& c : cases) EXPECT_EQ(FontMapping::PointsToPixels(c.points, c.dpi), c.pixels) << c.points;
}

TEST(FontMapping, StyleBitsSetWeightItalicUnderlineStrikeOut) {
    const QFont f = FontMapping::ToQFont(
        MakeFont("Arial", 10, kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut), 96);
    EXPECT_EQ(f.weight(), QFont::Bold);
    EXPECT_TRUE(f.italic());
    EXPECT_TRUE(f.underline());
    EXPECT_TRUE(f.strikeOut());
    const QFont plain = FontMapping::ToQFont(MakeFont("Arial", 10), 96);
    EXPECT_EQ(plain.weight(), QFont::Normal);
    EXPECT_FALSE(plain.italic() || plain.underline() || plain.strikeOut());
    EXPECT_EQ(plain.pixelSize(), 13);
}

TEST(QtMeasurer, MappedFacesGivePositiveStableMetrics) {
    QtMeasurer m("windows-1252", 96);
    for (const char* face : {"Arial", "Times New Roman", "Courier New", "No Such Face Anywhere"}) {
        SCOPED_TRACE(face);
        const FontMetrics a = m.Metrics(MakeFont(face));
        EXPECT_GT(a.height, 0);
        EXPECT_GT(a.ascent, 0);
        EXPECT_LT(a.ascent, a.height);
        EXPECT_GT(m.Extent(MakeFont(face), "W"), 0);
        // Asked again, through a fresh measurer too, nothing moves.
        QtMeasurer other("windows-1252", 96);
        EXPECT_EQ(other.Metrics(MakeFont(face)).height, a.height);
        EXPECT_EQ(other.Metrics(MakeFont(face)).ascent, a.ascent);
        EXPECT_EQ(m.Extent(MakeFont(face), "W"), other.Extent(MakeFont(face), "W"));
        // A bigger size is never smaller.
        EXPECT_GE(m.Metrics(MakeFont(face, 24)).height, a.height);
    }
}

TEST(QtMeasurer, BoldIsAtLeastAsWideAsRegular) {
    QtMeasurer m("windows-1252", 96);
    for (const char* face : {"Arial", "Times New Roman", "Courier New"}) {
        const std::string sample = "Hello wide world";
        EXPECT_GE(m.Extent(MakeFont(face, 12, kFontBold), sample), m.Extent(MakeFont(face, 12), sample)) << face;
    }
    // Arial bold is strictly wider, so the style really reaches the engine.
    EXPECT_GT(m.Extent(MakeFont("Arial", 12, kFontBold), "mmmm"), m.Extent(MakeFont("Arial", 12), "mmmm"));
}

TEST(QtMeasurer, PairMinusSingleIsTheAdvanceOfPlainPairs) {
    QtMeasurer m("windows-1252", 96);
    struct Case {
        const char* face;
        const char* pair;
    } cases[] = {{"Courier New", "ab"},
                 {"Courier New", "Wi"},
                 {"Arial", "ab"},
                 {"Arial", "nm"},
                 {"Times New Roman", "oe"}};
    for (const Case& c : cases) {
        const std::string pair = c.pair;
        const FontSpec f = MakeFont(c.face);
        EXPECT_EQ(m.Extent(f, pair) - m.Extent(f, pair.substr(0, 1)), m.Extent(f, pair.substr(1, 1)))
            << c.face << " " << c.pair;
    }
}

TEST(QtMeasurer, CodePageBytesMeasureAsTheirUnicodeCharacters) {
    const FontSpec f = MakeFont("Arial", 14);
    QtMeasurer latin("windows-1252", 96);
    const QFontMetrics qt(FontMapping::ToQFont(f, 96));
    struct Case {
        const char* charSet;
        std::string bytes;
        QString unicode;
    } cases[] = {
        {"windows-1252", "\xE8", QString::fromUtf8("\xC3\xA8")},             // è
        {"iso-8859-1", "\x80", QString::fromUtf8("\xE2\x82\xAC")},           // the euro of the ANSI page
        {"windows-1251", "\xE8", QString::fromUtf8("\xD0\xB8")},             // и
        {"windows-1253", "\xE1\xE2", QString::fromUtf8("\xCE\xB1\xCE\xB2")}, // αβ
    };
    for (const Case& c : cases) {
        latin.SetCharSet(c.charSet);
        EXPECT_EQ(latin.Decode(f, c.bytes), c.unicode) << c.charSet;
        EXPECT_EQ(latin.Extent(f, c.bytes), qt.horizontalAdvance(c.unicode)) << c.charSet;
    }
    // The same byte is a different letter in another code page, and measures as that letter.
    QtMeasurer cyrillic("windows-1251", 96);
    EXPECT_EQ(cyrillic.Extent(f, "\xE8"), qt.horizontalAdvance(QString::fromUtf8("\xD0\xB8")));
}

TEST(QtMeasurer, WingdingsBulletIsDrawnAsTheBulletCharacter) {
    QtMeasurer m("windows-1252", 96);
    EXPECT_EQ(m.Decode(MakeFont("Wingdings"), "w"), QString(QChar(0x2022)));
    EXPECT_EQ(m.Decode(MakeFont("Arial"), "w"), QStringLiteral("w"));
    const QFontMetrics qt(FontMapping::ToQFont(MakeFont("Wingdings"), 96));
    EXPECT_EQ(m.Extent(MakeFont("Wingdings"), "w"), qt.horizontalAdvance(QChar(0x2022)));
}

TEST(QtMeasurer, LongerStringsAndEmptyOnes) {
    QtMeasurer m("windows-1252", 96);
    const FontSpec f = MakeFont("Courier New");
    EXPECT_EQ(m.Extent(f, ""), 0);
    EXPECT_EQ(m.Extent(f, "abcdefgh"), 4 * m.Extent(f, "ab"));
}

TEST(QtMeasurer, HigherResolutionGivesBiggerMetrics) {
    QtMeasurer screen("windows-1252", 96), paper("windows-1252", 600);
    const FontSpec f = MakeFont("Times New Roman", 12);
    EXPECT_GT(paper.Metrics(f).height, 5 * screen.Metrics(f).height);
    EXPECT_GT(paper.Extent(f, "Morvell"), 5 * screen.Extent(f, "Morvell"));
}

} // namespace
} // namespace morvell
