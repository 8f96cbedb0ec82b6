#pragma once
// The reader's command line: the installer switches, the ebook path (possibly several
// unquoted words) and the page requests.
//
// The switches were born on a system where "/" introduces an option; here "/" also starts
// every absolute path. So an argument is a switch only when it is exactly one of the known
// words ("/INIT", "/INITV", "/DEINST", "/DELETE", any case, or their GNU spellings "--init",
// "--initv", "--deinst", "--delete"), or a page request: "/PAGE…=target" with no further "/"
// before the "=", or "--page=target". Anything else, "/home/a/b.ovk" or "/initrd/x.ovk"
// included, is a path.

#include <string>
#include <vector>

namespace morvell {

enum class StartupMode { Normal, Install, Uninstall, DeleteFolder };

struct StartupSwitches {
    StartupMode mode = StartupMode::Normal;
    // "/INITV": install without the menu entries.
    bool installWithoutMenu = false;
    // Argument 1 is "brochure.ovk": the web address in the status bar stays empty.
    bool brochure = false;
};

// The longest page target a request may carry.
inline constexpr std::size_t kMaxPageTarget = 127;

// `args` are the command-line arguments without the program name. Only the first one is
// examined.
StartupSwitches EvaluateSwitches(const std::vector<std::string>& args);

bool IsPageRequest(const std::string& arg);
// One of the installer switches, or a page request.
bool IsSwitch(const std::string& arg);
// The upper-cased text after the first "=" of a page request, cut to kMaxPageTarget.
std::string PageTarget(const std::string& arg);

// The ebook path: leading switches are skipped, then every argument up to the first empty
// one or the next switch, joined with single blanks. Empty when there is none.
std::string CommandLinePath(const std::vector<std::string>& args);

// "vosk://" + path + "|" + target for every page request among `args`, in order.
std::vector<std::string> PageRequests(const std::vector<std::string>& args, const std::string& path);

std::string UpperCaseAscii(std::string text);
std::string LowerCaseAscii(std::string text);

} // namespace morvell
