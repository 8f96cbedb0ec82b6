// The page view with a document built in memory: the display copy makes the text box and the
// controls of its objects, tags carry control numbers, markers list themselves in the order
// they are made, anchors are scrolled to, the scroll range follows the box, the popup menu is
// handed on, and a page taken out of the document dies with the view.
#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKtesto.h"
#include "objects/qt/PageControls.h"
#include "objects/qt/TOVKpage.h"
#include "pagecopy/PageCopyFixture.h"
#include "platform/Messages.h"
#include "text/TOVKparag.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace morvell {
namespace {

using K = TOggettiHel;
using namespace std::string_literals;

std::string Tag(K kind, int index) { return test::Tag(test::Ref(kind, index)); }

std::string Lines(int count, const std::string& style = "S0") {
    std::string text;
    for (int i = 0; i < count; ++i) text += "<Z " + style + " >line " + std::to_string(i);
    return text;
}

// A page that tells when it is destroyed.
class ProbePage : public TOVKtesto {
public:
    explicit ProbePage(std::shared_ptr<bool> destroyed) : m_destroyed(std::move(destroyed)) {}
    ~ProbePage() override { *m_destroyed = true; }

private:
    std::shared_ptr<bool> m_destroyed;
};

class PageObjectsTest : public test::PageCopyTest {
protected:
    PageObjectsTest() {
        view.SetDocument(&doc);
        view.SetReadOnly(true);
        view.resize(400, 300);
        view.show();
        QApplication::processEvents();
    }

    TOVKtesto& AddPage(const std::string& text, std::int32_t header = -1, std::int32_t footer = -1) {
        return static_cast<TOVKtesto&>(PageCopyTest::AddPage(text + '\0', header, footer));
    }
    std::string Anchor(int number) {
        return Tag(K::shortObj, Add(K::shortObj, 14, [&](OVKRecord& r) { r.SetI32(5, number); }).Index());
    }
    std::string AutomaticLink() { return Tag(K::shortObj, Add(K::shortObj, 13).Index()); }

    // Where the object sits in the box's paragraphs.
    TextPoint Find(const TOVKoggetto* object) const {
        const ParagraphList& paragraphs = view.TextBox()->Paragraphs();
        for (std::size_t p = 0; p < paragraphs.size(); ++p)
            for (int c = 0; c < paragraphs[p]->Length(); ++c)
                if (paragraphs[p]->ObjectAt(c) == object) return {static_cast<int>(p), c};
        return {};
    }

    TOVKset& doc = m_doc;
    RecordingMessages& messages = m_messages;
    TOVKpage view;
};

TEST_F(PageObjectsTest, ControlNumbersGoIntoTheTagsAndTheBoxFindsItsObjectsByThem) {
    const int table = Add(K::tabellaHtml, 1, [](OVKRecord& r) {
                          r.SetU8(93, 1);
                          r.SetU8(94, 2);
                      }).Index();
    const int picture = Add(K::immagineNew, 1, [](OVKRecord& r) {
                            r.SetU8(13, 4);
                            r.SetI32(69, -1);
                            for (int zone = 0; zone < 30; ++zone) r.SetI32(73 + 16 * zone, -1);
                        }).Index();
    const std::string anchor = Anchor(1);
    TOVKtesto& page =
        AddPage("<Z S0 >a" + anchor + "b" + Tag(K::immagineNew, picture) + "c" + Tag(K::tabellaHtml, table) +
                "<Z S1 >cell one<T><Z S1 >cell two<T><Z S0 >after");
    view.SetPage(&page);
    TOVKbox* box = view.TextBox();
    ASSERT_NE(box, nullptr);

    // The box is control 0, then the marker and the table in text order; the picture has no
    // control yet, so its tag names none.
    EXPECT_EQ(view.Controls().At(0), box);
    EXPECT_EQ(box->Number(), 0);
    EXPECT_EQ(view.DisplayCopy()->CurrentVisual(), box);
    EXPECT_NE(dynamic_cast<TPageMarker*>(view.Controls().At(1)), nullptr);
    EXPECT_NE(dynamic_cast<TTablePlaceholder*>(view.Controls().At(2)), nullptr);
    EXPECT_EQ(view.Controls().Count(), 3);
    const std::string text = view.DisplayCopy()->DataBytes();
    EXPECT_NE(text.find("a<$FF000001>b<$FFFFFFFF>c<$FF000002><Z S1 >cell one"), std::string::npos) << text;
    EXPECT_TRUE(view.DisplayCopy()->Instances().empty());

    // The cell texts stay with the table and the text after it is all there.
    const ParagraphList& paragraphs = box->Paragraphs();
    ASSERT_EQ(paragraphs.size(), 2u);
    EXPECT_EQ(paragraphs[1]->Text(), "after");
    const auto* marker = dynamic_cast<TPageMarker*>(view.Controls().At(1));
    EXPECT_EQ(paragraphs[0]->ObjectAt(1), &marker->Object());
    EXPECT_TRUE(box->OwnsObject(&marker->Object()));
    // Each object is handed out once: a forged second tag with the same number gets nothing.
    EXPECT_EQ(box->ClaimObject(1), nullptr);

    // Leaving the page takes the controls and the objects with the box.
    view.Clear();
    EXPECT_EQ(view.Controls().At(1), nullptr);
    EXPECT_EQ(view.Controls().At(2), nullptr);
    EXPECT_TRUE(view.Anchors().Items().empty());
}

TEST_F(PageObjectsTest, MarkersAreListedPageFirstThenHeaderThenFooter) {
    const TOVKtesto& header = AddPage("<Z S0 >header" + Anchor(5) + AutomaticLink());
    const TOVKtesto& footer = AddPage("<Z S0 >footer" + Anchor(5));
    TOVKtesto& page = AddPage("<Z S0 >body" + AutomaticLink() + Lines(40) + "<Z S0 >here" + Anchor(5),
                              header.Index(), footer.Index());
    std::vector<TOVKoggetto*> fired;
    QObject::connect(&view, &TOVKpage::automaticLink, [&](TOVKoggetto* marker) { fired.push_back(marker); });
    view.SetPage(&page);

    const auto& anchors = view.Anchors().Items();
    ASSERT_EQ(anchors.size(), 3u);
    EXPECT_FALSE(anchors[0]->FromHeaderOrFooter());
    EXPECT_TRUE(anchors[1]->FromHeaderOrFooter());
    EXPECT_TRUE(anchors[2]->FromHeaderOrFooter());
    EXPECT_EQ(Find(anchors[1]).paragraph, 0); // the header is read first all the same
    const auto& links = view.AutomaticLinks().Items();
    ASSERT_EQ(links.size(), 2u);
    EXPECT_FALSE(links[0]->FromHeaderOrFooter());
    EXPECT_EQ(fired, links);

    // The page's own anchor wins over the header's with the same number.
    ASSERT_TRUE(view.ScrollToAnchor(5));
    const TextPoint at = Find(anchors[0]);
    EXPECT_EQ(view.TextBox()->Caret().Point(), at);
    EXPECT_TRUE(view.TextBox()->Paragraphs()[at.paragraph]->Text().starts_with("here"));
}

// A page shown over another without Clear lets the old page's objects go with its box: the
// lists hold the new page's markers only, and clearing afterwards touches nothing freed.
TEST_F(PageObjectsTest, ShowingAPageOverAnotherLetsTheOldObjectsGo) {
    TOVKtesto& first = AddPage("<Z S0 >first" + Anchor(1) + Anchor(2));
    TOVKtesto& second = AddPage("<Z S0 >second" + Anchor(3));
    view.SetPage(&first);
    ASSERT_EQ(view.Anchors().Items().size(), 2u);
    view.SetPage(&second);
    ASSERT_EQ(view.Anchors().Items().size(), 1u);
    EXPECT_FALSE(view.ScrollToAnchor(1));
    EXPECT_TRUE(view.ScrollToAnchor(3));
    view.Clear();
    EXPECT_TRUE(view.Anchors().Items().empty());
}

TEST_F(PageObjectsTest, ScrollToAnchorShowsItsLineBelowTheTopAndFocusesTheBox) {
    TOVKtesto& page = AddPage(Lines(60) + "<Z S0 >anchor" + Anchor(7) + Lines(60));
    view.SetPage(&page);
    view.activateWindow();
    QApplication::setActiveWindow(&view);
    QApplication::processEvents();
    QScrollBar* bar = view.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 1000);

    // Scrolling down to it leaves the band of a client height from 3 pixels above the line
    // in view: the line ends 6 pixels below the top. Scrolling up to it: 3 pixels below.
    ASSERT_TRUE(view.ScrollToAnchor(7));
    const TTextPos caret = view.TextBox()->Caret();
    EXPECT_TRUE(view.TextBox()->Paragraphs()[caret.paragraphIndex]->Text().starts_with("anchor"));
    EXPECT_FALSE(view.TextBox()->HasSelection());
    EXPECT_EQ(bar->value(), caret.y - 6);
    EXPECT_EQ(QApplication::focusWidget(), view.TextBox());

    bar->setValue(bar->maximum());
    ASSERT_TRUE(view.ScrollToAnchor(7));
    EXPECT_EQ(bar->value(), caret.y - 3);
}

TEST_F(PageObjectsTest, VerticalRangeLeavesOutTheLastSpaceBelowAndReachesTheEndOfTallPages) {
    struct Case {
        const char* name;
        std::string text;
        int spaceBelow;
        bool capped;
    };
    const std::vector<Case> cases = {
        {"space below the last paragraph", Lines(40) + "<Z S0 b40 >last", 40, false},
        {"taller than the old 32600 limit", Lines(2200), 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.Clear();
        view.resize(400, 300);
        view.SetPage(&AddPage(c.text));
        QApplication::processEvents();
        TOVKbox* box = view.TextBox();
        ASSERT_EQ(box->Paragraphs().back()->Style().SpaceBelow(), c.spaceBelow);
        const int range = box->ContentHeight() - c.spaceBelow;
        EXPECT_EQ(box->ScrollCapped(), c.capped);
        EXPECT_GE(box->height(), box->ContentHeight());
        QScrollBar* bar = view.verticalScrollBar();
        EXPECT_EQ(bar->maximum(), range - view.viewport()->height());
        // A resize lays the text out again; the range still follows the box, not its size.
        view.resize(380, 260);
        QApplication::processEvents();
        const int again = box->ContentHeight() - c.spaceBelow;
        EXPECT_EQ(bar->maximum(), again - view.viewport()->height());
    }
}

// A view that shows frames only keeps its vertical range at 0 through later layouts and resizes.
TEST_F(PageObjectsTest, ShowingFramesOnlyNeverScrollsVertically) {
    view.SetReadOnly(false);
    view.SetShowFramesOnly(true);
    EXPECT_TRUE(view.ReadOnly());
    view.resize(400, 300);
    view.SetPage(&AddPage(Lines(200)));
    QApplication::processEvents();
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
    view.resize(380, 260);
    QApplication::processEvents();
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(view.TextBox()->ReadOnly());
}

TEST_F(PageObjectsTest, SidewaysWheelDoesNotScrollTheTextUpOrDown) {
    view.SetPage(&AddPage(Lines(200)));
    QApplication::processEvents();
    QScrollBar* bar = view.verticalScrollBar();
    bar->setValue(300);
    QWheelEvent sideways(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(120, 0), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &sideways);
    EXPECT_EQ(bar->value(), 300);
    QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &down);
    EXPECT_EQ(bar->value(), 400);
}

TEST_F(PageObjectsTest, ClearDestroysAShownPageThatLeftTheDocumentAndKeepsARegisteredOne) {
    struct Case {
        const char* name;
        bool forget;
    };
    for (const Case c : {Case{"taken out of the document", true}, Case{"still registered", false}}) {
        SCOPED_TRACE(c.name);
        auto destroyed = std::make_shared<bool>(false);
        auto* page = new ProbePage(destroyed);
        page->SetDocument(&doc);
        page->Record().SetU8(195, 2);
        page->SetData("<Z S0 >probe\0"s);
        doc.RegisterObject(page, doc.Count(K::testoHtml));
        view.SetPage(page);
        ASSERT_EQ(view.RegisteredPage(), page);
        if (c.forget) doc.ForgetObject(page);
        view.Clear();
        EXPECT_EQ(*destroyed, c.forget);
        EXPECT_EQ(view.RegisteredPage(), nullptr);
    }
}

TEST_F(PageObjectsTest, TheBoxGetsTheViewsMenuWithItsAutomaticPopupOff) {
    QMenu menu;
    menu.addAction(QStringLiteral("Copy"));
    view.SetPopupMenu(&menu);
    EXPECT_TRUE(AutoPopup(menu));
    view.SetPage(&AddPage("<Z S0 >no link here"));
    TOVKbox* box = view.TextBox();
    EXPECT_EQ(box->PopupMenu(), &menu);
    EXPECT_FALSE(AutoPopup(menu));
    EXPECT_EQ(box->contextMenuPolicy(), Qt::PreventContextMenu);

    const QPoint at(5, 5);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(at), QPointF(box->mapToGlobal(at)), Qt::RightButton,
                          type == QEvent::MouseButtonPress ? Qt::RightButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(box, &event);
    }
    EXPECT_TRUE(menu.isVisible());
    EXPECT_TRUE(messages.Entries().empty());
    menu.hide();
}

TEST_F(PageObjectsTest, ObjectsInTheShownSelectionAreHighlighted) {
    view.SetPage(&AddPage("<Z S0 >before" + Anchor(1) + "after"));
    auto* marker = dynamic_cast<TPageControl*>(view.Controls().At(1));
    ASSERT_NE(marker, nullptr);
    TOVKbox* box = view.TextBox();
    auto paint = [&] {
        QImage image(box->size(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        box->render(&painter);
    };
    paint();
    EXPECT_FALSE(marker->Highlighted());
    box->SelectAll();
    paint();
    EXPECT_TRUE(marker->Highlighted());
    box->ClearSelection();
    paint();
    EXPECT_FALSE(marker->Highlighted());
}

} // namespace
} // namespace morvell
