#include "text/qt/THintWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace morvell {
namespace {

constexpr const char* kAnsi = "windows-1252";

// Each test starts with no hint and with delays short enough to wait for.
class ApplicationHint : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = CurrentHintTimings();
        SetHintTimings({50, 2000, 10000});
        CancelHint();
        owner = std::make_unique<QWidget>();
        owner->setGeometry(100, 100, 200, 100);
        owner->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(owner.get()));
    }
    void TearDown() override {
        CancelHint();
        SetHintTimings(m_saved);
    }

    // Shows a hint for `owner` and waits through the show delay.
    void ShowAndWait(const std::string& bytes, QPoint at = QPoint(150, 150)) {
        ShowHint(owner.get(), at, bytes, kAnsi);
        ASSERT_TRUE(QTest::qWaitFor([] { return HintVisible(); }, 2000));
    }

    std::unique_ptr<QWidget> owner;

private:
    HintTimings m_saved;
};

TEST_F(ApplicationHint, WaitsForTheFirstHintThenFollowsTheNeighbouringLinkAtOnce) {
    ShowHint(owner.get(), QPoint(150, 150), "Capitolo primo", kAnsi);
    EXPECT_FALSE(HintVisible()) << "the first hint shows only once the pointer rests";
    ASSERT_TRUE(QTest::qWaitFor([] { return HintVisible(); }, 2000));
    EXPECT_EQ(HintText(), QStringLiteral("Capitolo primo"));
    EXPECT_EQ(HintOwner(), owner.get());

    // The adjacent link of the same box: no new delay, new text, at the new pointer.
    ShowHint(owner.get(), QPoint(180, 150), "Capitolo secondo", kAnsi);
    EXPECT_TRUE(HintVisible());
    EXPECT_EQ(HintText(), QStringLiteral("Capitolo secondo"));
    EXPECT_EQ(ApplicationHintWindow().pos(),
              QPoint(180 + TQzHintWindow::kOffsetX, 150 + TQzHintWindow::kOffsetY));

    // Off the links for a moment and onto the next one: still at once.
    HideHint(owner.get());
    EXPECT_FALSE(HintVisible());
    ShowHint(owner.get(), QPoint(200, 150), "Indice", kAnsi);
    EXPECT_TRUE(HintVisible());
    EXPECT_EQ(HintText(), QStringLiteral("Indice"));

    // After a click the next hint waits again: the user acted on the page.
    QTest::mouseClick(owner.get(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(HintVisible());
    ShowHint(owner.get(), QPoint(150, 150), "Capitolo primo", kAnsi);
    EXPECT_FALSE(HintVisible());
}

TEST_F(ApplicationHint, EndsWhenTheOwnerOrTheUserMovesOn) {
    struct Case {
        const char* name;
        std::function<void(std::unique_ptr<QWidget>&)> act;
    };
    const Case cases[] = {
        {"owner asks", [](auto& w) { HideHint(w.get()); }},
        {"pointer leaves the owner",
         [](auto& w) {
             QEvent leave(QEvent::Leave);
             QApplication::sendEvent(w.get(), &leave);
         }},
        {"owner hidden", [](auto& w) { w->hide(); }},
        {"owner destroyed", [](auto& w) { w.reset(); }},
        {"mouse press", [](auto& w) { QTest::mousePress(w.get(), Qt::LeftButton, {}, QPoint(5, 5)); }},
        {"key press", [](auto& w) { QTest::keyClick(w.get(), Qt::Key_Down); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!owner) {
            owner = std::make_unique<QWidget>();
            owner->show();
        }
        owner->show();
        ShowAndWait("Vai alla pagina");
        c.act(owner);
        EXPECT_FALSE(HintVisible());
        EXPECT_EQ(HintOwner(), nullptr);
        if (owner) QTest::mouseRelease(owner.get(), Qt::LeftButton, {}, QPoint(5, 5));
        CancelHint();
    }
}

TEST_F(ApplicationHint, AnotherOwnerCannotHideItAndAWaitingHintCanBeCancelled) {
    QWidget other;
    ShowAndWait("Nota");
    HideHint(&other);
    EXPECT_TRUE(HintVisible());
    CancelHint();

    ShowHint(owner.get(), QPoint(150, 150), "Mai vista", kAnsi);
    HideHint(owner.get());
    QTest::qWait(150);
    EXPECT_FALSE(HintVisible()) << "a hint cancelled while waiting must not pop up later";
}

TEST_F(ApplicationHint, HidesByItselfAfterTheTimeout) {
    SetHintTimings({0, 0, 100});
    ShowAndWait("Breve");
    EXPECT_TRUE(QTest::qWaitFor([] { return !HintVisible(); }, 2000));
}

TEST_F(ApplicationHint, DecodesTheEbookCodePage) {
    struct Case {
        std::string bytes;
        const char* charSet;
        QString text;
    };
    const Case cases[] = {
        {"Perch\xE8", "windows-1252", QStringLiteral("Perch\u00E8")},
        {"\xE8", "iso-8859-1", QStringLiteral("\u00E8")},
        {"\xE8", "windows-1251", QStringLiteral("\u0438")},
        {"\x93quoted\x94", "windows-1252", QStringLiteral("\u201Cquoted\u201D")},
    };
    ShowAndWait("start");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charSet);
        ShowHint(owner.get(), QPoint(150, 150), c.bytes, c.charSet);
        EXPECT_EQ(HintText(), c.text);
    }
}

// Columns of ink in the rendered window: how wide the drawn text is.
int InkWidth(const QString& text) {
    TQzHintWindow window;
    window.ActivateHint(QPoint(0, 0), text, 1000);
    const QImage shot = window.grab().toImage();
    window.hide();
    const QColor background = window.palette().color(QPalette::ToolTipBase);
    int left = shot.width(), right = -1;
    for (int y = 2; y < shot.height() - 2; ++y) {
        for (int x = 2; x < shot.width() - 2; ++x) {
            if (shot.pixelColor(x, y) != background) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return right < left ? 0 : right - left + 1;
}

TEST(TQzHintWindow, DrawsAmpersandsAndAngleBracketsAsCharacters) {
    ShowHint(nullptr, QPoint(), "ignored without owner", kAnsi);
    EXPECT_FALSE(HintVisible());

    // As a mnemonic "a&b" would draw as "ab"; as markup "<b>ab</b>" would draw as "ab".
    EXPECT_GT(InkWidth(QStringLiteral("a&b")), InkWidth(QStringLiteral("ab")) + 3);
    EXPECT_GT(InkWidth(QStringLiteral("<b>ab</b>")), InkWidth(QStringLiteral("ab")) * 3);

    TQzHintWindow window;
    window.ActivateHint(QPoint(0, 0), std::string("Tom & <i>Jerry</i>"));
    EXPECT_EQ(window.Text(), QStringLiteral("Tom & <i>Jerry</i>"));
    window.ActivateHint(QPoint(0, 0), std::string("riga uno\r\nriga due"));
    EXPECT_EQ(window.Text(), QStringLiteral("riga uno\nriga due"));
}

TEST(TQzHintWindow, StaysOnTheScreen) {
    const QRect screen(0, 0, 800, 600);
    const QSize size(100, 30);
    struct Case {
        const char* name;
        QPoint pointer;
        QPoint topLeft;
    };
    const Case cases[] = {
        {"below right", {100, 100}, {102, 120}},
        {"right edge", {790, 100}, {700, 120}},
        {"bottom edge: above the pointer", {100, 590}, {102, 558}},
        {"bottom right corner", {799, 599}, {700, 567}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TQzHintWindow::PlaceHint(c.pointer, size, screen), c.topLeft);
    }

    // A long hint wraps instead of running off the screen.
    TQzHintWindow window;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint corner = area.bottomRight();
    window.ActivateHint(corner, QString(400, QLatin1Char('x')).replace(QLatin1String("xxxxx"), "word "));
    EXPECT_TRUE(area.contains(window.geometry())) << window.geometry().x() << "," << window.geometry().y();
    EXPECT_LE(window.width(), 300 + 2 * TQzHintWindow::kInset + 4);
    EXPECT_GT(window.height(), window.fontMetrics().height() * 2);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::ToolTip));
    EXPECT_TRUE(window.testAttribute(Qt::WA_ShowWithoutActivating));
}

} // namespace
} // namespace morvell
