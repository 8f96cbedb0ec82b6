#include "text/TextPos.h"
#include "text/qt/TOVKcursor.h"

#include <QGuiApplication>
#include <QPainter>
#include <QStyleHints>
#include <QTest>
#include <gtest/gtest.h>

namespace morvell {
namespace {

class Page : public QWidget {
public:
    explicit Page(QColor colour) : m_colour(colour) { resize(100, 60); }
    int presses = 0;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), m_colour); }
    void mousePressEvent(QMouseEvent*) override { ++presses; }

private:
    QColor m_colour;
};

// Blinking off unless a test wants it, so pixels do not depend on timing.
class Caret : public ::testing::Test {
protected:
    void SetUp() override {
        m_flash = QGuiApplication::styleHints()->cursorFlashTime();
        QGuiApplication::styleHints()->setCursorFlashTime(0);
    }
    void TearDown() override { QGuiApplication::styleHints()->setCursorFlashTime(m_flash); }

private:
    int m_flash = 0;
};

TEST_F(Caret, ThreePixelsFromTheCharacterEdgeOneLineHigh) {
    Page page(Qt::white);
    TOVKcursor caret(&page);
    caret.SetPosition(10, 20, 15);
    EXPECT_EQ(caret.geometry(), QRect(10, 20, 3, 15));
    EXPECT_FALSE(caret.isVisibleTo(&page)) << "a new caret is hidden";

    TTextPos pos;
    pos.paragraphIndex = 0;
    pos.characterIndex = 4;
    pos.x = 40;
    pos.xRight = 47;
    pos.y = 5;
    pos.height = 18;
    caret.SetPosition(pos);
    EXPECT_EQ(caret.geometry(), QRect(40, 5, 3, 18));

    caret.Show();
    EXPECT_TRUE(caret.isVisibleTo(&page));
    caret.SetPosition(TTextPos{});
    EXPECT_FALSE(caret.isVisibleTo(&page)) << "no position, no caret";
}

TEST_F(Caret, NeverShowsInAReadOnlyBox) {
    Page page(Qt::white);
    TOVKcursor caret(&page);
    caret.SetPosition(10, 0, 12);
    struct Step {
        const char* name;
        void (*act)(TOVKcursor&);
        bool visible;
    };
    const Step steps[] = {
        {"show", [](TOVKcursor& c) { c.Show(); }, true},
        {"becomes read-only", [](TOVKcursor& c) { c.SetReadOnly(true); }, false},
        {"show while read-only", [](TOVKcursor& c) { c.Show(); }, false},
        {"moved while read-only", [](TOVKcursor& c) { c.SetPosition(30, 0, 12); }, false},
        {"editable again", [](TOVKcursor& c) { c.SetReadOnly(false); }, true},
        {"hide", [](TOVKcursor& c) { c.Hide(); }, false},
        {"read-only lifted while hidden",
         [](TOVKcursor& c) {
             c.SetReadOnly(true);
             c.SetReadOnly(false);
         },
         false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.act(caret);
        EXPECT_EQ(caret.isVisibleTo(&page), s.visible);
    }
}

TEST_F(Caret, InvertsWhatLiesBeneathAndLeavesTheRest) {
    struct Case {
        QColor page;
        QColor bar;
    };
    for (const Case& c : {Case{Qt::white, Qt::black}, Case{Qt::black, Qt::white}}) {
        SCOPED_TRACE(c.page.name().toStdString());
        Page page(c.page);
        TOVKcursor caret(&page);
        caret.SetPosition(10, 20, 15);
        caret.Show();
        const QImage shot = page.grab().toImage();
        for (int x = 10; x <= 12; ++x) EXPECT_EQ(shot.pixelColor(x, 25), c.bar) << x;
        EXPECT_EQ(shot.pixelColor(9, 25), c.page);
        EXPECT_EQ(shot.pixelColor(13, 25), c.page);
        EXPECT_EQ(shot.pixelColor(10, 19), c.page);
        EXPECT_EQ(shot.pixelColor(10, 35), c.page);
    }
}

TEST_F(Caret, ClicksOnTheCaretReachTheBox) {
    Page page(Qt::white);
    TOVKcursor caret(&page);
    caret.SetPosition(10, 20, 15);
    caret.Show();
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    QTest::mouseClick(page.windowHandle(), Qt::LeftButton, {}, QPoint(10, 25));
    EXPECT_EQ(page.presses, 1);
    EXPECT_FALSE(caret.hasFocus());
}

TEST_F(Caret, BlinksWithTheDesktopAndRestartsLitWhenMoved) {
    Page page(Qt::white);
    TOVKcursor caret(&page);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));

    caret.SetPosition(10, 0, 12);
    caret.Show();
    EXPECT_EQ(caret.BlinkInterval(), 0);
    QTest::qWait(120);
    EXPECT_TRUE(caret.BlinkOn()) << "flash time 0: a steady caret";

    QGuiApplication::styleHints()->setCursorFlashTime(100);
    caret.Hide();
    caret.Show();
    EXPECT_EQ(caret.BlinkInterval(), 50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !caret.BlinkOn(); }, 2000));
    caret.SetPosition(20, 0, 12);
    EXPECT_TRUE(caret.BlinkOn());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !caret.BlinkOn(); }, 2000));
    caret.Hide();
    caret.Show();
    EXPECT_TRUE(caret.BlinkOn());
}

} // namespace
} // namespace morvell
