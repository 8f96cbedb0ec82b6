#include "platform/Shell.h"

#include "platform/Files.h"
#include "platform/Messages.h"
#include "shell/ShellTexts.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace morvell {

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string Home() {
    std::string h = Env("HOME");
    return h.empty() ? "/tmp" : h;
}

std::string XdgBase(const char* variable, const char* fallbackBelowHome) {
    std::string v = Env(variable);
    if (!v.empty() && v[0] == '/') return v;
    return Home() + "/" + fallbackBelowHome;
}

std::string StripTrailingSlash(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

// A user directory: the environment first (XDG_DESKTOP_DIR ...), then user-dirs.dirs of
// xdg-user-dirs, whose lines read XDG_DESKTOP_DIR="$HOME/Desktop", then the default.
std::string UserDir(const std::string& variable, const std::string& fallback) {
    std::string v = Env(variable.c_str());
    if (!v.empty() && v[0] == '/') return StripTrailingSlash(v);
    std::ifstream in(XdgBase("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        if (line.compare(start, variable.size() + 1, variable + "=") != 0) continue;
        std::string value = line.substr(start + variable.size() + 1);
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = Home() + value.substr(5);
        if (!value.empty() && value[0] == '/') return StripTrailingSlash(value);
    }
    return Home() + "/" + fallback;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string BaseName(const std::string& name) {
    auto pos = name.find_last_of("/\\");
    return pos == std::string::npos ? name : name.substr(pos + 1);
}

// The extension with its dot, lower case; "" when the name has none.
std::string Extension(const std::string& name) {
    std::string base = BaseName(name);
    auto dot = base.rfind('.');
    if (dot == std::string::npos || dot + 1 == base.size()) return {};
    std::string ext = base.substr(dot);
    for (char& c : ext) c = Lower(c);
    return ext;
}

struct TypeInfo {
    const char* mime;
    const char* icon; // an icon every freedesktop theme carries
};

const std::map<std::string, TypeInfo>& TypeTable() {
    static const std::map<std::string, TypeInfo> table = {
        {".ovk", {"application/x-ovk", "x-office-document"}},
        {".txt", {"text/plain", "text-x-generic"}},
        {".rem", {"text/plain", "text-x-generic"}},
        {".ini", {"text/plain", "text-x-generic"}},
        {".log", {"text/plain", "text-x-generic"}},
        {".csv", {"text/csv", "x-office-spreadsheet"}},
        {".htm", {"text/html", "text-html"}},
        {".html", {"text/html", "text-html"}},
        {".xml", {"application/xml", "text-html"}},
        {".rtf", {"application/rtf", "x-office-document"}},
        {".pdf", {"application/pdf", "x-office-document"}},
        {".doc", {"application/msword", "x-office-document"}},
        {".docx",
         {"application/vnd.openxmlformats-officedocument.wordprocessingml.document", "x-office-document"}},
        {".odt", {"application/vnd.oasis.opendocument.text", "x-office-document"}},
        {".xls", {"application/vnd.ms-excel", "x-office-spreadsheet"}},
        {".xlsx",
         {"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", "x-office-spreadsheet"}},
        {".ods", {"application/vnd.oasis.opendocument.spreadsheet", "x-office-spreadsheet"}},
        {".ppt", {"application/vnd.ms-powerpoint", "x-office-presentation"}},
        {".pps", {"application/vnd.ms-powerpoint", "x-office-presentation"}},
        {".pptx",
         {"application/vnd.openxmlformats-officedocument.presentationml.presentation",
          "x-office-presentation"}},
        {".odp", {"application/vnd.oasis.opendocument.presentation", "x-office-presentation"}},
        {".jpg", {"image/jpeg", "image-x-generic"}},
        {".jpeg", {"image/jpeg", "image-x-generic"}},
        {".gif", {"image/gif", "image-x-generic"}},
        {".png", {"image/png", "image-x-generic"}},
        {".bmp", {"image/bmp", "image-x-generic"}},
        {".ico", {"image/vnd.microsoft.icon", "image-x-generic"}},
        {".tif", {"image/tiff", "image-x-generic"}},
        {".tiff", {"image/tiff", "image-x-generic"}},
        {".svg", {"image/svg+xml", "image-x-generic"}},
        {".mp3", {"audio/mpeg", "audio-x-generic"}},
        {".wav", {"audio/x-wav", "audio-x-generic"}},
        {".mid", {"audio/midi", "audio-x-generic"}},
        {".midi", {"audio/midi", "audio-x-generic"}},
        {".ogg", {"audio/ogg", "audio-x-generic"}},
        {".wma", {"audio/x-ms-wma", "audio-x-generic"}},
        {".avi", {"video/x-msvideo", "video-x-generic"}},
        {".mpg", {"video/mpeg", "video-x-generic"}},
        {".mpeg", {"video/mpeg", "video-x-generic"}},
        {".mp4", {"video/mp4", "video-x-generic"}},
        {".mov", {"video/quicktime", "video-x-generic"}},
        {".wmv", {"video/x-ms-wmv", "video-x-generic"}},
        {".swf", {"application/x-shockwave-flash", "video-x-generic"}},
        {".zip", {"application/zip", "package-x-generic"}},
        {".rar", {"application/vnd.rar", "package-x-generic"}},
        {".7z", {"application/x-7z-compressed", "package-x-generic"}},
        {".gz", {"application/gzip", "package-x-generic"}},
        {".tar", {"application/x-tar", "package-x-generic"}},
        {".ttf", {"font/ttf", "font-x-generic"}},
        {".otf", {"font/otf", "font-x-generic"}},
        {".sh", {"application/x-shellscript", "text-x-script"}},
        {".bat", {"application/x-bat", "text-x-script"}},
        {".js", {"text/javascript", "text-x-script"}},
        {".com", {"application/x-msdos-program", kExecutableIcon}},
        {".msi", {"application/x-msi", kExecutableIcon}},
    };
    return table;
}

std::mutex g_iconMutex;
std::map<std::string, std::string> g_iconCache;

std::mutex g_openerMutex;
ShellOpener g_opener;

// "http://...", "mailto:...": a scheme of two or more characters (so "C:\x" is no address).
bool IsAddress(const std::string& s) {
    size_t colon = s.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (!alpha(s[0])) return false;
    for (size_t i = 1; i < colon; ++i) {
        char c = s[i];
        if (!alpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

// How long to wait for xdg-open's verdict. Most desktops answer at once; in the generic
// fallback xdg-open runs the viewer in the foreground, and then its still running is success.
constexpr auto kOpenVerdictWait = std::chrono::seconds(4);

int XdgOpen(const std::string& file) {
    if (file.empty()) return kShellNotFound;
    std::string arg = file;
    if (!IsAddress(file)) {
        struct stat st {};
        if (::stat(file.c_str(), &st) != 0) return errno == EACCES ? kShellAccessDenied : kShellNotFound;
        if (::access(file.c_str(), R_OK) != 0) return kShellAccessDenied;
        // xdg-open would read a name starting with "-" as an option.
        if (arg[0] == '-') arg = "./" + arg;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    char program[] = "xdg-open";
    char* argv[] = {program, arg.data(), nullptr};
    pid_t pid = 0;
    int rc = ::posix_spawnp(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return kShellNoViewer;

    auto deadline = std::chrono::steady_clock::now() + kOpenVerdictWait;
    while (true) {
        int status = 0;
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (!WIFEXITED(status)) return kShellNoViewer;
            switch (WEXITSTATUS(status)) {
            case 0:
                return kShellOk;
            case 2:
                return kShellNotFound;
            case 5:
                return kShellAccessDenied;
            default:
                return kShellNoViewer; // 1 syntax, 3 no tool, 4 action failed
            }
        }
        if (done < 0 && errno != EINTR) return kShellOk;
        if (std::chrono::steady_clock::now() >= deadline) {
            // Still running: the viewer is up. Reap it later so no zombie stays behind.
            std::thread([pid] {
                int status = 0;
                while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
                }
            }).detach();
            return kShellOk;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Desktop-entry Exec quoting: an argument with a reserved character goes in double quotes,
// where '"', '`', '$' and '\' take a backslash.
std::string QuoteExecArgument(const std::string& arg) {
    static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    bool needs = arg.empty() || arg.find_first_of(reserved) != std::string::npos;
    if (!needs) return arg;
    std::string out = "\"";
    for (char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

// A launcher file name that stays inside its folder.
std::string SafeLauncherName(const std::string& name) {
    std::string out;
    for (char c : name) out += (c == '/' || c == '\0' || c == '\n' || c == '\r') ? '_' : c;
    if (out.empty() || out == "." || out == "..") out = "launcher";
    return out;
}

} // namespace

std::string ShellFolder(int number) {
    switch (number) {
    case 1:
    case 2:
        return UserDir("XDG_DESKTOP_DIR", "Desktop");
    case 3:
        return XdgBase("XDG_DATA_HOME", ".local/share") + "/nautilus/scripts";
    case 4:
    case 7:
        return XdgBase("XDG_DATA_HOME", ".local/share") + "/applications";
    case 5:
        return UserDir("XDG_DOCUMENTS_DIR", "Documents");
    case 6:
        return XdgBase("XDG_CONFIG_HOME", ".config") + "/autostart";
    case 8:
        return XdgBase("XDG_DATA_HOME", ".local/share") + "/morvell/favourites";
    case 9:
        return Home() + "/.local/opt";
    default:
        return {};
    }
}

std::string DesktopEntryEscape(const std::string& value) {
    std::string out;
    for (char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string DesktopExecLine(const std::vector<std::string>& argv) {
    std::string line;
    for (size_t i = 0; i < argv.size(); ++i) {
        if (i) line += ' ';
        line += QuoteExecArgument(argv[i]);
    }
    // A literal "%" would start a field code.
    std::string fields;
    for (char c : line) {
        if (c == '%') fields += '%';
        fields += c;
    }
    return DesktopEntryEscape(fields);
}

std::string CreateShortcut(const std::string& folder, const std::string& name,
                           const std::vector<std::string>& argv, const std::string& icon) {
    if (folder.empty() || argv.empty()) return {};
    if (!CreateFolder(folder)) return {};
    fs::path target = fs::path(folder) / (SafeLauncherName(name) + ".desktop");
    std::string body = "[Desktop Entry]\nType=Application\nVersion=1.0\nName=" + DesktopEntryEscape(name) +
                       "\nExec=" + DesktopExecLine(argv) + "\n";
    if (!icon.empty()) body += "Icon=" + DesktopEntryEscape(icon) + "\n";
    body += "Terminal=false\n";
    fs::path tmp = target;
    tmp += ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << body;
        if (!out.flush()) return {};
    }
    std::error_code ec;
    fs::rename(tmp, target, ec);
    if (ec) {
        fs::remove(tmp, ec);
        return {};
    }
    // Desktops only start launchers on the desktop that are executable (trusted).
    fs::permissions(target, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, ec);
    return target.string();
}

std::string CreateShortcut(int shellFolder, const std::string& name, const std::vector<std::string>& argv,
                           const std::string& icon) {
    return CreateShortcut(ShellFolder(shellFolder), name, argv, icon);
}

std::string MimeTypeOfName(const std::string& name) {
    auto it = TypeTable().find(Extension(name));
    return it == TypeTable().end() ? std::string() : it->second.mime;
}

std::string FileTypeIcon(const std::string& name) {
    std::string ext = Extension(name);
    if (ext.empty() || ext == ".exe") return kExecutableIcon;
    std::lock_guard lock(g_iconMutex);
    auto cached = g_iconCache.find(ext);
    if (cached != g_iconCache.end()) return cached->second;
    auto it = TypeTable().find(ext);
    std::string icon = it == TypeTable().end() ? kGenericFileIcon : it->second.icon;
    g_iconCache.emplace(ext, icon);
    return icon;
}

void ResetFileTypeIcons() {
    std::lock_guard lock(g_iconMutex);
    g_iconCache.clear();
}

int ShellOpen(const std::string& operation, const std::string& file) {
    ShellOpener opener;
    {
        std::lock_guard lock(g_openerMutex);
        opener = g_opener;
    }
    if (opener) return opener(operation, file);
    return XdgOpen(file);
}

void SetShellOpener(ShellOpener opener) {
    std::lock_guard lock(g_openerMutex);
    g_opener = std::move(opener);
}

std::string ShellErrorText(int code, const std::string& file) {
    std::string name = BaseName(file);
    switch (code) {
    case 2:
    case 3:
        return texts::kShellOpenError + name;
    case 5:
        return texts::kShellAccessDenied + name;
    case 8:
    case 11:
    case 26:
    case 28:
    case 29:
    case 30:
    case 32:
        return std::to_string(code) + texts::kShellErrorOn + name;
    case 27:
    case 31:
        return texts::kShellNoViewer + name;
    default:
        return {};
    }
}

void ReportShellError(int code, const std::string& file) {
    std::string text = ShellErrorText(code, file);
    if (!text.empty()) Msg().Error(text);
}

} // namespace morvell
