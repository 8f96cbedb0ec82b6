// The chapter tree widget over a small ebook: items, captions in the ebook's code page, icons,
// label editing only where allowed, and leaf activation.
#include "document/qt/TOVKorderedTree.h"
#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "ovkbuild/Templates.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace morvell {
namespace {

struct Fixture {
    test::TempDir dir;
    TOVKset doc;
    TOVKorderedTree tree;
    Fixture() {
        ovkbuild::Builder b;
        b.SetCharSet("windows-1252");
        ovkbuild::AddPropertyList(b, {{"CharSet", "windows-1252"}});
        ovkbuild::AddPage(b, "Caf\xC3\xA9");
        ovkbuild::AddPage(b, "Second");
        ovkbuild::AddNodeList(b, "a0,-2,Guide\r\na1,-3,Part \x80\r\na2,0,x\r\na1,1,x\r\na1,-1,note\r\n");
        b.Write(dir / "b.ovk");
        EXPECT_TRUE(doc.SetOVKFileName((dir / "b.ovk").string()));
        tree.SetLinkedOVKset(&doc);
        tree.Reload();
    }
    ~Fixture() { tree.SetLinkedOVKset(nullptr); }
    QStandardItem* Root() { return tree.Model()->item(0); }
};

TEST(TOVKorderedTree, ShowsTheOutlineWithConvertedCaptionsAndIcons) {
    Fixture f;
    ASSERT_EQ(f.tree.Model()->rowCount(), 1);
    QStandardItem* root = f.Root();
    EXPECT_EQ(root->text(), "Guide");
    ASSERT_EQ(root->rowCount(), 3);
    EXPECT_EQ(root->child(0)->text(), QString::fromUtf8("Part \xE2\x82\xAC")) << "0x80 is the euro sign";
    EXPECT_EQ(root->child(0)->child(0)->text(), QString::fromUtf8("Caf\xC3\xA9"));
    EXPECT_EQ(root->child(1)->text(), "Second");
    // Theme icon or the style's stand-in: root, chapter and leaf have one, a plain node none.
    EXPECT_FALSE(root->icon().isNull());
    EXPECT_FALSE(root->child(0)->icon().isNull());
    EXPECT_FALSE(root->child(1)->icon().isNull());
    EXPECT_TRUE(root->child(2)->icon().isNull());
}

TEST(TOVKorderedTree, LabelsAreReadOnlyInTheReader) {
    Fixture f;
    QStandardItem* chapter = f.Root()->child(0);
    QStandardItem* leaf = f.Root()->child(1);
    EXPECT_FALSE(chapter->isEditable());
    EXPECT_FALSE(leaf->isEditable());
    f.tree.SetReadOnly(true);
    EXPECT_FALSE(f.Root()->isEditable());
    EXPECT_FALSE(f.Root()->child(2)->isEditable());
    f.tree.SetReadOnly(false);
    f.tree.SetEditable(true);
    EXPECT_TRUE(f.Root()->child(0)->isEditable());
    EXPECT_FALSE(f.Root()->child(1)->isEditable()) << "page leaves keep their titles";
    // Keys of the reader's tree never delete.
    f.tree.SetEditable(false);
    f.tree.setCurrentIndex(f.Root()->child(1)->index());
    QTest::keyClick(&f.tree, '.');
    EXPECT_EQ(f.Root()->rowCount(), 3);
}

TEST(TOVKorderedTree, ClickingALeafReportsItsPage) {
    Fixture f;
    f.tree.resize(300, 300);
    f.tree.show();
    QSignalSpy spy(&f.tree, &TOVKorderedTree::LeafActivated);
    const QModelIndex leaf = f.Root()->child(1)->index();
    QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, f.tree.visualRect(leaf).center());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<TOVKoggetto*>(), f.doc.Object(TOggettiHel::testoHtml, 1));
    QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, f.tree.visualRect(f.Root()->index()).center());
    EXPECT_EQ(spy.count(), 1) << "the root is no page";
    EXPECT_EQ(f.tree.SelectedObject(), nullptr);
}

TEST(TOVKorderedTree, EditingThroughTheWidget) {
    Fixture f;
    f.tree.SetEditable(true);
    f.tree.setCurrentIndex(f.Root()->child(1)->index());
    f.tree.MoveUp();
    EXPECT_EQ(f.Root()->child(0)->text(), "Second");
    EXPECT_EQ(f.tree.currentIndex(), f.Root()->child(0)->index()) << "the moved node stays selected";
    QTest::keyClick(&f.tree, '.');
    EXPECT_EQ(f.Root()->rowCount(), 2);
    std::vector<std::int32_t> order;
    for (TOVKoggetto* page : f.tree.PagesInOrder()) order.push_back(page->Index());
    EXPECT_EQ(order, std::vector<std::int32_t>{0});
}

} // namespace
} // namespace morvell
