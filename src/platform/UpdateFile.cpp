#include "platform/UpdateFile.h"

#include "shell/ShellTexts.h"

#include <cstring>
#include <fstream>
#include <unistd.h>

namespace morvell {

bool IsEbookUpdate(const std::string& target) {
    std::ifstream in(target, std::ios::binary | std::ios::ate);
    if (!in) return false;
    auto size = static_cast<long long>(in.tellg());
    if (size < static_cast<long long>(kMinUpdateBytes)) return false;
    in.seekg(0);
    char magic[4] = {};
    if (!in.read(magic, sizeof magic)) return false;
    return std::memcmp(magic, kEbookMagic, sizeof magic) == 0;
}

std::string CheckDownloadedUpdate(const std::string& target, const std::string& address) {
    if (IsEbookUpdate(target)) return texts::kUpdateOk + target;
    // Whatever came instead (an error page, a partial file) must not pass for the ebook.
    ::unlink(target.c_str());
    return texts::kNoUpdate + address + texts::kNoUpdateEnd;
}

} // namespace morvell
