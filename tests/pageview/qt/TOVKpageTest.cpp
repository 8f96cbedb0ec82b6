// The page view on the offscreen platform: a page shown in its text box, wheel steps, the
// undo list emptied at a page change, the fixed background, and ovktool render.
#include "objects/qt/TOVKpage.h"
#include "document/TOVKset.h"
#include "objects/TOVKUndoList.h"
#include "objects/TOVKtesto.h"
#include "ovkbuild/Builder.h"
#include "ovkbuild/Templates.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace morvell;
using morvell::test::TempDir;

std::string LongText(int paragraphs) {
    std::string text;
    for (int i = 0; i < paragraphs; ++i) text += "<Z S0 >Line " + std::to_string(i) + " of a long page.";
    return text + '\0';
}

class TOVKpageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ovkbuild::Builder b;
        ovkbuild::AddPage(b, "Long", LongText(200));
        ovkbuild::AddPage(b, "Short", std::string("<Z S0 >Short page.") + '\0');
        path = (dir / "pages.ovk").string();
        b.Write(path);
        ASSERT_TRUE(document.SetOVKFileName(path));
        view.SetDocument(&document);
        view.SetUndoList(&undo);
        view.SetReadOnly(true);
        view.resize(400, 300);
        view.show();
        QApplication::processEvents();
    }
    TOVKtesto* Page(int index) {
        return dynamic_cast<TOVKtesto*>(document.Object(TOggettiHel::testoHtml, index));
    }

    TempDir dir;
    std::string path;
    TOVKset document;
    TOVKundoList undo;
    TOVKpage view;
};

TEST_F(TOVKpageTest, ShowsAPageInASizedTextBox) {
    EXPECT_EQ(view.SetPage(Page(0)), Page(0));
    ASSERT_NE(view.TextBox(), nullptr);
    EXPECT_EQ(view.widget(), view.TextBox());
    EXPECT_EQ(view.PageIndex(), 0);
    EXPECT_FALSE(view.Generated());
    // A copy is shown, never the registered page itself.
    EXPECT_NE(view.DisplayCopy(), Page(0));
    EXPECT_GT(view.ContentHeight(), 2000);
    EXPECT_GE(view.TextBox()->height(), view.ContentHeight());
    EXPECT_EQ(view.Controls().At(0), view.TextBox());
}

TEST_F(TOVKpageTest, NoPageGivesAGeneratedEmptyPage) {
    TOVKtesto* shown = view.SetPage(nullptr);
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(view.Generated());
    EXPECT_EQ(view.RegisteredPage(), nullptr);
    EXPECT_NE(view.TextBox(), nullptr);
}

TEST_F(TOVKpageTest, WheelMovesOneHundredPixelsAndStopsAtTheTop) {
    view.SetPage(Page(0));
    QApplication::processEvents();
    QScrollBar* bar = view.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 300);
    auto wheel = [&](int delta) {
        QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &e);
    };
    wheel(-120);
    EXPECT_EQ(bar->value(), 100);
    wheel(-120);
    EXPECT_EQ(bar->value(), 200);
    wheel(120);
    EXPECT_EQ(bar->value(), 100);
    wheel(120);
    wheel(120);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(TOVKpageTest, PageChangeEmptiesTheUndoList) {
    view.SetPage(Page(0));
    undo.AddUndo(std::make_unique<TimBackup>(&document, &undo));
    undo.AddRedo(std::make_unique<TimBackup>(&document, &undo));
    view.Clear();
    EXPECT_TRUE(undo.Empty());
    EXPECT_EQ(view.TextBox(), nullptr);
    EXPECT_EQ(view.RegisteredPage(), nullptr);
    view.SetPage(Page(1));
    EXPECT_EQ(view.PageIndex(), 1);
}

TEST_F(TOVKpageTest, ScrollBarModesOfAReadOnlyView) {
    view.SetScrollBarMode(1);
    EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    view.SetScrollBarMode(7);
    EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    view.SetScrollBarMode(2);
    EXPECT_NE(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST_F(TOVKpageTest, MissingAnchorIsSilentInTheReader) {
    view.SetPage(Page(0));
    EXPECT_FALSE(view.ScrollToAnchor(-1));
    EXPECT_FALSE(view.ScrollToAnchor(3));
}

TEST(OvktoolRenderTest, CoverOfTheSampleHasTheRequestedSize) {
    TempDir dir;
    const std::string sample = std::string(MORVELL_SOURCE_DIR) + "/samples/welcome/manifest.json";
    const std::string ovk = (dir / "welcome.ovk").string();
    const std::string png = (dir / "cover.png").string();
    const std::string bin = MORVELL_BINARY_DIR;
    ASSERT_EQ(std::system((bin + "/ovkbuild '" + sample + "' -o '" + ovk + "' >/dev/null").c_str()), 0);
    ASSERT_EQ(std::system((bin + "/ovktool render '" + ovk + "' 0 --width 640 --height 480 --out '" + png +
                           "' >/dev/null 2>&1")
                              .c_str()),
              0);
    QImage image(QString::fromStdString(png));
    EXPECT_EQ(image.size(), QSize(640, 480));
    // The default height is the page's own.
    const std::string tall = (dir / "tall.png").string();
    ASSERT_EQ(
        std::system((bin + "/ovktool render '" + ovk + "' 1 --out '" + tall + "' >/dev/null 2>&1").c_str()),
        0);
    QImage whole(QString::fromStdString(tall));
    EXPECT_EQ(whole.width(), 800);
    EXPECT_GT(whole.height(), 480);
}

} // namespace
