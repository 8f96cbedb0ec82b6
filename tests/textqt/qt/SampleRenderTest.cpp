// A sample page laid out with screen metrics and drawn through QtCanvas into a PNG in the
// build tree (textqt-sample.png), so the rendering can be looked at; the test checks that
// every paragraph left ink inside its own band and nothing is drawn past the layout width.
#include "text/TOVKparag.h"
#include "text/TextModel.h"
#include "text/qt/QtCanvas.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>

namespace morvell {
namespace {

const std::string kSample = std::string("<Z S0 s18 y1 A2 >Morvell sample page<Z S0 s10 >") +
                            "Plain text, then <Y y1 >bold<Y >, <Y y2 >italic<Y >, <Y y4 >underlined<Y > and "
                            "<Y c0000FF s16 >big blue<Y > words; a <$00000001>linked phrase<%> in the middle "
                            "and accents: caff\xE8, na\xEFve, \x80 5.<Z S0 s11 A3 >"
                            "Justified text fills every line but the last one of its paragraph, so the gaps "
                            "between the words widen until the right edge is straight, here over several "
                            "lines of ordinary words.<Z S0 s10 N6 I-20 l30 >First numbered"
                            "<Z S0 s10 N6 I-20 l30 >Second numbered<Z S0 s10 N10 I-20 l30 >A bulleted "
                            "paragraph<Z S0 F\"Courier New\" s10 A1 >right aligned, Courier<Z S0 "
                            "F\"Times New Roman\" s12 y8 >Times, struck out" +
                            std::string(1, '\0');

TEST(SampleRender, PageIsDrawnIntoAPicture) {
    constexpr int kWidth = 360;
    QtMeasurer measurer("windows-1252", 96);
    TextModel model(nullptr, &measurer);
    model.SetLayoutWidth(kWidth);
    model.Load(kSample);
    ASSERT_EQ(model.Paragraphs().size(), 8u);
    const int height = model.LayOut();
    ASSERT_GT(height, 100);
    EXPECT_GT(model.Paragraphs()[2]->Lines().size(), 2u); // the justified one wraps

    QImage image(kWidth, height + 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtCanvas canvas(painter, measurer);
        model.Draw(canvas);
    }
    image.save(QString::fromUtf8(MORVELL_BINARY_DIR "/textqt-sample.png"));

    for (const auto& p : model.Paragraphs()) {
        bool inked = false;
        for (int y = std::max(0, p->Top()); y <= p->Bottom() && y < image.height() && !inked; ++y)
            for (int x = 0; x < kWidth && !inked; ++x) inked = image.pixel(x, y) != 0xFFFFFFFF;
        EXPECT_TRUE(inked) << "paragraph at " << p->Top();
    }
    // The right-aligned line ends at the right indent (10 in the default style).
    const auto& right = *model.Paragraphs()[6];
    EXPECT_EQ(right.Lines()[0].offset + right.Lines()[0].usedWidth + right.Lines()[0].indent, kWidth - 10);
}

} // namespace
} // namespace morvell
