#include "shell/StartupSwitches.h"

#include "shell/StartupTexts.h"

#include <algorithm>

namespace morvell {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

StartupMode ModeOf(const std::string& upper, bool& withoutMenu) {
    withoutMenu = false;
    if (upper == "/INIT" || upper == "--INIT") return StartupMode::Install;
    if (upper == "/INITV" || upper == "--INITV") {
        withoutMenu = true;
        return StartupMode::Install;
    }
    if (upper == "/DEINST" || upper == "--DEINST") return StartupMode::Uninstall;
    if (upper == "/DELETE" || upper == "--DELETE") return StartupMode::DeleteFolder;
    return StartupMode::Normal;
}

} // namespace

std::string UpperCaseAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string LowerCaseAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool IsPageRequest(const std::string& arg) {
    const std::string upper = UpperCaseAscii(arg);
    if (StartsWith(upper, "--PAGE=")) return true;
    if (!StartsWith(upper, "/PAGE")) return false;
    const auto eq = upper.find('=');
    if (eq == std::string::npos) return false;
    // "/pages/a=b.ovk" is a file below a folder "/pages", not a request.
    return upper.find('/', 1) > eq;
}

bool IsSwitch(const std::string& arg) {
    bool withoutMenu = false;
    return ModeOf(UpperCaseAscii(arg), withoutMenu) != StartupMode::Normal || IsPageRequest(arg);
}

std::string PageTarget(const std::string& arg) {
    const auto eq = arg.find('=');
    if (eq == std::string::npos) return {};
    return UpperCaseAscii(arg.substr(eq + 1, kMaxPageTarget));
}

StartupSwitches EvaluateSwitches(const std::vector<std::string>& args) {
    StartupSwitches s;
    if (args.empty()) return s;
    s.mode = ModeOf(UpperCaseAscii(args[0]), s.installWithoutMenu);
    s.brochure = LowerCaseAscii(args[0]) == startup_texts::kBrochureFile;
    return s;
}

std::string CommandLinePath(const std::vector<std::string>& args) {
    std::size_t i = 0;
    while (i < args.size() && !args[i].empty() && IsSwitch(args[i])) ++i;
    std::string path;
    for (; i < args.size() && !args[i].empty() && !IsSwitch(args[i]); ++i) {
        if (!path.empty()) path += ' ';
        path += args[i];
    }
    return path;
}

std::vector<std::string> PageRequests(const std::vector<std::string>& args, const std::string& path) {
    std::vector<std::string> links;
    for (const auto& arg : args)
        if (IsPageRequest(arg))
            links.push_back(std::string(startup_texts::kVoskPrefix) + path + "|" + PageTarget(arg));
    return links;
}

} // namespace morvell
