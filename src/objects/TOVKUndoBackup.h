#pragma once
// The backups an editing step leaves in the document's undo list: where the change happened
// (a path of control numbers from the changed control up to its frame set) and enough state
// to put it back. The reader records no steps; it only empties the list at every page change.

#include "text/ParagraphOwner.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace morvell {

class TOVKset;
class TOVKoggetto;
class TOVKundoList;

class TOVKbackup {
public:
    enum Direction : int { kUndo = 0, kRedo = 1 };

    TOVKbackup(TOVKset* document, TOVKundoList* list, std::string label);
    virtual ~TOVKbackup();
    TOVKbackup(const TOVKbackup&) = delete;
    TOVKbackup& operator=(const TOVKbackup&) = delete;

    // Control numbers from the changed control up to its frame set.
    std::vector<int>& ControlPath() { return m_controlPath; }
    const std::vector<int>& ControlPath() const { return m_controlPath; }
    void AddToPath(int number) { m_controlPath.push_back(number); }
    TOVKset* Document() const { return m_document; }
    TOVKundoList* UndoList() const { return m_list; }
    std::string& FirstStream() { return m_first; }
    std::string& SecondStream() { return m_second; }
    const std::string& Label() const { return m_label; }
    int Direction() const { return m_direction; }
    void SetDirection(int direction) { m_direction = direction; }

private:
    std::vector<int> m_controlPath;
    TOVKset* m_document;
    TOVKundoList* m_list;
    std::string m_first;
    std::string m_second;
    std::string m_label;
    int m_direction = kUndo;
};

// A page object: a private copy of it when it is registered in the document.
class TogBackup : public TOVKbackup {
public:
    TogBackup(TOVKset* document, TOVKundoList* list, std::string label, const TOVKoggetto& object);
    ~TogBackup() override;
    const TOVKoggetto* Copy() const { return m_copy.get(); }

private:
    std::unique_ptr<TOVKoggetto> m_copy;
};

// A text box: the selection around the step and, in the first stream, the affected
// paragraphs in stored form followed by one 0 byte.
class TboBackup : public TOVKbackup {
public:
    // A missing position (negative parts) is kept as paragraph 0, character 0.
    TboBackup(TOVKset* document, TOVKundoList* list, std::string label, TextPoint startBefore,
              TextPoint endBefore, TextPoint startAfter, TextPoint endAfter, std::string paragraphs);
    TextPoint StartBefore() const { return m_startBefore; }
    TextPoint EndBefore() const { return m_endBefore; }
    TextPoint StartAfter() const { return m_startAfter; }
    TextPoint EndAfter() const { return m_endAfter; }

private:
    TextPoint m_startBefore, m_endBefore, m_startAfter, m_endAfter;
};

// An image whose zones were moved: the path says everything.
class TimBackup : public TOVKbackup {
public:
    TimBackup(TOVKset* document, TOVKundoList* list);
};

// A table whose cells were sized: its record, data block (first stream) and extra block
// (second stream).
class TtaBackup : public TOVKbackup {
public:
    TtaBackup(TOVKset* document, TOVKundoList* list, const TOVKoggetto& table);
    const std::string& RecordBytes() const { return m_record; }

private:
    std::string m_record;
};

} // namespace morvell
