// The text box as a widget: clicks, hovering links, queued link clicks, drag and word
// selection, copy, the scroll cap, old-markup texts, keys, dropped files and a rendering.

#include "text/qt/TOVKbox.h"
#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKtesto.h"
#include "platform/Messages.h"
#include "text/Measurer.h"
#include "text/ParagraphStream.h"
#include "text/TOVKparag.h"
#include "text/qt/OVKCursors.h"
#include "text/qt/THintWindow.h"
#include "text/qt/TOVKcursor.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace morvell {
namespace {

using namespace std::string_literals;

class FakePage : public TBoxPage {
public:
    int ClientWidth() const override { return 300; }
    int ClientHeight() const override { return 200; }
    QPoint ScrollPosition() const override { return scroll; }
    void SetScrollPosition(const QPoint& p) override { scroll = p; }
    void SetScrollRanges(int h, int v) override {
        hRange = h;
        vRange = v;
    }
    QPoint scroll;
    int hRange = -1, vRange = -1;
};

class TOVKboxTest : public ::testing::Test {
protected:
    TOVKboxTest() : m_scope(messages) {
        doc.New();
        box = std::make_unique<TOVKbox>(nullptr, &doc, &metrics);
        box->SetPage(&page);
        box->resize(300, 200);
    }

    std::int32_t AddLink(const std::string& address) {
        auto link = TOVKoggetto::Create(TOggettiHel::internetLink);
        link->SetDocument(&doc);
        link->Record().SetU8(4, 4);
        link->Record().SetStr(5, 127, address);
        return MakeReference(TOggettiHel::internetLink, doc.RegisterObject(link.release(), -1));
    }
    static std::string Tag(std::int32_t ref) {
        std::string s = "<$";
        paragraphstream::AppendHex(s, static_cast<std::uint32_t>(ref), 8);
        return s + ">";
    }
    // The middle of character `c` of paragraph `p`.
    QPoint At(int p, int c) const {
        const TTextPos pos = box->PositionOf({p, c});
        return {pos.x + 3, pos.y + pos.height / 2};
    }
    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(at), QPointF(box->mapToGlobal(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : button,
                          type == QEvent::MouseMove ? (pressed ? Qt::MouseButtons(button) : Qt::NoButton)
                                                    : buttons,
                          Qt::NoModifier);
        if (type == QEvent::MouseButtonPress) pressed = true;
        if (type == QEvent::MouseButtonRelease) pressed = false;
        QApplication::sendEvent(box.get(), &event);
    }
    void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        Send(QEvent::MouseButtonPress, at, button);
        Send(QEvent::MouseButtonRelease, at, button);
    }

    RecordingMessages messages;
    ScopedMessages m_scope;
    TOVKset doc;
    FixedMetrics metrics;
    FakePage page;
    std::unique_ptr<TOVKbox> box;
    bool pressed = false;
};

TEST_F(TOVKboxTest, ClickPutsTheCaretOnTheCharacterUnderIt) {
    box->LoadText({}, "<Z S0 >first paragraph<Z S0 >second one\0"s, {});
    ASSERT_EQ(box->Paragraphs().size(), 2u);
    // With fixed metrics characters are 6 pixels wide from the left margin.
    const TTextPos c0 = box->PositionOf({1, 0});
    EXPECT_EQ(box->PositionOf({1, 3}).x, c0.x + 18);
    Click(At(1, 3));
    EXPECT_EQ(box->Caret().paragraphIndex, 1);
    EXPECT_EQ(box->Caret().characterIndex, 3);
    EXPECT_FALSE(box->HasSelection());
    EXPECT_EQ(page.vRange,
              box->Paragraphs().back()->NextTop() - box->Paragraphs().back()->Style().SpaceBelow());
}

// The caret bar stands at the caret of an editable box that has the focus, and is never seen
// in the reader's read-only boxes or over a selection.
TEST_F(TOVKboxTest, CaretBarShowsOnlyInAFocusedEditableBoxWithoutSelection) {
    box->LoadText({}, "<Z S0 >first paragraph<Z S0 >second one\0"s, {});
    box->show();
    box->activateWindow();
    box->setFocus();
    QApplication::processEvents();
    auto* bar = box->findChild<TOVKcursor*>();
    ASSERT_NE(bar, nullptr);
    Click(At(1, 3));
    EXPECT_FALSE(bar->Shown()) << "read-only";

    box->SetReadOnly(false);
    if (!box->hasFocus()) GTEST_SKIP() << "the platform gives no focus offscreen";
    Click(At(1, 3));
    ASSERT_TRUE(bar->Shown());
    const TTextPos caret = box->PositionOf({1, 3});
    EXPECT_EQ(bar->geometry().left(), caret.x);
    EXPECT_EQ(bar->geometry().top(), caret.y);
    EXPECT_EQ(bar->height(), caret.height);

    // Selecting from code hides it; an empty selection puts it at the new caret.
    box->Select({1, 0}, {1, 4});
    EXPECT_FALSE(bar->Shown()) << "selection";
    box->Select({0, 2}, {0, 2});
    ASSERT_TRUE(bar->Shown());
    EXPECT_EQ(bar->geometry().left(), box->PositionOf({0, 2}).x);

    Send(QEvent::MouseButtonPress, At(1, 0));
    Send(QEvent::MouseMove, At(1, 6));
    Send(QEvent::MouseButtonRelease, At(1, 6));
    EXPECT_FALSE(bar->Shown()) << "selection";
    box->SetReadOnly(true);
    EXPECT_FALSE(bar->Shown());
}

TEST_F(TOVKboxTest, HoverShowsTheHandAndTheHintOfEachLink) {
    const std::int32_t a = AddLink("http://a.example");
    const std::int32_t b = AddLink("http://b.example");
    box->LoadText({}, "<Z S0 >Go "s + Tag(a) + "aaa<%>" + Tag(b) + "bbb<%> end\0"s, {});
    const HintTimings usual = CurrentHintTimings();
    HintTimings quick = usual;
    quick.showDelay = 1;
    SetHintTimings(quick);
    Send(QEvent::MouseMove, At(0, 4));
    for (int i = 0; i < 200 && !HintVisible(); ++i) QTest::qWait(5);
    EXPECT_EQ(box->HoveredLink(), static_cast<std::uint32_t>(a));
    EXPECT_EQ(box->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(box->Hint(), "http://a.example|Collegamento a: http://a.example");
    EXPECT_EQ(HintOwner(), box.get());
    EXPECT_EQ(HintText(), "http://a.example");
    // Straight onto the adjacent link: the hint follows.
    Send(QEvent::MouseMove, At(0, 6));
    EXPECT_EQ(box->HoveredLink(), static_cast<std::uint32_t>(b));
    EXPECT_EQ(HintText(), "http://b.example");
    Send(QEvent::MouseMove, At(0, 0));
    EXPECT_EQ(box->HoveredLink(), kNoLink);
    EXPECT_TRUE(box->Hint().empty());
    EXPECT_EQ(HintOwner(), nullptr);
    EXPECT_NE(box->cursor().shape(), Qt::BitmapCursor);
    SetHintTimings(usual);
}

TEST_F(TOVKboxTest, ClickedLinkIsDeliveredOnlyAfterTheMouseHandlerReturned) {
    const std::int32_t a = AddLink("http://a.example");
    box->LoadText({}, "<Z S0 >Go "s + Tag(a) + "there<%> now\0"s, {});
    std::vector<TBoxLink> delivered;
    box->OnLink = [&](const TBoxLink& link) { delivered.push_back(link); };
    int clicks = 0;
    box->OnBoxClick = [&](TOVKbox&, const QPoint&, Qt::MouseButton) { ++clicks; };

    Click(At(0, 5));
    EXPECT_TRUE(delivered.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].reference, static_cast<std::uint32_t>(a));
    EXPECT_EQ(delivered[0].link, doc.ObjectByRef(a));
    EXPECT_EQ(delivered[0].source, box.get());
    EXPECT_EQ(clicks, 0);

    // A right click on a link follows it too; a click beside it is the box's own click.
    Click(At(0, 5), Qt::RightButton);
    Click(At(0, 0));
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered.size(), 2u);
    EXPECT_EQ(delivered[1].button, Qt::RightButton);
    EXPECT_EQ(clicks, 1);

    // The box (and with it its page copy) gone before delivery: nothing is delivered.
    Click(At(0, 5));
    box.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered.size(), 2u);
}

TEST_F(TOVKboxTest, DraggingSelectsOnlyPastFourPixels) {
    box->LoadText({}, "<Z S0 >select some words here\0"s, {});
    int changes = 0;
    box->OnSelectionChange = [&](TOVKbox&) { ++changes; };
    const QPoint start = At(0, 0);
    Send(QEvent::MouseButtonPress, start);
    Send(QEvent::MouseMove, start + QPoint(4, 0));
    Send(QEvent::MouseButtonRelease, start + QPoint(4, 0));
    EXPECT_FALSE(box->HasSelection());
    EXPECT_EQ(changes, 0);

    Send(QEvent::MouseButtonPress, start);
    Send(QEvent::MouseMove, start + QPoint(5, 0));
    Send(QEvent::MouseMove, At(0, 6));
    Send(QEvent::MouseButtonRelease, At(0, 6));
    ASSERT_TRUE(box->HasSelection());
    EXPECT_EQ(box->SelectionStart(), (TextPoint{0, 0}));
    EXPECT_EQ(box->SelectionEnd(), (TextPoint{0, 6}));
    EXPECT_GE(changes, 2);

    // A right press keeps the selection.
    Click(At(0, 10), Qt::RightButton);
    EXPECT_TRUE(box->HasSelection());
}

TEST_F(TOVKboxTest, DoubleClickSelectsTheWordAndTheSpacesAfterIt) {
    box->LoadText({}, "<Z S0 >alpha, beta  gamma\0"s, {});
    const QPoint at = At(0, 9); // inside "beta"
    Click(at);
    Send(QEvent::MouseButtonDblClick, at);
    Send(QEvent::MouseButtonRelease, at);
    ASSERT_TRUE(box->HasSelection());
    EXPECT_EQ(box->SelectionStart(), (TextPoint{0, 7}));
    EXPECT_EQ(box->SelectionEnd(), (TextPoint{0, 13}));
}

TEST_F(TOVKboxTest, CopyPutsThreeFormsWithThePlainText) {
    box->LoadText({}, "<Z S0 >caf\xe9 au lait<Z S0 >second\0"s, {});
    box->Select({0, 0}, {1, 3});
    QClipboard* clipboard = QGuiApplication::clipboard();
    box->Copy(clipboard);
    const QMimeData* mime = clipboard->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasFormat("application/x-vosk30-objects"));
    EXPECT_TRUE(mime->hasFormat("text/rtf"));
    EXPECT_EQ(QString::fromUtf8(mime->data("text/plain;charset=utf-8")),
              QString::fromUtf8("café au lait\nsec"));
    const QByteArray objects = mime->data("application/x-vosk30-objects");
    ASSERT_GE(objects.size(), 4);
    EXPECT_EQ(objects.at(0), 1);
    EXPECT_EQ(objects.back(), '\0');

    box->SetWrapper(true);
    box->Copy(clipboard);
    EXPECT_FALSE(clipboard->mimeData()->hasFormat("application/x-vosk30-objects"));
    EXPECT_TRUE(clipboard->mimeData()->hasFormat("text/plain;charset=utf-8"));
}

// Text taller than the old 32600-pixel scroll limit is flagged, and still scrolls to its end.
TEST_F(TOVKboxTest, TallTextIsFlaggedAndScrollsToItsEnd) {
    std::string text;
    for (int i = 0; i < 2200; ++i) text += "<Z S0 >line";
    text += '\0';
    box->LoadText({}, text, {});
    EXPECT_GT(box->ContentHeight(), 32600);
    EXPECT_EQ(page.vRange, box->ContentHeight());
    EXPECT_TRUE(box->ScrollCapped());

    box->LoadText({}, "<Z S0 >short\0"s, {});
    EXPECT_FALSE(box->ScrollCapped());
    EXPECT_LT(page.vRange, 100);
}

TEST_F(TOVKboxTest, OldMarkupTextIsRefusedWithItsBox) {
    TOVKtesto text;
    text.SetDocument(&doc);
    text.Record().SetU8(195, 1);
    text.SetData("<B>old</B>");
    EXPECT_FALSE(box->LoadPage(&text));
    EXPECT_FALSE(box->Loaded());
    ASSERT_EQ(messages.Entries().size(), 1u);
    EXPECT_EQ(messages.Entries()[0].caption, "Errore!");
    EXPECT_EQ(messages.Entries()[0].text, "baco; testo ver 1 ancora pres in ovkBox!");

    text.Record().SetU8(195, 2);
    text.SetData("<Z S0 >new\0"s);
    EXPECT_TRUE(box->LoadPage(&text));
    EXPECT_EQ(box->Paragraphs().at(0)->Text(), "new");
}

TEST_F(TOVKboxTest, KeysScrollAndCopyIsSwallowed) {
    std::string text;
    for (int i = 0; i < 100; ++i) text += "<Z S0 >line";
    box->LoadText({}, text + '\0', {});
    QTest::keyClick(box.get(), Qt::Key_PageDown);
    EXPECT_EQ(page.scroll, QPoint(0, 180));
    QTest::keyClick(box.get(), Qt::Key_Up);
    EXPECT_EQ(page.scroll, QPoint(0, 170));
    QTest::keyClick(box.get(), Qt::Key_PageUp);
    EXPECT_EQ(page.scroll, QPoint(0, 0));
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QApplication::sendEvent(box.get(), &copy);
    EXPECT_TRUE(copy.isAccepted());
}

TEST_F(TOVKboxTest, DroppedEbookIsHandedOnWithoutTheBox) {
    QSignalSpy spy(box.get(), &TOVKbox::filesDropped);
    auto drop = [&](const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box.get(), &enter);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box.get(), &event);
    };
    drop("/tmp/notes.txt");
    EXPECT_EQ(spy.count(), 0);
    drop("/tmp/Book.OVK");
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toStringList(), QStringList{"/tmp/Book.OVK"});
    EXPECT_EQ(spy.at(0).at(1).value<TOVKbox*>(), nullptr);
}

TEST_F(TOVKboxTest, MenuThatPopsUpByItselfIsReportedBeforeItOpens) {
    box->LoadText({}, "<Z S0 >no link\0"s, {});
    for (const bool autoPopup : {true, false}) {
        SCOPED_TRACE(autoPopup);
        messages.Clear();
        QMenu menu;
        menu.addAction(QStringLiteral("Copy"));
        SetAutoPopup(menu, autoPopup);
        box->SetPopupMenu(&menu);
        Click(QPoint(5, 5), Qt::RightButton);
        EXPECT_TRUE(menu.isVisible());
        ASSERT_EQ(messages.Entries().size(), autoPopup ? 1u : 0u);
        if (autoPopup) EXPECT_EQ(messages.Entries()[0].text, "\xC3\xA8 autopop! correggi bug!");
        menu.hide();
    }
    // The menu is gone; the box does not open a dead one.
    Click(QPoint(5, 5), Qt::RightButton);
    EXPECT_EQ(box->PopupMenu(), nullptr);
}

TEST_F(TOVKboxTest, RendersAPageWithScreenFonts) {
    const std::int32_t a = AddLink("http://a.example");
    TOVKbox screen(nullptr, &doc);
    screen.resize(320, 160);
    screen.SetBackgroundColour(0xE0FFFF);
    screen.LoadText({},
                    "<Z S0 s14 y1 A2 >Morvell<Z S0 >A page with "s + Tag(a) +
                        "a link<%> and a selection across"
                        " two lines of text.<Z S0 N6 >first<Z S0 N6 >second\0"s,
                    {});
    screen.Select({1, 2}, {1, 30});
    const QImage image = screen.grab().toImage();
    ASSERT_FALSE(image.isNull());
    image.save(QString::fromLocal8Bit(qgetenv("TMPDIR").isEmpty() ? "/tmp" : qgetenv("TMPDIR")) +
               "/textbox-render.png");
    EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() - 2), QColor(0xFF, 0xFF, 0xE0));
}

} // namespace
} // namespace morvell
