#pragma once
// The chapter tree on screen: a tree view over the document's outline (TOVKOutline). The
// reader shows it read-only as the table of contents; an Editable instance lets the print
// dialog arrange pages and chapters. Clicking a leaf (or Enter on it) reports its object so
// the main window can show that page.

#include "document/ChapterTree.h"

#include <QStandardItemModel>
#include <QTreeView>

#include <functional>

namespace morvell {

class TOVKset;
class TOVKoggetto;

class TOVKorderedTree : public QTreeView {
    Q_OBJECT

public:
    // Role of an item's data holding its TOVKOutlineNode pointer.
    static constexpr int kNodeRole = Qt::UserRole + 1;

    explicit TOVKorderedTree(QWidget* parent = nullptr);
    ~TOVKorderedTree() override;

    TOVKset* LinkedOVKset() const { return m_outline.LinkedOVKset(); }
    // Linking another document clears the tree; Reload shows it. The owner unlinks the tree
    // (nullptr) before the document goes away.
    void SetLinkedOVKset(TOVKset* document);
    TOggettiHel Objects() const { return m_outline.Objects(); }
    void SetObjects(TOggettiHel kind) { m_outline.SetObjects(kind); }
    bool Editable() const { return m_outline.Editable(); }
    void SetEditable(bool editable);
    bool LeftMouseSelect() const { return m_leftMouseSelect; }
    void SetLeftMouseSelect(bool select) { m_leftMouseSelect = select; }
    bool ReadOnly() const { return m_outline.ReadOnly(); }
    void SetReadOnly(bool readOnly);

    // Asked before a leaf of another kind than pages is deleted; false vetoes.
    void SetOnDel(std::function<bool(TOVKOutlineNode&)> onDel) { m_outline.OnDel = std::move(onDel); }
    void SetOnAfterDel(std::function<void()> onAfterDel) { m_outline.OnAfterDel = std::move(onAfterDel); }
    void SetOnRenameItem(std::function<void(TOVKOutlineNode&)> onRename) {
        m_outline.OnRenameItem = std::move(onRename);
    }

    void Reload();
    void Save() { m_outline.Save(); }
    TOVKOutline& Outline() { return m_outline; }
    QStandardItemModel* Model() const { return m_model; }

    // The object of the selected leaf, nullptr otherwise; the selected chapter's caption.
    TOVKoggetto* SelectedObject();
    std::string SelectedChapterCaption();
    std::vector<TOVKoggetto*> PagesInOrder() const { return m_outline.PagesInOrder(); }

    // Editing, on the current item (nothing unless Editable).
    void AddChapter(const QString& caption, bool first);
    void AddLeaf(std::int32_t reference, bool first);
    void MoveUp();
    void MoveDown();
    void DeleteSelected();

    TOVKOutlineNode* NodeAt(const QModelIndex& index) const;
    QModelIndex IndexOf(const TOVKOutlineNode* node) const;
    QString CaptionText(const TOVKOutlineNode& node) const;

signals:
    // The user clicked a leaf (or pressed Enter on it) whose object exists.
    void LeafActivated(TOVKoggetto* object);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Rebuild();
    void SyncSelection();
    void ItemChanged(QStandardItem* item);
    void Activate(const QModelIndex& index);
    QIcon IconOf(const TOVKOutlineNode& node) const;

    TOVKOutline m_outline;
    QStandardItemModel* m_model;
    bool m_leftMouseSelect = true;
    bool m_rebuilding = false;
};

} // namespace morvell
