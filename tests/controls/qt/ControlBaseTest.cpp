#include "text/qt/TDragCustomControl.h"
#include "text/qt/TNoBgPaintPanel.h"
#include "text/qt/TOutlLabel.h"

#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvell {
namespace {

// A page stand-in: a plain colour, the way a page picture lies under its text box.
class Page : public QWidget {
public:
    explicit Page(QColor colour, QWidget* parent = nullptr) : QWidget(parent), m_colour(colour) {}

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), m_colour); }

private:
    QColor m_colour;
};

// Draws only a small blue square in its corner and, like a text box without background,
// answers that it is not opaque.
class SparseControl : public TQzTransCustomControl {
public:
    using TQzTransCustomControl::TQzTransCustomControl;
    bool IsOpaque() const override { return false; }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(0, 0, 5, 5, Qt::blue); }
};

TEST(TQzTransCustomControl, ParentShowsWhereTheControlPaintsNothing) {
    Page page(Qt::red);
    page.resize(100, 100);
    auto* outer = new SparseControl(&page);
    outer->setGeometry(10, 10, 60, 60);
    auto* inner = new SparseControl(outer);
    inner->setGeometry(20, 20, 30, 30);
    const QImage shot = page.grab().toImage();
    EXPECT_EQ(shot.pixelColor(12, 12), QColor(Qt::blue));
    EXPECT_EQ(shot.pixelColor(40, 40), QColor(Qt::red)) << "the control erased its background";
    EXPECT_EQ(shot.pixelColor(31, 31), QColor(Qt::blue)); // inner control at 10+20
    EXPECT_EQ(shot.pixelColor(45, 45), QColor(Qt::red)) << "nested control hides the page";
}

template <class Base> class KeyRecorder : public Base {
public:
    using Base::Base;
    int tabs = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Tab) ++tabs;
        Base::keyPressEvent(event);
    }
};

TEST(TQzTransCustomControl, TabStaysWithAControlThatWantsAllKeys) {
    QWidget window;
    auto* wantsAll = new KeyRecorder<TQzTransCustomControl>(&window);
    auto* charsOnly = new KeyRecorder<TTransMouseControl>(&window);
    auto* next = new QLineEdit(&window);
    auto* childEdit = new QLineEdit(wantsAll);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    wantsAll->setFocus();
    QTest::keyClick(wantsAll, Qt::Key_Tab);
    EXPECT_EQ(wantsAll->tabs, 1);
    EXPECT_TRUE(wantsAll->hasFocus());

    charsOnly->setFocus();
    QTest::keyClick(charsOnly, Qt::Key_Tab);
    EXPECT_EQ(charsOnly->tabs, 0);
    EXPECT_FALSE(charsOnly->hasFocus());

    // An edit inside the control keeps normal tabbing.
    childEdit->setFocus();
    QTest::keyClick(childEdit, Qt::Key_Tab);
    EXPECT_FALSE(childEdit->hasFocus());
    EXPECT_EQ(wantsAll->tabs, 1);
    (void)next;
}

// Remembers what the controls tell their frame set.
class RecordingFrameSet : public QWidget, public TDragFrameSet {
public:
    std::vector<std::string> calls;
    void EditStart(TDragCustomControl*) override { calls.push_back("start"); }
    void EditStop(TDragCustomControl*) override { calls.push_back("stop"); }
};

class DragControl : public TDragCustomControl {
public:
    using TDragCustomControl::TDragCustomControl;
    std::string drags;
    void BorderGroupDragStarted() override { drags += "started "; }
    void BorderGroupDragEnded() override { drags += "ended"; }
};

struct DragFixture {
    RecordingFrameSet frameSet;
    QWidget* page;
    DragControl* control;

    DragFixture() {
        frameSet.resize(300, 300);
        page = new QWidget(&frameSet);
        page->setGeometry(0, 0, 300, 300);
        control = new DragControl(page);
        control->setGeometry(50, 60, 40, 30);
        frameSet.show();
        frameSet.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frameSet));
    }

    bool HandleShown(int position) const {
        TDragBorder* handle = control->BorderGroup().Handle(position);
        return handle != nullptr && handle->isVisible();
    }
    bool SideShown(int side) const {
        TBoxBorder* line = control->BorderGroup().Side(side);
        return line != nullptr && line->isVisible();
    }
};

TEST(TDragCustomControl, ReadOnlyControlNeverShowsGrabHandles) {
    DragFixture f;
    f.control->SetReadOnly(true);
    f.control->setFocus();
    f.control->ShowSelectionBorder(true);
    EXPECT_FALSE(f.HandleShown(1));
    EXPECT_FALSE(f.HandleShown(5));
    // An object inside selected text still gets its frame.
    EXPECT_TRUE(f.SideShown(1));
    EXPECT_TRUE(f.control->Selected());
    EXPECT_TRUE(f.frameSet.calls.empty());

    f.control->SetLocked(true);
    f.control->SetReadOnly(false);
    f.control->ShowSelectionBorder(true);
    EXPECT_FALSE(f.HandleShown(1)) << "locked";
}

TEST(TDragCustomControl, EditableControlShowsHandlesAroundItAndTellsTheFrameSet) {
    DragFixture f;
    f.control->ShowSelectionBorder(true);
    for (int p = 1; p <= 8; ++p) EXPECT_TRUE(f.HandleShown(p)) << p;
    EXPECT_EQ(f.control->BorderGroup().Handle(1)->geometry(), QRect(46, 56, 8, 8));
    EXPECT_EQ(f.control->BorderGroup().Handle(5)->geometry(), QRect(86, 86, 8, 8));
    EXPECT_EQ(f.control->BorderGroup().Side(3)->geometry(), QRect(49, 90, 42, 1));
    EXPECT_EQ(f.frameSet.calls, (std::vector<std::string>{"start"}));

    // The frame follows the control.
    f.control->move(100, 100);
    EXPECT_EQ(f.control->BorderGroup().Handle(1)->geometry(), QRect(96, 96, 8, 8));

    // Turning read-only hides the handles and ends the editing.
    f.control->SetReadOnly(true);
    EXPECT_FALSE(f.HandleShown(1));
    EXPECT_FALSE(f.control->Selected());
    EXPECT_EQ(f.frameSet.calls, (std::vector<std::string>{"start", "stop"}));
}

TEST(TDragCustomControl, ClickFocusesOnlyAnEditableControl) {
    DragFixture f;
    f.control->SetReadOnly(true);
    QTest::mouseClick(f.control, Qt::LeftButton);
    EXPECT_FALSE(f.control->hasFocus());
    f.control->SetReadOnly(false);
    QTest::mouseClick(f.control, Qt::LeftButton);
    EXPECT_TRUE(f.control->hasFocus());
    // Focus shows the handles; losing it hides them again.
    EXPECT_TRUE(f.HandleShown(2));
    f.page->setFocus();
    EXPECT_FALSE(f.HandleShown(2));
    EXPECT_EQ(f.frameSet.calls, (std::vector<std::string>{"start", "stop"}));
}

TEST(TDragCustomControl, HandleDragResizesTheOwnerOnRelease) {
    DragFixture f;
    f.control->ShowSelectionBorder(true);
    TDragBorder* corner = f.control->BorderGroup().Handle(5);
    QTest::mousePress(corner, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    QTest::mouseMove(corner, QPoint(24, 14));
    EXPECT_TRUE(f.control->BorderGroup().Dragging());
    EXPECT_EQ(f.control->BorderGroup().OutlineBounds(), QRect(50, 60, 60, 40));
    EXPECT_EQ(f.control->geometry(), QRect(50, 60, 40, 30)) << "resized before release";
    QTest::mouseRelease(corner, Qt::LeftButton, Qt::NoModifier, QPoint(24, 14));
    EXPECT_EQ(f.control->geometry(), QRect(50, 60, 60, 40));
    EXPECT_EQ(f.control->drags, "started ended");
    EXPECT_EQ(f.control->BorderGroup().Handle(5)->geometry(), QRect(106, 96, 8, 8));
}

struct HandleCase {
    int position;
    QPoint delta;
    bool square;
    QRect expected;
};

class HandleBounds : public ::testing::TestWithParam<HandleCase> {};

TEST_P(HandleBounds, FromTheStartBoundsAndTheOffset) {
    const HandleCase& c = GetParam();
    EXPECT_EQ(TDragBorderGroup::BoundsForHandle(QRect(100, 100, 40, 20), c.position, c.delta, c.square),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, HandleBounds,
                         ::testing::Values(HandleCase{1, {-10, -5}, false, {90, 95, 50, 25}},
                                           HandleCase{2, {33, -5}, false, {100, 95, 40, 25}},
                                           HandleCase{4, {10, 99}, false, {100, 100, 50, 20}},
                                           HandleCase{6, {0, 10}, false, {100, 100, 40, 30}},
                                           HandleCase{8, {-10, 0}, false, {90, 100, 50, 20}},
                                           // Dragged past the opposite edge: the box turns over.
                                           HandleCase{4, {-60, 0}, false, {80, 100, 20, 20}},
                                           HandleCase{6, {0, -20}, false, {100, 100, 40, 1}},
                                           // Shift: corners stay square, anchored at the opposite corner.
                                           HandleCase{5, {0, 0}, true, {100, 100, 40, 40}},
                                           HandleCase{1, {0, 0}, true, {100, 80, 40, 40}},
                                           HandleCase{3, {10, 0}, true, {100, 70, 50, 50}},
                                           HandleCase{2, {0, 0}, true, {100, 100, 40, 20}}));

TEST(TNoBgPaintPanel, TransparentWithoutMarginOpaqueWithOne) {
    Page page(Qt::red);
    page.resize(100, 100);
    auto* panel = new TNoBgPaintPanel(&page);
    panel->setGeometry(10, 10, 50, 50);
    panel->SetColor(Qt::green);
    int painted = 0;
    panel->OnPaint = [&](TNoBgPaintPanel&, QPainter& painter) {
        ++painted;
        painter.fillRect(panel->ClientRect(), Qt::blue);
    };
    panel->SetMargin(0);
    EXPECT_TRUE(panel->Transparent());
    EXPECT_EQ(page.grab().toImage().pixelColor(11, 11), QColor(Qt::blue));

    panel->OnPaint = nullptr;
    EXPECT_EQ(page.grab().toImage().pixelColor(30, 30), QColor(Qt::red)) << "transparent panel erased";

    panel->SetMargin(4);
    EXPECT_FALSE(panel->Transparent());
    EXPECT_EQ(panel->ClientRect(), QRect(4, 4, 42, 42));
    EXPECT_EQ(page.grab().toImage().pixelColor(30, 30), QColor(Qt::green));
    EXPECT_GT(painted, 0);
}

TEST(TNoBgPaintPanel, MyClickFiresOnALeftClickInside) {
    TNoBgPaintPanel panel;
    panel.resize(40, 40);
    int clicks = 0;
    panel.OnMyClick = [&](TNoBgPaintPanel&) { ++clicks; };
    QTest::mouseClick(&panel, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseClick(&panel, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
}

int CountPixels(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour ? 1 : 0;
    }
    return n;
}

TEST(TOutlLabel, CaptionOverItsShadow) {
    Page page(Qt::green);
    page.resize(120, 60);
    auto* label = new TOutlLabel(QStringLiteral("Morvell"), &page);
    label->setGeometry(0, 0, 120, 60);
    QFont font = label->font();
    font.setPixelSize(30);
    font.setBold(true);
    label->setFont(font);
    label->SetColourShadow(Qt::red);
    label->SetFontColor(Qt::black);
    label->SetColor(Qt::white);

    QImage shot = page.grab().toImage();
    EXPECT_GT(CountPixels(shot, Qt::red), 20) << "no shadow around the caption";
    EXPECT_GT(CountPixels(shot, Qt::black), 20) << "no caption";
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(CountPixels(shot, Qt::green), 0);

    label->SetTransparent(true);
    shot = page.grab().toImage();
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::green));

    // Room for the shadow's spread.
    QLabel plain(label->text());
    plain.setFont(font);
    EXPECT_EQ(label->sizeHint(), plain.sizeHint() + QSize(2, 2));
}

} // namespace
} // namespace morvell
