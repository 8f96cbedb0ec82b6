#pragma once
// The document's undo and redo lists of editing steps. Steps never outlive the page they
// were made on: the page view empties the list every time it is cleared.

#include "objects/TOVKUndoBackup.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace morvell {

class TOVKset;

class TOVKundoList {
public:
    static constexpr int kDepth = 10;
    using Step = std::pair<std::string, std::unique_ptr<TOVKbackup>>;

    explicit TOVKundoList(TOVKset* document = nullptr) : m_document(document) {}

    TOVKset* Document() const { return m_document; }
    int Depth() const { return m_depth; }

    // Appends an undo step; when the list already holds more steps than the depth, the
    // oldest is dropped first, so at most depth + 1 steps are kept.
    void AddUndo(std::unique_ptr<TOVKbackup> backup);
    // Appends a redo step; the redo list has no limit.
    void AddRedo(std::unique_ptr<TOVKbackup> backup);
    // Destroys every step of both lists.
    void Clear();

    const std::vector<Step>& Undo() const { return m_undo; }
    const std::vector<Step>& Redo() const { return m_redo; }
    bool Empty() const { return m_undo.empty() && m_redo.empty(); }

private:
    TOVKset* m_document;
    int m_depth = kDepth;
    std::vector<Step> m_undo;
    std::vector<Step> m_redo;
};

} // namespace morvell
