#pragma once
// The ordered outline of an ebook: the ebook itself as root, chapters as folders and pages (or,
// for the second outline, custom objects) as leaves. It is stored in the ebook as a node list,
// one line per node, in the data block of a shortObj named by the header. The reader shows it
// read-only as the table of contents; the print dialog edits a copy to arrange a print order.
// Edits stay in the document's memory: nothing is ever written back to the file.
//
// This is the model; TOVKorderedTree shows it in a tree view.

#include "document/OVKKinds.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace morvell {

class TOVKset;
class TOVKoggetto;

enum class TOVKNodeKind { Root, Chapter, Leaf, Plain };

// Numbers a node list uses for the nodes that are not leaves.
inline constexpr std::int32_t kNodeRoot = -2;
inline constexpr std::int32_t kNodeChapter = -3;
inline constexpr std::int32_t kNodePlain = -1;

// A node list nests at most this deep. Deeper lines are refused like a level jump: a hostile
// list of ever deeper lines would otherwise build a tree too deep for any view to walk.
inline constexpr int kMaxOutlineDepth = 256;

class TOVKOutlineNode {
public:
    TOVKOutlineNode(TOVKNodeKind kind, std::string caption) : m_kind(kind), m_caption(std::move(caption)) {}
    ~TOVKOutlineNode();
    TOVKOutlineNode(const TOVKOutlineNode&) = delete;
    TOVKOutlineNode& operator=(const TOVKOutlineNode&) = delete;

    TOVKNodeKind Kind() const { return m_kind; }
    // Ebook bytes in the document's code page.
    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string caption) { m_caption = std::move(caption); }
    // The object reference a leaf holds; -1 for other nodes.
    std::int32_t Reference() const { return m_reference; }
    // Chapters the user added in an editable tree show the help icon.
    bool AddedByUser() const { return m_addedByUser; }

    TOVKOutlineNode* Parent() const { return m_parent; }
    const std::vector<std::unique_ptr<TOVKOutlineNode>>& Children() const { return m_children; }
    // Depth in the tree: 0 for a top-level node.
    int Level() const;

private:
    friend class TOVKOutline;
    TOVKNodeKind m_kind;
    std::string m_caption;
    std::int32_t m_reference = -1;
    bool m_addedByUser = false;
    int m_lineLevel = 0; // the level its node-list line gave, while the list is read
    TOVKOutlineNode* m_parent = nullptr;
    std::vector<std::unique_ptr<TOVKOutlineNode>> m_children;
};

class TOVKOutline {
public:
    using Node = TOVKOutlineNode;
    using NodeList = std::vector<std::unique_ptr<Node>>;

    TOVKOutline();
    ~TOVKOutline();
    TOVKOutline(const TOVKOutline&) = delete;
    TOVKOutline& operator=(const TOVKOutline&) = delete;

    // --- properties ----------------------------------------------------------------------
    TOVKset* LinkedOVKset() const { return m_document; }
    // Linking another document clears the tree; Reload must be asked for. The owner of the
    // tree unlinks it (nullptr) before its document goes away.
    void SetLinkedOVKset(TOVKset* document);
    // Kind of the leaves: testoHtml for the page outline, custom for the custom outline.
    TOggettiHel Objects() const { return m_objects; }
    void SetObjects(TOggettiHel kind) { m_objects = kind; }
    bool Editable() const { return m_editable; }
    void SetEditable(bool editable) { m_editable = editable; }
    // Label editing is never allowed while ReadOnly.
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // Asked before a leaf of a kind other than pages is deleted; false vetoes.
    std::function<bool(Node& node)> OnDel;
    std::function<void()> OnAfterDel;
    // A leaf was renamed; its object carries the new name already.
    std::function<void(Node& node)> OnRenameItem;
    // The view should open the node's caption for editing (after add chapter, key "q").
    std::function<void(Node& node)> OnEditLabel;
    // The nodes changed shape (cleared, reloaded, added, moved, deleted).
    std::function<void()> OnChanged;

    // --- whole tree ------------------------------------------------------------------------
    // Rebuilds the tree from the holder's node list, or builds and saves the default outline
    // when the holder has none. Without a document the tree stays empty.
    void Reload();
    // Writes the tree as a node list into the holder's data block (in memory only).
    void Save();
    void Clear();
    // Reads a node list into the (cleared) tree; malformed lines show their box and add no
    // node. An exception while reading clears the tree and is passed on.
    void ReadNodeList(std::string_view list);
    std::string WriteNodeList() const;
    // The shortObj whose data block holds this tree's node list (made on demand); nullptr
    // without a document.
    TOVKoggetto* Holder() const;

    const NodeList& TopLevel() const { return m_top; }
    // Every node in tree order: depth first, parents before children.
    std::vector<Node*> NodesInOrder() const;
    // The objects of all leaves in tree order (leaves whose object is missing are left out).
    std::vector<TOVKoggetto*> PagesInOrder() const;

    // --- selection -----------------------------------------------------------------------
    Node* Selected() const { return m_selected; }
    void Select(Node* node) { m_selected = node; }
    // The object of the selected leaf; nullptr when the selection is not a leaf.
    TOVKoggetto* SelectedObject() const;
    // The caption of the selected chapter; empty when the selection is not a chapter.
    std::string SelectedChapterCaption() const;
    TOVKoggetto* ObjectOf(const Node& node) const;

    // --- editing (only when Editable and a node is selected) ---------------------------------
    Node* AddChapter(const std::string& caption, bool first);
    Node* AddLeaf(std::int32_t reference, bool first);
    void MoveUp();
    void MoveDown();
    void DeleteSelected();
    bool CanEditLabel(const Node& node) const;
    // Sets a node's caption after label editing; a leaf's object is renamed too. False when
    // the node's label may not be edited.
    bool RenameNode(Node& node, const std::string& caption);
    // "." deletes the selection unless a label is being edited, "q" starts editing it.
    // True when the key was used.
    bool HandleKey(char key, bool editingLabel);

    // Sibling list holding `node` (the top level for top-level nodes), and its index there.
    NodeList& SiblingsOf(const Node& node);
    int IndexOf(const Node& node) const;

    // --- icons -------------------------------------------------------------------------------
    // Freedesktop icon name of a node; empty for plain nodes.
    std::string IconName(const Node& node) const;

private:
    Node* Place(std::unique_ptr<Node> node, Node* prev, long long level);
    std::unique_ptr<Node> MakeNode(std::int32_t number, std::string caption) const;
    void BuildDefault();
    void Changed() {
        if (OnChanged) OnChanged();
    }

    TOVKset* m_document = nullptr;
    TOggettiHel m_objects = TOggettiHel::testoHtml;
    bool m_editable = false;
    bool m_readOnly = false;
    NodeList m_top;
    Node* m_selected = nullptr;
};

} // namespace morvell
