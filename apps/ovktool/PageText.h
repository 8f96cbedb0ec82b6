#pragma once
// What the text verbs share: opening an ebook, finding one of its pages and reading the
// page's body text into a text model.

#include "document/TOVKset.h"
#include "text/TextModel.h"

#include <memory>
#include <optional>
#include <string>

namespace ovktool {

struct OpenPage {
    std::unique_ptr<morvell::TOVKset> document;
    morvell::TOVKoggetto* page = nullptr;
    std::string charSet;
};

// Opens `path` and finds page `pageArg` (a decimal index). Failures are reported on stderr
// (the document's own boxes as "Caption: text" lines) and give nullopt with `exitCode` set:
// 2 for an argument that is not an index, 1 for a missing file, a file that does not open or
// a page that does not exist.
std::optional<OpenPage> OpenEbookPage(const std::string& path, const std::string& pageArg, int& exitCode);

// Parses a whole decimal integer; nullopt for anything else.
std::optional<long long> ParseInteger(const std::string& text);

// Keeps Qt's start-up notes (a missing XDG_RUNTIME_DIR and the like) off stderr, which carries
// the document's own boxes for callers to read; only Qt's serious complaints still go out.
void InstallQuietQtMessages();

} // namespace ovktool
