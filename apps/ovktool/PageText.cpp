#include "PageText.h"

#include "document/DocumentTexts.h"
#include "objects/TOVKoggetto.h"
#include "platform/Messages.h"

#include <QString>
#include <QtGlobal>

#include <charconv>
#include <filesystem>
#include <iostream>

namespace ovktool {

std::optional<long long> ParseInteger(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::optional<OpenPage> OpenEbookPage(const std::string& path, const std::string& pageArg, int& exitCode) {
    const std::optional<long long> index = ParseInteger(pageArg);
    if (!index) {
        std::cerr << "ovktool: '" << pageArg << "' is not a page index\n";
        exitCode = 2;
        return std::nullopt;
    }
    exitCode = 1;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        morvell::Msg().Warning(path + morvell::texts::kNotExists);
        return std::nullopt;
    }
    OpenPage open;
    open.document = std::make_unique<morvell::TOVKset>();
    // The document reports why a file does not open in its own boxes.
    if (!open.document->SetOVKFileName(path)) return std::nullopt;
    const int pages = open.document->PageCount();
    morvell::TOVKoggetto* page = nullptr;
    if (*index >= 0 && *index < pages)
        page = open.document->Object(morvell::TOggettiHel::testoHtml, static_cast<std::int32_t>(*index));
    if (!page || page->IsFree()) {
        std::cerr << "ovktool: " << path << " has no page " << *index;
        if (pages > 0)
            std::cerr << " (pages 0 to " << pages - 1 << ")\n";
        else
            std::cerr << " (it has no pages)\n";
        return std::nullopt;
    }
    open.page = page;
    open.charSet = open.document->CharSet();
    exitCode = 0;
    return open;
}

namespace {
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << "Qt: " << message.toStdString() << "\n";
}
} // namespace

void InstallQuietQtMessages() { qInstallMessageHandler(QuietQtMessages); }

} // namespace ovktool
