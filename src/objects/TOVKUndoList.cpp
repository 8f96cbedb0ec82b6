#include "objects/TOVKUndoList.h"

namespace morvell {

void TOVKundoList::AddUndo(std::unique_ptr<TOVKbackup> backup) {
    if (!backup) return;
    if (static_cast<int>(m_undo.size()) > m_depth) m_undo.erase(m_undo.begin());
    std::string label = backup->Label();
    backup->SetDirection(TOVKbackup::kUndo);
    m_undo.emplace_back(std::move(label), std::move(backup));
}

void TOVKundoList::AddRedo(std::unique_ptr<TOVKbackup> backup) {
    if (!backup) return;
    std::string label = backup->Label();
    backup->SetDirection(TOVKbackup::kRedo);
    m_redo.emplace_back(std::move(label), std::move(backup));
}

void TOVKundoList::Clear() {
    m_undo.clear();
    m_redo.clear();
}

} // namespace morvell
