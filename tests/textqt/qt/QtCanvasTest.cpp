// Drawing through QtCanvas into images: text lands in its cell, rectangles and lines where
// asked, xor undoes itself, pictures and clipping.
#include "text/qt/QtCanvas.h"

#include "support/TestSupport.h"

#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace morvell {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

class CanvasTest : public ::testing::Test {
protected:
    CanvasTest() : image(400, 100, QImage::Format_ARGB32_Premultiplied) { image.fill(kWhite); }

    template <class Draw> void Paint(Draw draw) {
        QPainter painter(&image);
        QtCanvas canvas(painter, measurer);
        draw(canvas);
    }
    // Bounding box of the pixels that are not white; empty when none is.
    QRect Inked() const {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != kWhite) box |= QRect(x, y, 1, 1);
        return box;
    }

    QImage image;
    QtMeasurer measurer{"windows-1252", 96};
};

FontSpec Arial(int size, std::uint32_t colour = 0) {
    FontSpec f;
    f.size = size;
    f.colour = colour;
    return f;
}

TEST_F(CanvasTest, TextIsDrawnInsideItsCellFromTheTopLeft) {
    int width = 0;
    FontMetrics metrics;
    Paint([&](QtCanvas& c) {
        c.SetFont(Arial(14));
        metrics = c.Metrics(c.Font());
        width = c.TextOut(30, 20, "Hg\xE8");
    });
    EXPECT_EQ(width, measurer.Extent(Arial(14), "Hg\xE8"));
    const QRect ink = Inked();
    ASSERT_FALSE(ink.isEmpty());
    const QRect cell(30, 20, width, metrics.height);
    // A glyph may reach a pixel past its advance, never into another line.
    EXPECT_TRUE(cell.adjusted(-1, 0, 1, 0).contains(ink))
        << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
    // The capital H stands on the baseline: ink starts well below the cell top and reaches it.
    EXPECT_LE(ink.top(), 20 + metrics.ascent - 5);
    EXPECT_GE(ink.bottom(), 20 + metrics.ascent); // the g descends below the baseline
}

// Underline and strike-out belong under their own text, wherever the painter is translated.
TEST_F(CanvasTest, UnderlinedAndStruckTextKeepTheirLinesUnderTheText) {
    for (std::uint8_t style : {kFontUnderline, kFontStrikeOut}) {
        image.fill(kWhite);
        FontSpec font = Arial(12);
        font.style = style;
        int width = 0;
        FontMetrics metrics;
        {
            // Widgets paint through a translated painter (a page view right of the chapter tree).
            QPainter painter(&image);
            painter.translate(100, 0);
            QtCanvas c(painter, measurer);
            c.SetFont(font);
            metrics = c.Metrics(font);
            width = c.TextOut(20, 20, "ab cd");
        }
        const QRect ink = Inked();
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_TRUE(QRect(120, 20, width, metrics.height).adjusted(-1, 0, 1, 1).contains(ink))
            << "style " << int(style) << ": " << ink.x() << "," << ink.y() << " " << ink.width() << "x"
            << ink.height();
        // The line itself: one row that is inked across almost the whole text, spaces included.
        int longest = 0;
        for (int y = 20; y < 20 + metrics.height; ++y) {
            int inked = 0;
            for (int x = 120; x < 120 + width; ++x) inked += image.pixel(x, y) != kWhite;
            longest = std::max(longest, inked);
        }
        EXPECT_GE(longest, width * 8 / 10) << "style " << int(style);
    }
}

TEST_F(CanvasTest, TextTakesTheFontColourAndAnOptionalBackground) {
    Paint([&](QtCanvas& c) {
        c.SetFont(Arial(20, 0x000000FF)); // red in 0x00BBGGRR
        c.SetTextBackground(0x00FF0000);  // blue
        c.TextOut(10, 10, "I");
    });
    const FontMetrics m = measurer.Metrics(Arial(20));
    bool red = false;
    for (int y = 10; y < 10 + m.height; ++y)
        for (int x = 10; x < 10 + measurer.Extent(Arial(20), "I"); ++x) {
            const QColor px = image.pixelColor(x, y);
            if (px.red() > 200 && px.blue() < 60) red = true;
        }
    EXPECT_TRUE(red);
    EXPECT_EQ(image.pixelColor(10, 10), QColor(0, 0, 255)); // cell corner: background
    EXPECT_EQ(image.pixel(9, 10), kWhite);
    EXPECT_EQ(image.pixel(10, 10 + m.height), kWhite);
}

// The canvas leaves the painter's pen alone while it still draws text in the font's colour:
// a pen left by someone else (none, dotted) or by the word before must not colour the next.
TEST_F(CanvasTest, EachWordTakesItsFontColourWhateverPenThePainterHad) {
    constexpr std::uint32_t kRed = 0x000000FF, kGreen = 0x0000FF00; // 0x00BBGGRR
    struct Case {
        const char* name;
        QPen before;
        std::uint32_t first, second;
    };
    QPen noPen(QColor(255, 0, 0));
    noPen.setStyle(Qt::NoPen);
    const Case cases[] = {
        {"default pen, two colours", QPen(), kRed, kGreen},
        {"no pen of the same colour", noPen, kRed, kRed},
        {"dotted pen of the same colour", QPen(QColor(255, 0, 0), 1, Qt::DotLine), kRed, kRed},
        {"pen without a solid brush", QPen(QBrush(QColor(255, 0, 0), Qt::Dense4Pattern), 1), kRed, kRed},
        {"same colour twice", QPen(QColor(0, 255, 0)), kGreen, kGreen},
    };
    int wordInk = -1; // fully inked pixels of one word, as the first case draws it
    for (const Case& c : cases) {
        image.fill(kWhite);
        {
            QPainter painter(&image);
            painter.setPen(c.before);
            QtCanvas canvas(painter, measurer);
            canvas.SetFont(Arial(30, c.first));
            canvas.TextOut(10, 10, "MM");
            canvas.SetFont(Arial(30, c.second));
            canvas.TextOut(200, 10, "MM");
        }
        // Every fully inked pixel of a word is exactly the word's colour.
        auto inkOf = [&](int left, int right) {
            int full = 0, wrong = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = left; x < right; ++x) {
                    const QColor px = image.pixelColor(x, y);
                    if (px == QColor(Qt::white) || px.alpha() != 255) continue;
                    const bool red = px.red() == 255 && px.green() < 255;
                    const bool green = px.green() == 255 && px.red() < 255;
                    if (!red && !green) continue; // an edge pixel blended with white
                    ++full;
                    if ((red ? kRed : kGreen) != (left < 200 ? c.first : c.second)) ++wrong;
                }
            return std::make_pair(full, wrong);
        };
        const auto [firstInk, firstWrong] = inkOf(0, 200);
        const auto [secondInk, secondWrong] = inkOf(200, image.width());
        EXPECT_GT(firstInk, 0) << c.name;
        EXPECT_GT(secondInk, 0) << c.name;
        EXPECT_EQ(firstWrong, 0) << c.name;
        EXPECT_EQ(secondWrong, 0) << c.name;
        // A patterned pen would leave holes in the glyphs.
        if (wordInk < 0) wordInk = firstInk;
        EXPECT_EQ(firstInk, wordInk) << c.name;
        EXPECT_EQ(secondInk, wordInk) << c.name;
    }
}

// Words are drawn from images of the word drawn before; that must give the pixels drawing
// the glyphs directly gives, on any background, in any face, size and colour, the first time
// and again from the cache.
TEST_F(CanvasTest, WordsFromTheCacheMatchGlyphsDrawnDirectly) {
    struct Case {
        int size;
        std::uint8_t style;
        std::uint32_t colour;
        QRgb background;
    };
    const Case cases[] = {
        {10, 0, 0x000000, kWhite},
        {8, kFontBold, 0x0000FF, 0xFFFFFFAAu},
        {24, kFontItalic, 0x00AA00, 0xFF203040u},
        {13, kFontBold | kFontItalic, 0xFFFFFF, 0xFF000000u},
    };
    const char* const words[] = {"Hg\xE8", "fjord,", "Wy", "\xC0\xE7", "(quoted)"};
    for (const Case& c : cases) {
        FontSpec font = Arial(c.size, c.colour);
        font.style = c.style;
        for (const char* word : words) {
            SCOPED_TRACE(::testing::Message()
                         << "size " << c.size << " style " << int(c.style) << " word " << word);
            const int x = 37, y = 21;
            QImage direct(200, 80, QImage::Format_ARGB32_Premultiplied);
            direct.fill(c.background);
            {
                QPainter painter(&direct);
                painter.setPen(QtCanvas::ToQColor(c.colour));
                const QPointF baseline(x, y + measurer.Metrics(font).ascent);
                for (const QGlyphRun& run : measurer.GlyphRuns(font, word))
                    painter.drawGlyphRun(baseline, run);
            }
            for (int pass = 0; pass < 2; ++pass) {
                QImage cached(200, 80, QImage::Format_ARGB32_Premultiplied);
                cached.fill(c.background);
                {
                    QPainter painter(&cached);
                    QtCanvas canvas(painter, measurer);
                    canvas.SetFont(font);
                    canvas.TextOut(x, y, word);
                }
                int worst = 0;
                for (int py = 0; py < direct.height(); ++py)
                    for (int px = 0; px < direct.width(); ++px) {
                        const QRgb a = direct.pixel(px, py), b = cached.pixel(px, py);
                        worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                          std::abs(qBlue(a) - qBlue(b))});
                    }
                // Blending the word's premultiplied image rounds once more than blending the
                // glyph coverage: one step of a channel at most.
                EXPECT_LE(worst, 1) << "pass " << pass;
            }
        }
    }
}

// A hostile size must not turn one word into an image of gigabytes; headings of a few words
// gain nothing from images either. Reading sizes are kept.
TEST_F(CanvasTest, HugeTextIsDrawnAsGlyphsAndNotKept) {
    const std::size_t before = measurer.WordInkBytes();
    Paint([&](QtCanvas& c) {
        c.SetFont(Arial(3000));
        // The baseline inside the image, so the letters' bodies cover it.
        c.TextOut(-200, 95 - c.Metrics(c.Font()).ascent, "IIII");
    });
    EXPECT_EQ(measurer.WordInkBytes(), before);
    EXPECT_FALSE(Inked().isEmpty()) << "the glyphs were drawn";
    Paint([&](QtCanvas& c) {
        c.SetFont(Arial(10));
        c.TextOut(0, 0, "Wonderful");
    });
    EXPECT_GT(measurer.WordInkBytes(), before);
}

// Under a scale (printing previews, a zoomed painter) the canvas draws glyphs, not the cached
// images of words drawn at another size.
TEST_F(CanvasTest, ScaledPaintersDrawTheGlyphsThemselves) {
    QImage direct(400, 100, QImage::Format_ARGB32_Premultiplied), viaCanvas = direct;
    direct.fill(kWhite);
    viaCanvas.fill(kWhite);
    const FontSpec font = Arial(10);
    {
        QPainter painter(&direct);
        painter.scale(2, 2);
        const QPointF baseline(5, 5 + measurer.Metrics(font).ascent);
        for (const QGlyphRun& run : measurer.GlyphRuns(font, "Scaled")) painter.drawGlyphRun(baseline, run);
    }
    // The word is in the cache at 1:1 first.
    Paint([&](QtCanvas& c) {
        c.SetFont(font);
        c.TextOut(5, 5, "Scaled");
    });
    {
        QPainter painter(&viaCanvas);
        painter.scale(2, 2);
        QtCanvas canvas(painter, measurer);
        canvas.SetFont(font);
        canvas.TextOut(5, 5, "Scaled");
    }
    EXPECT_EQ(direct, viaCanvas);
}

TEST_F(CanvasTest, FilledRectangleLandsWhereAsked) {
    Paint([](QtCanvas& c) { c.FillRect({40, 30, 50, 35}, 0x0000FF00); });
    EXPECT_EQ(Inked(), QRect(40, 30, 10, 5)); // right and bottom exclusive
    EXPECT_EQ(image.pixelColor(40, 30), QColor(0, 255, 0));
    Paint([](QtCanvas& c) { c.FillRect({60, 60, 60, 70}, 0); }); // empty: nothing
    EXPECT_EQ(Inked(), QRect(40, 30, 10, 5));
}

TEST_F(CanvasTest, LinesLeaveOutTheirEndPoint) {
    Paint([](QtCanvas& c) {
        c.Line(10, 10, 20, 10, 0);
        c.Line(50, 40, 50, 30, 0); // upwards
    });
    EXPECT_NE(image.pixel(10, 10), kWhite);
    EXPECT_NE(image.pixel(19, 10), kWhite);
    EXPECT_EQ(image.pixel(20, 10), kWhite);
    EXPECT_NE(image.pixel(50, 40), kWhite);
    EXPECT_NE(image.pixel(50, 31), kWhite);
    EXPECT_EQ(image.pixel(50, 30), kWhite);
}

TEST_F(CanvasTest, DottedLineSkipsEveryOtherPixel) {
    Paint([](QtCanvas& c) { c.Line(10, 50, 30, 50, 0, PenStyle::Dotted); });
    int on = 0, off = 0;
    for (int x = 10; x < 30; ++x) (image.pixel(x, 50) == kWhite ? off : on)++;
    EXPECT_GT(on, 5);
    EXPECT_GT(off, 5);
}

TEST_F(CanvasTest, XorLineDrawnTwiceRestoresTheImage) {
    Paint([](QtCanvas& c) { c.FillRect({0, 0, 100, 100}, 0x00336699); });
    const QImage before = image.copy();
    Paint([](QtCanvas& c) {
        c.Line(5, 50, 150, 50, 0x00FFFFFF, PenStyle::Xor);
        c.Line(80, 5, 80, 95, 0x00FFFFFF, PenStyle::Xor);
    });
    EXPECT_NE(image, before);
    EXPECT_NE(image.pixel(20, 50), before.pixel(20, 50));
    // Where the two lines cross, the second xor takes the first one's pixel back.
    EXPECT_EQ(image.pixel(80, 50), before.pixel(80, 50));
    Paint([](QtCanvas& c) {
        c.Line(5, 50, 150, 50, 0x00FFFFFF, PenStyle::Xor);
        c.Line(80, 5, 80, 95, 0x00FFFFFF, PenStyle::Xor);
    });
    EXPECT_EQ(image, before);
}

TEST_F(CanvasTest, ImageIsDrawnFromItsViewAndScaledToATarget) {
    // Two by two pixels: red, green / blue, half-transparent black (premultiplied).
    const std::vector<std::uint32_t> px = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80000000};
    const ImageView view{2, 2, 8, px.data(), true};
    Paint([&](QtCanvas& c) {
        c.DrawImage(100, 50, view);
        c.DrawImage(0, 0, view, CanvasRect{10, 10, 30, 30});
    });
    EXPECT_EQ(image.pixelColor(100, 50), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(101, 50), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(100, 51), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(101, 51).red(), 127); // half black over white
    EXPECT_EQ(image.pixelColor(12, 12), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(27, 27).red(), 127);
    EXPECT_EQ(image.pixel(30, 30), kWhite);
    // A view that lies about its stride is not drawn.
    const ImageView bad{2, 2, 4, px.data(), true};
    QImage copy = image.copy();
    Paint([&](QtCanvas& c) { c.DrawImage(150, 80, bad); });
    EXPECT_EQ(image, copy);
}

TEST_F(CanvasTest, ClipKeepsDrawingInsideUntilCleared) {
    Paint([](QtCanvas& c) {
        c.SetClip(CanvasRect{20, 20, 40, 40});
        c.FillRect({0, 0, 200, 100}, 0);
        c.SetClip(std::nullopt);
        c.FillRect({150, 0, 160, 10}, 0);
    });
    QRect expected = QRect(20, 20, 20, 20) | QRect(150, 0, 10, 10);
    EXPECT_EQ(Inked(), expected);
    EXPECT_EQ(image.pixel(19, 20), kWhite);
}

// Paints one word on a widget, through the canvas or as glyphs drawn directly.
class WordWidget : public QWidget {
public:
    WordWidget(QtMeasurer& measurer, FontSpec font, bool throughCanvas)
        : m_measurer(measurer), m_font(std::move(font)), m_throughCanvas(throughCanvas) {
        resize(160, 40);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (m_throughCanvas) {
            QtCanvas canvas(painter, m_measurer);
            canvas.SetFont(m_font);
            canvas.TextOut(6, 8, "Wavy sample");
            return;
        }
        painter.setPen(Qt::black);
        const QPointF baseline(6, 8 + m_measurer.Metrics(m_font).ascent);
        for (const QGlyphRun& run : m_measurer.GlyphRuns(m_font, "Wavy sample"))
            painter.drawGlyphRun(baseline, run);
    }

private:
    QtMeasurer& m_measurer;
    FontSpec m_font;
    bool m_throughCanvas;
};

// On a widget, Qt draws subpixel (LCD) glyphs when the desktop asks for them, which a word image
// cannot hold: the canvas must then draw glyphs, so both ways still give the same pixels.
// Run as it is, this checks the usual greyscale desktop; the test below runs it again under a
// font configuration asking for subpixel text.
TEST(QtCanvasOnWidgets, WordsMatchGlyphsDrawnDirectly) {
    QtMeasurer measurer("windows-1252", 96);
    for (int pass = 0; pass < 2; ++pass) { // the second paint draws from whatever was kept
        const QImage direct = WordWidget(measurer, Arial(13), false).grab().toImage();
        const QImage viaCanvas = WordWidget(measurer, Arial(13), true).grab().toImage();
        EXPECT_EQ(direct, viaCanvas) << "pass " << pass;
        if (std::getenv("MORVELL_EXPECT_SUBPIXEL")) {
            bool fringes = false;
            for (int y = 0; y < direct.height(); ++y)
                for (int x = 0; x < direct.width(); ++x) {
                    const QRgb p = direct.pixel(x, y);
                    fringes |= qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
                }
            if (!fringes) GTEST_SKIP() << "this platform draws no subpixel text offscreen";
            EXPECT_EQ(measurer.WordInkBytes(), 0u) << "subpixel words are not kept as images";
        }
    }
}

TEST(QtCanvasOnWidgets, SubpixelDesktopsGetGlyphsNotWordImages) {
    if (std::getenv("MORVELL_EXPECT_SUBPIXEL")) GTEST_SKIP() << "already the child run";
    test::TempDir dir;
    const auto config = dir / "fonts.conf";
    test::WriteFile(config.string(), R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <match target="font">
    <edit name="antialias" mode="assign"><bool>true</bool></edit>
    <edit name="rgba" mode="assign"><const>rgb</const></edit>
  </match>
</fontconfig>
)");
    // A new process: the font configuration is read once, when the first font is made.
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string command = "FONTCONFIG_FILE='" + config.string() +
                                "' MORVELL_EXPECT_SUBPIXEL=1 QT_QPA_PLATFORM=offscreen '" + self +
                                "' --gtest_filter=QtCanvasOnWidgets.WordsMatchGlyphsDrawnDirectly >'" +
                                (dir / "out.txt").string() + "' 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_EQ(status, 0) << test::ReadFile((dir / "out.txt").string());
}

TEST(QtCanvasColour, StoredColoursAreBlueGreenRed) {
    EXPECT_EQ(QtCanvas::ToQColor(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(QtCanvas::ToQColor(0x00FF0000), QColor(0, 0, 255));
    EXPECT_EQ(QtCanvas::ToQColor(0x00123456), QColor(0x56, 0x34, 0x12));
    // The palette-relative mark of 8-bit displays does not change the colour.
    EXPECT_EQ(QtCanvas::ToQColor(0x02123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(QtCanvas::ToQColor(0x80000000u + 13), QGuiApplication::palette().color(QPalette::Highlight));
}

} // namespace
} // namespace morvell
