#include "document/qt/TOVKorderedTree.h"

#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "platform/CodePage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>

namespace morvell {

TOVKorderedTree::TOVKorderedTree(QWidget* parent) : QTreeView(parent), m_model(new QStandardItemModel(this)) {
    // Queued connections and signal spies carry the leaf's object through the meta-type system.
    qRegisterMetaType<TOVKoggetto*>("TOVKoggetto*");
    setModel(m_model);
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    m_outline.OnChanged = [this] { Rebuild(); };
    m_outline.OnEditLabel = [this](TOVKOutlineNode& node) {
        const QModelIndex index = IndexOf(&node);
        if (index.isValid()) edit(index);
    };
    connect(m_model, &QStandardItemModel::itemChanged, this, &TOVKorderedTree::ItemChanged);
    connect(this, &QTreeView::clicked, this, &TOVKorderedTree::Activate);
}

TOVKorderedTree::~TOVKorderedTree() {
    // The model's items point at the outline's nodes: let no callback reach a half-destroyed tree.
    m_outline.OnChanged = nullptr;
    m_outline.OnEditLabel = nullptr;
}

void TOVKorderedTree::SetLinkedOVKset(TOVKset* document) { m_outline.SetLinkedOVKset(document); }

void TOVKorderedTree::SetEditable(bool editable) {
    m_outline.SetEditable(editable);
    Rebuild();
}

void TOVKorderedTree::SetReadOnly(bool readOnly) {
    m_outline.SetReadOnly(readOnly);
    Rebuild();
}

void TOVKorderedTree::Reload() { m_outline.Reload(); }

QString TOVKorderedTree::CaptionText(const TOVKOutlineNode& node) const {
    const std::string charSet = LinkedOVKset() ? LinkedOVKset()->CharSet() : std::string();
    return QString::fromStdString(CodePage::ToUtf8(node.Caption(), charSet));
}

QIcon TOVKorderedTree::IconOf(const TOVKOutlineNode& node) const {
    const std::string name = m_outline.IconName(node);
    if (name.empty()) return {};
    // Without an icon theme (a bare session, the offscreen tests) the style's folder and file
    // icons stand in.
    const bool folder = node.Kind() != TOVKNodeKind::Leaf;
    const QIcon fallback = style()->standardIcon(folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    return QIcon::fromTheme(QString::fromStdString(name), fallback);
}

void TOVKorderedTree::Rebuild() {
    const TOVKOutlineNode* selected = m_outline.Selected();
    m_rebuilding = true;
    m_model->clear();
    std::vector<std::pair<const TOVKOutlineNode*, QStandardItem*>> stack;
    for (auto it = m_outline.TopLevel().rbegin(); it != m_outline.TopLevel().rend(); ++it)
        stack.emplace_back(it->get(), m_model->invisibleRootItem());
    QStandardItem* selectedItem = nullptr;
    while (!stack.empty()) {
        auto [node, parent] = stack.back();
        stack.pop_back();
        auto* item = new QStandardItem(IconOf(*node), CaptionText(*node));
        item->setData(QVariant::fromValue(reinterpret_cast<quintptr>(node)), kNodeRole);
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (m_outline.CanEditLabel(*node) && !m_outline.ReadOnly()) flags |= Qt::ItemIsEditable;
        item->setFlags(flags);
        parent->appendRow(item);
        if (node == selected) selectedItem = item;
        for (auto it = node->Children().rbegin(); it != node->Children().rend(); ++it)
            stack.emplace_back(it->get(), item);
    }
    m_rebuilding = false;
    // Label editing starts from the "q" key or after adding a chapter, never from a click.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    expandAll();
    if (selectedItem) setCurrentIndex(selectedItem->index());
}

TOVKOutlineNode* TOVKorderedTree::NodeAt(const QModelIndex& index) const {
    if (!index.isValid()) return nullptr;
    return reinterpret_cast<TOVKOutlineNode*>(index.data(kNodeRole).value<quintptr>());
}

QModelIndex TOVKorderedTree::IndexOf(const TOVKOutlineNode* node) const {
    if (!node) return {};
    const QModelIndexList found =
        m_model->match(m_model->index(0, 0), kNodeRole, QVariant::fromValue(reinterpret_cast<quintptr>(node)),
                       1, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? QModelIndex() : found.first();
}

void TOVKorderedTree::SyncSelection() { m_outline.Select(NodeAt(currentIndex())); }

TOVKoggetto* TOVKorderedTree::SelectedObject() {
    SyncSelection();
    return m_outline.SelectedObject();
}

std::string TOVKorderedTree::SelectedChapterCaption() {
    SyncSelection();
    return m_outline.SelectedChapterCaption();
}

void TOVKorderedTree::AddChapter(const QString& caption, bool first) {
    SyncSelection();
    const std::string charSet = LinkedOVKset() ? LinkedOVKset()->CharSet() : std::string();
    m_outline.AddChapter(CodePage::FromUtf8(caption.toStdString(), charSet), first);
}

void TOVKorderedTree::AddLeaf(std::int32_t reference, bool first) {
    SyncSelection();
    m_outline.AddLeaf(reference, first);
}

void TOVKorderedTree::MoveUp() {
    SyncSelection();
    m_outline.MoveUp();
}

void TOVKorderedTree::MoveDown() {
    SyncSelection();
    m_outline.MoveDown();
}

void TOVKorderedTree::DeleteSelected() {
    SyncSelection();
    m_outline.DeleteSelected();
}

void TOVKorderedTree::ItemChanged(QStandardItem* item) {
    if (m_rebuilding || !item) return;
    TOVKOutlineNode* node = NodeAt(item->index());
    if (!node) return;
    const std::string charSet = LinkedOVKset() ? LinkedOVKset()->CharSet() : std::string();
    const std::string caption = CodePage::FromUtf8(item->text().toStdString(), charSet);
    if (caption == node->Caption()) return;
    if (!m_outline.RenameNode(*node, caption)) {
        m_rebuilding = true;
        item->setText(CaptionText(*node));
        m_rebuilding = false;
    }
}

void TOVKorderedTree::Activate(const QModelIndex& index) {
    TOVKOutlineNode* node = NodeAt(index);
    if (!node || node->Kind() != TOVKNodeKind::Leaf) return;
    if (TOVKoggetto* object = m_outline.ObjectOf(*node)) emit LeafActivated(object);
}

void TOVKorderedTree::keyPressEvent(QKeyEvent* event) {
    const bool editingLabel = state() == QAbstractItemView::EditingState;
    if (!editingLabel && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        Activate(currentIndex());
        event->accept();
        return;
    }
    if (Editable() && !editingLabel && event->text().size() == 1) {
        SyncSelection();
        const char key = event->text().at(0).toLatin1();
        if ((key == '.' || key == 'q') && m_outline.HandleKey(key, editingLabel)) {
            event->accept();
            return;
        }
    }
    QTreeView::keyPressEvent(event);
}

void TOVKorderedTree::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !m_leftMouseSelect) {
        // The press still expands and collapses, but leaves the selection alone.
        const QModelIndex keep = currentIndex();
        QTreeView::mousePressEvent(event);
        selectionModel()->setCurrentIndex(keep, QItemSelectionModel::ClearAndSelect);
        return;
    }
    QTreeView::mousePressEvent(event);
}

} // namespace morvell
