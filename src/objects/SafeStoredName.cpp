#include "objects/SafeStoredName.h"

#include "objects/AttributeText.h"

#include <array>

namespace morvell {

std::string FileNamePart(std::string_view path) {
    auto cut = path.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string ExtensionOf(std::string_view path) {
    std::string name = FileNamePart(path);
    auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return {};
    return name.substr(dot);
}

namespace {

bool IsDeviceName(std::string_view name) {
    std::string stem = LowerAscii(name.substr(0, name.find('.')));
    while (!stem.empty() && (stem.back() == ' ')) stem.pop_back();
    static constexpr std::array<std::string_view, 7> kFixed = {"con",    "prn",    "aux",    "nul",
                                                               "clock$", "conin$", "conout$"};
    for (auto d : kFixed)
        if (stem == d) return true;
    if (stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) && stem[3] >= '0' &&
        stem[3] <= '9')
        return true;
    return false;
}

} // namespace

std::string SafeStoredName(std::string_view stored) {
    std::string name;
    for (char c : FileNamePart(stored)) {
        auto u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127) continue;
        name += c;
    }
    // "X:name" is a drive-relative name on the system that wrote the ebook.
    if (name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= 'A' && name[0] <= 'Z')))
        name.erase(0, 2);
    // Names made only of dots and spaces ("..", ". .") are folders or nothing.
    if (name.find_first_not_of(". ") == std::string::npos) name.clear();
    if (name.empty()) return "file";
    if (IsDeviceName(name)) name.insert(0, "_");
    constexpr std::size_t kMaxName = 255;
    if (name.size() > kMaxName) {
        std::string ext = ExtensionOf(name);
        if (ext.size() > 16) ext.clear();
        name = name.substr(0, kMaxName - ext.size()) + ext;
    }
    return name;
}

} // namespace morvell
