#pragma once
// The acceptance rule of a downloaded ebook update, kept apart from the report window so it
// can be tested without a display.

#include <string>

namespace morvell {

// A downloaded file is an ebook update when it has at least this many bytes and starts
// with the ebook magic.
inline constexpr std::size_t kMinUpdateBytes = 80;
inline constexpr const char* kEbookMagic = "QELB";

bool IsEbookUpdate(const std::string& target);

// Checks the file `target` that was downloaded from `address` and returns the report line:
// "OK; " + target when accepted; otherwise the target is deleted and the line says that no
// update was found.
std::string CheckDownloadedUpdate(const std::string& target, const std::string& address);

} // namespace morvell
