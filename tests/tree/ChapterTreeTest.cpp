// The chapter tree over real ebooks written with the builder: node lists read, placed and
// written back, the default outline, the editing rules and the icons.
#include "document/ChapterTree.h"
#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "ovkbuild/Templates.h"
#include "platform/Messages.h"
#include "platform/Shell.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace morvell {
namespace {

using ovkbuild::Builder;
using test::TempDir;

std::string KindText(TOVKNodeKind kind) {
    switch (kind) {
    case TOVKNodeKind::Root:
        return "root";
    case TOVKNodeKind::Chapter:
        return "chapter";
    case TOVKNodeKind::Leaf:
        return "leaf";
    case TOVKNodeKind::Plain:
        return "plain";
    }
    return "?";
}

// One line per node: two spaces a level, kind, the leaf's reference, the caption.
std::string Dump(const TOVKOutline& tree) {
    std::string out;
    for (const TOVKOutlineNode* n : tree.NodesInOrder()) {
        out += std::string(2 * static_cast<std::size_t>(n->Level()), ' ') + KindText(n->Kind());
        if (n->Kind() == TOVKNodeKind::Leaf) out += " " + std::to_string(n->Reference());
        out += ": " + n->Caption() + "\n";
    }
    return out;
}

// Pages P0 ... P(n-1), an optional page outline, and a picture.
Builder Book(int pages, const std::string& nodeList = {}) {
    Builder b;
    for (int i = 0; i < pages; ++i) ovkbuild::AddPage(b, "P" + std::to_string(i));
    ovkbuild::AddImmagine(b, "pic", "pic.gif", "GIF89a");
    if (!nodeList.empty()) ovkbuild::AddNodeList(b, nodeList);
    return b;
}

struct Opened {
    TempDir dir;
    TOVKset doc;
    TOVKOutline tree;
    explicit Opened(const Builder& b, const std::string& name = "book.ovk") {
        b.Write(dir / name);
        EXPECT_TRUE(doc.SetOVKFileName((dir / name).string()));
        tree.SetLinkedOVKset(&doc);
    }
};

TEST(ChapterTree, WithoutAnOutlineTheFileNameIsRootOverTheNonFreePagesInIndexOrder) {
    Builder b = Book(4);
    b.RecordAt(TOggettiHel::testoHtml, 1).U8(4, 3); // a free slot
    Opened o(b, "My Book.ovk");
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    o.tree.Reload();
    EXPECT_EQ(Dump(o.tree), "root: My Book.ovk\n  leaf 0: P0\n  leaf 2: P2\n  leaf 3: P3\n");
    EXPECT_TRUE(messages.Entries().empty());
    // The default outline is saved into the holder, in memory.
    EXPECT_EQ(o.doc.TreeHolder()->DataBytes(), "a0,-2,My Book.ovk\r\na1,0,x\r\na1,2,x\r\na1,3,x\r\n");
    ASSERT_EQ(o.tree.PagesInOrder().size(), 3u);
    EXPECT_EQ(o.tree.PagesInOrder()[1]->Index(), 2);
}

TEST(ChapterTree, AStoredOutlineGivesChaptersAndLeavesCaptionedWithPageTitles) {
    const std::string list = "a0,-2,Guide\r\na1,-3,Part one\r\na2,5,x\r\na1,6,x\r\n";
    Opened o(Book(7, list));
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    o.tree.Reload();
    EXPECT_EQ(Dump(o.tree), "root: Guide\n  chapter: Part one\n    leaf 5: P5\n  leaf 6: P6\n");
    EXPECT_TRUE(messages.Entries().empty());
    std::vector<std::int32_t> order;
    for (TOVKoggetto* page : o.tree.PagesInOrder()) order.push_back(page->Index());
    EXPECT_EQ(order, (std::vector<std::int32_t>{5, 6}));
    EXPECT_EQ(o.tree.WriteNodeList(), list);
}

TEST(ChapterTree, MalformedAndUnusualLines) {
    const std::string picture = std::to_string(MakeReference(TOggettiHel::immagine, 0));
    struct Case {
        const char* what;
        std::string list;
        std::string tree;
        std::vector<std::string> boxes;
    } cases[] = {
        {"a jump of two levels adds nothing",
         "a0,-2,G\r\na1,-3,C\r\na3,7,x\r\na2,1,x\r\n",
         "root: G\n  chapter: C\n    leaf 1: P1\n",
         {"error loading nodes"}},
        {"a line not starting with a",
         "a0,-2,G\r\nb1,2,x\r\na1,2,x\r\n",
         "root: G\n  leaf 2: P2\n",
         {"error decoding nodes"}},
        {"an empty line", "a0,-2,G\r\n\r\na1,2,x\r\n", "root: G\n  leaf 2: P2\n", {"error decoding nodes"}},
        {"a picture in the page outline", "a0,-2,G\r\na1," + picture + ",x\r\n", "root: G\n  plain: *\n", {}},
        {"captions keep their commas", "a0,-2,One, two, three\r\n", "root: One, two, three\n", {}},
        {"shallower lines walk up",
         "a0,-2,G\r\na1,-3,A\r\na2,-3,B\r\na3,3,x\r\na1,4,x\r\na0,-1,end\r\n",
         "root: G\n  chapter: A\n    chapter: B\n      leaf 3: P3\n  leaf 4: P4\nplain: end\n",
         {}},
        {"missing parts default to level 1 and page 1", "a\r\na1\r\n", "leaf 1: P1\nleaf 1: P1\n", {}},
        {"a missing page keeps the stored caption", "a0,99,x\r\n", "leaf 99: x\n", {}},
        {"a number wider than 32 bits", "a0,99999999999,x\r\n", "plain: *\n", {}},
        {"bare line feeds and no final break", "a0,-2,G\na1,1,x", "root: G\n  leaf 1: P1\n", {}},
    };
    for (const Case& c : cases) {
        Opened o(Book(8, c.list));
        RecordingMessages messages;
        ScopedMessages scoped(messages);
        o.tree.Reload();
        EXPECT_EQ(Dump(o.tree), c.tree) << c.what;
        EXPECT_EQ(messages.Texts(), c.boxes) << c.what;
        for (const auto& e : messages.Entries()) EXPECT_EQ(e.kind, MessageKind::Error) << c.what;
    }
}

TEST(ChapterTree, AHostileListCannotNestWithoutBound) {
    std::string list;
    for (int i = 0; i < kMaxOutlineDepth + 10; ++i) list += "a" + std::to_string(i) + ",-3,c\r\n";
    TOVKOutline tree;
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    tree.ReadNodeList(list);
    int deepest = 0;
    for (const TOVKOutlineNode* n : tree.NodesInOrder()) deepest = std::max(deepest, n->Level());
    EXPECT_EQ(deepest, kMaxOutlineDepth - 1);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>(10, "error loading nodes"));
}

// Message boxes that fail, standing in for anything raised while a list is read.
class ThrowingMessages : public RecordingMessages {
public:
    void Error(const std::string&) override { throw std::runtime_error("box failed"); }
};

TEST(ChapterTree, AnErrorWhileReadingClearsTheTreeAndIsPassedOn) {
    TOVKOutline tree;
    ThrowingMessages messages;
    ScopedMessages scoped(messages);
    EXPECT_THROW(tree.ReadNodeList("a0,-2,G\r\na1,-3,C\r\nbad\r\na1,-3,D\r\n"), std::runtime_error);
    EXPECT_TRUE(tree.TopLevel().empty());
}

TEST(ChapterTree, TheCustomOutlineUsesItsOwnHolderAndKind) {
    Builder b = Book(2);
    for (const char* name : {"Alpha", "Beta"}) {
        ovkbuild::Record r;
        r.U8(4, 1).Str(17, 40, name);
        b.AddRecord(TOggettiHel::custom, r);
    }
    const std::string pageRef = "0";
    ovkbuild::AddNodeList(b,
                          "a0,-2,Protos\r\na1," + std::to_string(MakeReference(TOggettiHel::custom, 1)) +
                              ",x\r\na1," + pageRef + ",x\r\n",
                          true);
    Opened o(b);
    o.tree.SetObjects(TOggettiHel::custom);
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    o.tree.Reload();
    EXPECT_EQ(Dump(o.tree), "root: Protos\n  leaf 201326593: Beta\n  plain: *\n");
    EXPECT_EQ(o.doc.Header().TreeHolder(), 0) << "the page holder is left alone";

    // Custom leaves are renamed with their object, in an editable tree only.
    TOVKOutlineNode* leaf = o.tree.TopLevel()[0]->Children()[0].get();
    EXPECT_FALSE(o.tree.RenameNode(*leaf, "Gamma"));
    o.tree.SetEditable(true);
    std::string renamed;
    o.tree.OnRenameItem = [&](TOVKOutlineNode& n) { renamed = n.Caption(); };
    EXPECT_TRUE(o.tree.RenameNode(*leaf, "Gamma"));
    EXPECT_EQ(renamed, "Gamma");
    EXPECT_EQ(o.doc.Object(TOggettiHel::custom, 1)->DisplayName(), "Gamma");
    EXPECT_EQ(o.tree.IconName(*leaf), FileTypeIcon("a.ini"));
}

TEST(ChapterTree, ADocumentWithoutCustomOutlineGetsTheDefaultOne) {
    Builder b = Book(1);
    ovkbuild::Record freeSlot, used;
    freeSlot.U8(4, 0);
    used.U8(4, 1).Str(17, 40, "Only");
    b.AddRecord(TOggettiHel::custom, freeSlot);
    b.AddRecord(TOggettiHel::custom, used);
    Opened o(b, "c.ovk");
    o.tree.SetObjects(TOggettiHel::custom);
    o.tree.Reload();
    EXPECT_EQ(Dump(o.tree), "root: c.ovk\n  leaf 201326593: Only\n");
    EXPECT_EQ(o.doc.CustomTreeHolder()->DataBytes(), "a0,-2,c.ovk\r\na1,201326593,x\r\n");
}

// A root over the leaves P0 ... P3, editable, with `select` selected.
struct Editing : Opened {
    Editing() : Opened(Book(4)) {
        tree.Reload();
        tree.SetEditable(true);
    }
    TOVKOutlineNode* Root() { return tree.TopLevel()[0].get(); }
    TOVKOutlineNode* Child(int i) { return Root()->Children()[static_cast<std::size_t>(i)].get(); }
    std::string Order() {
        std::string s;
        for (const auto& c : Root()->Children()) s += c->Caption() + " ";
        return s;
    }
};

TEST(ChapterTree, MoveUpAndDownFollowTheSiblingIndex) {
    struct Case {
        int index;
        bool up;
        const char* order;
    } cases[] = {
        {0, true, "P0 P1 P2 P3 "},  {1, true, "P1 P0 P2 P3 "},  {2, true, "P0 P2 P1 P3 "},
        {3, true, "P0 P1 P3 P2 "},  {0, false, "P1 P0 P2 P3 "}, {1, false, "P0 P2 P1 P3 "},
        {2, false, "P0 P1 P3 P2 "}, {3, false, "P0 P1 P2 P3 "},
    };
    for (const Case& c : cases) {
        Editing e;
        TOVKOutlineNode* moved = e.Child(c.index);
        e.tree.Select(moved);
        c.up ? e.tree.MoveUp() : e.tree.MoveDown();
        EXPECT_EQ(e.Order(), c.order) << c.index << (c.up ? " up" : " down");
        EXPECT_EQ(e.tree.Selected(), moved);
    }
    Editing e;
    e.tree.Select(e.Root());
    e.tree.MoveDown();
    e.tree.MoveUp();
    EXPECT_EQ(e.tree.TopLevel().size(), 1u);
    e.tree.SetEditable(false);
    e.tree.Select(e.Child(1));
    e.tree.MoveUp();
    EXPECT_EQ(e.Order(), "P0 P1 P2 P3 ") << "a read-only tree never moves";
}

TEST(ChapterTree, AddingChaptersAndLeaves) {
    Editing e;
    std::vector<std::string> edited;
    e.tree.OnEditLabel = [&](TOVKOutlineNode& n) { edited.push_back(n.Caption()); };
    // A leaf is selected: the chapter goes into the leaf's parent, first.
    e.tree.Select(e.Child(2));
    TOVKOutlineNode* chapter = e.tree.AddChapter("Ch", true);
    ASSERT_NE(chapter, nullptr);
    EXPECT_EQ(e.tree.Selected(), chapter);
    EXPECT_EQ(edited, std::vector<std::string>{"Ch"});
    EXPECT_EQ(e.tree.IconName(*chapter), FileTypeIcon("a.hlp"));
    // The chapter is selected: the leaf goes inside it; a leaf selected: beside it.
    ASSERT_NE(e.tree.AddLeaf(3, false), nullptr);
    ASSERT_NE(e.tree.AddLeaf(1, true), nullptr);
    EXPECT_EQ(e.tree.AddLeaf(99, true), nullptr) << "no such page";
    EXPECT_EQ(e.tree.AddLeaf(MakeReference(TOggettiHel::immagine, 0), true), nullptr) << "not a page";
    EXPECT_EQ(Dump(e.tree),
              "root: book.ovk\n  chapter: Ch\n    leaf 1: P1\n    leaf 3: P3\n  leaf 0: P0\n  leaf 1: P1\n"
              "  leaf 2: P2\n  leaf 3: P3\n");
    // The edits survive a save and a reload.
    e.tree.Save();
    e.tree.Reload();
    EXPECT_EQ(e.Child(0)->Children().size(), 2u);

    // A plain node's parent holds no chapters.
    TOVKOutline plain;
    plain.SetEditable(true);
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    plain.ReadNodeList("a0,-1,p\r\na1,-1,q\r\n");
    plain.Select(plain.TopLevel()[0]->Children()[0].get());
    EXPECT_EQ(plain.AddChapter("no", false), nullptr);
}

TEST(ChapterTree, DeletingAsksOnlyForOtherKindsThanPages) {
    Editing e;
    int asked = 0, after = 0;
    e.tree.OnDel = [&](TOVKOutlineNode&) { return ++asked, false; };
    e.tree.OnAfterDel = [&] { ++after; };
    e.tree.Select(e.Root());
    e.tree.DeleteSelected();
    EXPECT_EQ(e.tree.TopLevel().size(), 1u) << "the root stays";
    e.tree.Select(e.Child(1));
    EXPECT_TRUE(e.tree.HandleKey('.', false));
    EXPECT_EQ(e.Order(), "P0 P2 P3 ");
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(after, 1);
    e.tree.Select(e.Child(0));
    e.tree.HandleKey('.', true);
    EXPECT_EQ(e.Order(), "P0 P2 P3 ") << "not while a label is edited";

    // In a custom outline OnDel may refuse.
    e.tree.SetObjects(TOggettiHel::custom);
    e.tree.Select(e.Child(0));
    e.tree.DeleteSelected();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(e.Order(), "P0 P2 P3 ");
    e.tree.OnDel = [&](TOVKOutlineNode&) { return true; };
    e.tree.DeleteSelected();
    EXPECT_EQ(e.Order(), "P2 P3 ");
    EXPECT_EQ(after, 2);
}

TEST(ChapterTree, LabelEditingPermissions) {
    TOVKOutline tree;
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    tree.ReadNodeList("a0,-2,R\r\na1,-3,C\r\na1,0,x\r\na1,-1,p\r\n");
    const auto& kids = tree.TopLevel()[0]->Children();
    const TOVKOutlineNode &root = *tree.TopLevel()[0], &chapter = *kids[0], &leaf = *kids[1],
                          &plain = *kids[2];
    struct Case {
        TOggettiHel kind;
        bool editable, readOnly;
        bool root, chapter, leaf, plain;
    } cases[] = {
        {TOggettiHel::testoHtml, false, false, true, false, false, true},
        {TOggettiHel::testoHtml, true, false, true, true, false, true},
        {TOggettiHel::custom, true, false, true, true, true, true},
        {TOggettiHel::custom, false, false, true, false, false, true},
        {TOggettiHel::custom, true, true, false, false, false, false},
    };
    for (const Case& c : cases) {
        tree.SetObjects(c.kind);
        tree.SetEditable(c.editable);
        tree.SetReadOnly(c.readOnly);
        EXPECT_EQ(tree.CanEditLabel(root), c.root);
        EXPECT_EQ(tree.CanEditLabel(chapter), c.chapter);
        EXPECT_EQ(tree.CanEditLabel(leaf), c.leaf);
        EXPECT_EQ(tree.CanEditLabel(plain), c.plain);
    }
}

TEST(ChapterTree, IconsComeFromTheFileTypes) {
    TOVKOutline tree;
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    tree.ReadNodeList("a0,-2,R\r\na1,-3,C\r\na1,0,x\r\na1,-1,p\r\n");
    const auto& kids = tree.TopLevel()[0]->Children();
    EXPECT_EQ(tree.IconName(*tree.TopLevel()[0]), FileTypeIcon("x.ovk"));
    EXPECT_EQ(tree.IconName(*kids[0]), FileTypeIcon("x.ovk"));
    EXPECT_EQ(tree.IconName(*kids[1]), FileTypeIcon("x.txt"));
    EXPECT_EQ(tree.IconName(*kids[2]), "");
    EXPECT_FALSE(tree.IconName(*kids[1]).empty());
}

TEST(ChapterTree, LinkingAnotherDocumentClearsAndWritingKeepsLinesWhole) {
    Editing e;
    e.tree.SetObjects(TOggettiHel::testoHtml);
    e.Root()->SetCaption("two\r\nlines");
    EXPECT_EQ(e.tree.WriteNodeList().substr(0, 18), "a0,-2,two  lines\r\n");
    TOVKset other;
    e.tree.SetLinkedOVKset(&other);
    EXPECT_TRUE(e.tree.TopLevel().empty());
    e.tree.SetLinkedOVKset(nullptr);
    e.tree.Reload();
    EXPECT_TRUE(e.tree.TopLevel().empty()) << "no document, no holder";
}

} // namespace
} // namespace morvell
