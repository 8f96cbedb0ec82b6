#include "text/qt/TOVKSplit.h"
#include "text/qt/TTigerSplit.h"
#include "text/qt/TWQzSplit.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace morvell {
namespace {

// A 400 x 300 window with one target aligned to an edge and a bar attached to it.
template <class Split> struct SplitFixture {
    QWidget window;
    QWidget* target;
    Split* bar;
    std::string events;

    SplitFixture(TAlign align, const QRect& targetBounds) {
        window.resize(400, 300);
        target = new QWidget(&window);
        target->setGeometry(targetBounds);
        SetAlign(target, align);
        bar = new Split(&window);
        bar->OnBeginSplit = [this](QWidget&) { events += 'B'; };
        bar->OnMoveSplit = [this](QWidget&) { events += 'M'; };
        bar->OnEndingSplit = [this](QWidget&) { events += 'e'; };
        bar->OnEndSplit = [this](QWidget&) { events += 'E'; };
        bar->SetTargetControl(target);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QPoint BarMiddle() const { return bar->rect().center(); }
    void Press() { QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, BarMiddle()); }
    void MoveBy(int dx, int dy) { QTest::mouseMove(bar, BarMiddle() + QPoint(dx, dy)); }
    void ReleaseBy(int dx, int dy) {
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, BarMiddle() + QPoint(dx, dy));
    }
};

struct DragCase {
    const char* name;
    TAlign align;
    QRect target;
    int minLimit, maxLimit;
    QPoint drag;
    QRect expectedTarget;
    QRect expectedBar;
};

class SplitterDrag : public ::testing::TestWithParam<DragCase> {};

TEST_P(SplitterDrag, ResizesTheTargetWithinItsLimitsAndFollowsIt) {
    const DragCase& c = GetParam();
    SplitFixture<TOVKSplit> f(c.align, c.target);
    f.bar->SetMintargetlimit(c.minLimit);
    f.bar->SetMaxTargetLimit(c.maxLimit);
    f.Press();
    ASSERT_TRUE(f.bar->Splitting());
    f.MoveBy(c.drag.x(), c.drag.y());
    // The line shows where the bar will land, before anything is resized.
    const QRect line = f.bar->SplitLineRect();
    EXPECT_EQ(f.target->geometry(), c.target);
    f.ReleaseBy(c.drag.x(), c.drag.y());
    EXPECT_FALSE(f.bar->Splitting());
    EXPECT_EQ(f.target->geometry(), c.expectedTarget);
    EXPECT_EQ(f.bar->geometry(), c.expectedBar);
    EXPECT_EQ(line, c.expectedBar) << "line and final bar disagree";
    EXPECT_EQ(f.events, "BMeE");
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitterDrag,
    ::testing::Values(
        DragCase{"LeftGrows",
                 TAlign::alLeft,
                 {0, 0, 100, 300},
                 20,
                 50,
                 {40, 0},
                 {0, 0, 140, 300},
                 {140, 0, 3, 300}},
        // Beyond the maximum the line stops at parent width - MaxTargetLimit.
        DragCase{"LeftStopsAtMax",
                 TAlign::alLeft,
                 {0, 0, 100, 300},
                 20,
                 50,
                 {900, 0},
                 {0, 0, 350, 300},
                 {350, 0, 3, 300}},
        DragCase{"LeftStopsAtMin",
                 TAlign::alLeft,
                 {0, 0, 100, 300},
                 20,
                 50,
                 {-900, 0},
                 {0, 0, 20, 300},
                 {20, 0, 3, 300}},
        // A right target grows to the left and keeps its outer edge.
        DragCase{"RightGrows",
                 TAlign::alRight,
                 {300, 0, 100, 300},
                 0,
                 0,
                 {-30, 0},
                 {270, 0, 130, 300},
                 {267, 0, 3, 300}},
        DragCase{
            "TopShrinks", TAlign::alTop, {0, 0, 400, 80}, 10, 0, {0, -30}, {0, 0, 400, 50}, {0, 50, 400, 3}},
        DragCase{"BottomStopsAtMax",
                 TAlign::alBottom,
                 {0, 200, 400, 100},
                 0,
                 100,
                 {0, -500},
                 {0, 100, 400, 200},
                 {0, 97, 400, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Splitter, AttachesOnlyToEdgeAlignedTargets) {
    QWidget window;
    window.resize(200, 200);
    auto* client = new QWidget(&window);
    SetAlign(client, TAlign::alClient);
    auto* bar = new TWQzSplit(&window);
    EXPECT_EQ(bar->size(), QSize(3, 3));
    bar->SetTargetControl(client);
    EXPECT_EQ(bar->TargetControl(), nullptr);
    EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor);

    auto* left = new QWidget(&window);
    left->setGeometry(0, 0, 50, 200);
    SetAlign(left, TAlign::alLeft);
    bar->SetTargetControl(left);
    EXPECT_EQ(bar->TargetControl(), left);
    EXPECT_EQ(AlignOf(bar), TAlign::alLeft);
    EXPECT_EQ(bar->geometry(), QRect(50, 0, 3, 200));
    EXPECT_EQ(bar->cursor().shape(), Qt::SplitHCursor);
    bar->SetSizeable(false);
    EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor);
}

TEST(Splitter, OnlyAPlainLeftPressOnASizeableUnlockedBarStartsADrag) {
    SplitFixture<TOVKSplit> f(TAlign::alTop, {0, 0, 400, 100});
    EXPECT_EQ(f.bar->cursor().shape(), Qt::SplitVCursor);
    QTest::mousePress(f.bar, Qt::LeftButton, Qt::ShiftModifier, f.BarMiddle());
    EXPECT_FALSE(f.bar->Splitting());
    QTest::mouseRelease(f.bar, Qt::LeftButton, Qt::ShiftModifier, f.BarMiddle());
    QTest::mousePress(f.bar, Qt::RightButton, Qt::NoModifier, f.BarMiddle());
    EXPECT_FALSE(f.bar->Splitting());
    QTest::mouseRelease(f.bar, Qt::RightButton, Qt::NoModifier, f.BarMiddle());

    f.bar->SetSizeable(false);
    f.Press();
    EXPECT_FALSE(f.bar->Splitting());
    f.ReleaseBy(0, 0);
    f.bar->SetSizeable(true);
    f.bar->SetLocked(true);
    f.Press();
    EXPECT_FALSE(f.bar->Splitting());
    f.ReleaseBy(0, 0);
    EXPECT_EQ(f.events, "");
    EXPECT_EQ(f.target->height(), 100);
}

TEST(Splitter, LosingTheTargetDuringADragEndsIt) {
    SplitFixture<TOVKSplit> f(TAlign::alLeft, {0, 0, 100, 300});
    f.Press();
    ASSERT_TRUE(f.bar->Splitting());
    delete f.target;
    EXPECT_FALSE(f.bar->Splitting());
    f.MoveBy(20, 0);
    f.ReleaseBy(20, 0);
    EXPECT_EQ(f.bar->TargetControl(), nullptr);
    EXPECT_EQ(f.events, "B");
}

TEST(Splitter, DragLineInvertsWhatLiesBeneath) {
    SplitFixture<TOVKSplit> f(TAlign::alLeft, {0, 0, 100, 300});
    QPalette p = f.window.palette();
    p.setColor(QPalette::Window, Qt::black);
    f.window.setPalette(p);
    f.window.setAutoFillBackground(true);
    f.Press();
    f.MoveBy(100, 0);
    const QImage shot = f.window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(201, 150), QColor(Qt::white)); // the line, black inverted
    EXPECT_EQ(shot.pixelColor(250, 150), QColor(Qt::black));
    f.ReleaseBy(100, 0);
}

TEST(TTigerSplit, StripesAcrossTheBarFromTrucco) {
    QWidget window;
    window.resize(300, 100);
    auto* bar = new TTigerSplit(&window);
    bar->setGeometry(0, 0, 200, 10); // horizontal bar, stripes run across it
    bar->SetLineStep(0);             // ignored
    EXPECT_EQ(bar->LineStep(), 10);
    bar->SetLineStep(25);
    bar->SetTrucco(5);
    const QImage shot = bar->grab().toImage();
    // Compared at 8 bits a channel, as they land in the image.
    const QRgb light = bar->palette().color(QPalette::Light).rgb();
    const QRgb dark = bar->palette().color(QPalette::Dark).rgb();
    ASSERT_NE(light, dark);
    EXPECT_EQ(shot.pixel(30, 5), light);
    EXPECT_EQ(shot.pixel(31, 5), dark);
    EXPECT_EQ(shot.pixel(30, 1), kXPColor.rgb()); // 2 pixels short of the bar's sides
    EXPECT_EQ(shot.pixel(40, 5), kXPColor.rgb());
    bar->SetTiger(false);
    EXPECT_EQ(bar->grab().toImage().pixel(30, 5), kXPColor.rgb());
}

} // namespace
} // namespace morvell
