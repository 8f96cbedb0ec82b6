#pragma once
// The reader's main window until the full one arrives: it chooses the first ebook at its
// first show, opens it through the same open operation every later open will use, shows
// the ebook's title as its caption and the page requests of the command line in its status
// bar, and keeps its placement and the last ebook in the options store.

#include <QMainWindow>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QSplitter;

namespace morvell {

class TOVKset;
class TOVKpage;
class TOVKorderedTree;
class TOVKundoList;

struct StartupRequest {
    std::vector<std::string> args; // the command line without the program name
    std::string programFolder;
    std::string currentFolder;
    bool brochure = false;
};

class TFirstWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit TFirstWindow(StartupRequest request, QWidget* parent = nullptr);
    ~TFirstWindow() override;

    // Chooses and opens the first ebook. Runs once; the first show of the window calls it
    // (queued, so that boxes appear over a visible window).
    void FirstShow();
    // The open-ebook operation of the window.
    bool OpenEbook(const std::string& path);

    // Shows page `index` of the open ebook in the page view; false when it has no such page.
    bool ShowPage(std::int32_t index);

    // The last ebook opened successfully, saved as "LastFile" at close.
    const std::string& CurrentFile() const { return m_currentFile; }
    TOVKset* Document() const { return m_document.get(); }
    TOVKpage* PageView() const { return m_page; }
    TOVKorderedTree* ChapterTree() const { return m_tree; }
    const QStringList& PageRequests() const { return m_pageRequests; }
    bool Brochure() const { return m_brochure; }

signals:
    void firstShown();
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void PlaceFromOptions();
    void UpdateCaption();
    void ShowDocument(bool opened);
    std::string Title() const;

    StartupRequest m_request;
    std::string m_currentFile;
    QStringList m_pageRequests;
    QLabel* m_cover = nullptr;
    QSplitter* m_splitter = nullptr;
    TOVKorderedTree* m_tree = nullptr;
    TOVKpage* m_page = nullptr;
    std::unique_ptr<TOVKset> m_document;
    std::unique_ptr<TOVKundoList> m_undo;
    bool m_firstShowPending = true;
    bool m_firstShowQueued = false;
    bool m_brochure = false;
};

} // namespace morvell
