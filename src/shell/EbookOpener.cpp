#include "shell/EbookOpener.h"

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "shell/StartupTexts.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace morvell {

bool EbookOpener::OpenEbook(const std::string& path) {
    if (!FileExists(path)) {
        Msg().Warning(startup_texts::kFileNotFound + path);
        return false;
    }
    Load(path);
    if (m_fileName != path) return false;
    m_currentFile = path;
    AddRecentDocument(path);
    return true;
}

void EbookOpener::Close() {
    m_container.reset();
    m_file.reset();
    m_fileName.clear();
    m_charSet = "iso-8859-1";
}

void EbookOpener::NewEmpty() { Close(); }

bool EbookOpener::Load(const std::string& path) {
    if (!FileExists(path)) {
        Msg().Warning(path + startup_texts::kNotExists);
        return false;
    }
    Close();
    bool ok = false;
    try {
        auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
        if (*file) {
            m_container = ReadOVKHeader(*file, path);
            if (m_container) {
                m_file = std::move(file);
                ok = true;
            } else {
                std::error_code ec;
                // An empty file is a new ebook that has not been written yet.
                ok = fs::file_size(path, ec) == 0 && !ec;
            }
        }
    } catch (const std::exception&) {
        ok = false; // any read error counts as a failed open, reported below
    }
    if (!ok) {
        Close();
        Msg().Information(startup_texts::kReadError + path);
        return false;
    }
    m_fileName = path;
    return true;
}

std::string EbookOpener::Title() const {
    if (!m_container) return startup_texts::kUntitled;
    std::string title = CodePage::ToUtf8(m_container->header.Title(), m_charSet);
    return title.empty() ? std::string(startup_texts::kUntitled) : title;
}

} // namespace morvell
