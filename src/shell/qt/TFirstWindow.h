#pragma once
// The reader's main window until the full one arrives: it chooses the first ebook at its
// first show, opens it through the same open operation every later open will use, shows
// the ebook's title as its caption and the page requests of the command line in its status
// bar, and keeps its placement and the last ebook in the options store.

#include "shell/EbookOpener.h"

#include <QMainWindow>
#include <QStringList>

class QLabel;

#include <string>
#include <vector>

namespace morvell {

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

    // Chooses and opens the first ebook. Runs once; the first show of the window calls it
    // (queued, so that boxes appear over a visible window).
    void FirstShow();
    // The open-ebook operation of the window.
    bool OpenEbook(const std::string& path);

    EbookOpener& Opener() { return m_opener; }
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

    StartupRequest m_request;
    EbookOpener m_opener;
    QStringList m_pageRequests;
    QLabel* m_cover = nullptr;
    bool m_firstShowPending = true;
    bool m_firstShowQueued = false;
    bool m_brochure = false;
};

} // namespace morvell
