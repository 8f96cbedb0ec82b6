#pragma once
// Opening an ebook in the main window, until the full document object takes over: the
// file is checked, its header read, and the window learns the file name and the title.
// It keeps the file open while the ebook is shown, as the document will.

#include "document/OVKHeader.h"

#include <fstream>
#include <memory>
#include <optional>
#include <string>

namespace morvell {

class EbookOpener {
public:
    EbookOpener() = default;
    EbookOpener(const EbookOpener&) = delete;
    EbookOpener& operator=(const EbookOpener&) = delete;

    // The main window's open: "File non trovato: " + path for a missing file; otherwise the
    // load below. On success `path` becomes the current file and joins the desktop's recent
    // documents. True on success.
    bool OpenEbook(const std::string& path);

    // Loading a file into the document. A missing file: warning path + " non esiste", nothing
    // changes. A zero-length file is a new, empty ebook with that file name. A rejected header
    // or a read error: the header's own boxes, a new empty document and the information box
    // "Errore nella lettura file: " + path. True when `path` is the file name afterwards.
    bool Load(const std::string& path);
    // A new empty document: no file name, title "Senza titolo".
    void NewEmpty();

    // File name of the document ("" for a new one).
    const std::string& FileName() const { return m_fileName; }
    // The last file opened successfully through OpenEbook, saved as "LastFile" at exit.
    const std::string& CurrentFile() const { return m_currentFile; }
    // The header of the open ebook, when one is open.
    const std::optional<OVKContainer>& Container() const { return m_container; }
    // The ebook's title in UTF-8; "Senza titolo" for a new or untitled document.
    std::string Title() const;
    // Code page of the ebook's text.
    std::string CharSet() const { return m_charSet; }

private:
    void Close();

    std::string m_fileName;
    std::string m_currentFile;
    std::string m_charSet = "iso-8859-1";
    std::optional<OVKContainer> m_container;
    std::unique_ptr<std::ifstream> m_file;
};

} // namespace morvell
