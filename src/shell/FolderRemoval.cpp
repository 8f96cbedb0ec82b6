#include "shell/FolderRemoval.h"

#include "platform/Files.h"
#include "platform/Messages.h"
#include "shell/StartupTexts.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace morvell {

namespace {

// Folders the system cannot do without; refused themselves and as anything that holds them.
constexpr const char* kSystemFolders[] = {
    "/bin",
    "/boot",
    "/dev",
    "/etc",
    "/home",
    "/lib",
    "/lib32",
    "/lib64",
    "/libx32",
    "/media",
    "/mnt",
    "/opt",
    "/proc",
    "/root",
    "/run",
    "/sbin",
    "/snap",
    "/srv",
    "/sys",
    "/tmp",
    "/usr",
    "/usr/bin",
    "/usr/games",
    "/usr/include",
    "/usr/lib",
    "/usr/lib32",
    "/usr/lib64",
    "/usr/libexec",
    "/usr/local",
    "/usr/local/bin",
    "/usr/local/lib",
    "/usr/local/sbin",
    "/usr/local/share",
    "/usr/sbin",
    "/usr/share",
    "/usr/src",
    "/var",
    "/var/lib",
    "/var/tmp",
};

fs::path Resolved(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::path(path), ec);
    if (ec) p = fs::path(path).lexically_normal();
    std::string s = p.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return fs::path(s);
}

// True when `folder` is `guarded` or one of its parents.
bool HoldsOrIs(const fs::path& folder, const fs::path& guarded) {
    auto f = folder.begin(), g = guarded.begin();
    for (; f != folder.end(); ++f, ++g)
        if (g == guarded.end() || *f != *g) return false;
    return true;
}

std::vector<fs::path> GuardedFolders() {
    std::vector<fs::path> guarded;
    for (const char* s : kSystemFolders) guarded.push_back(Resolved(s));
    for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                            "XDG_DESKTOP_DIR", "TMPDIR"}) {
        const char* v = std::getenv(var);
        if (v && *v == '/') guarded.push_back(Resolved(v));
    }
    if (const char* home = std::getenv("HOME"); home && *home == '/') {
        // The user's own folders, and ~/.local/opt, which holds every per-user program
        // folder the way "Program Files" does.
        for (const char* sub :
             {".config", ".local", ".local/share", ".local/bin", ".local/opt", ".cache", "bin", "Desktop",
              "Documents", "Downloads", "Music", "Pictures", "Public", "Templates", "Videos"})
            guarded.push_back(Resolved(std::string(home) + "/" + sub));
    }
    return guarded;
}

} // namespace

std::string FolderRemovalRefusal(const std::string& folder) {
    if (folder.empty() || folder[0] != '/') return "not an absolute path";
    const fs::path resolved = Resolved(folder);
    if (resolved == fs::path("/")) return "the root folder";
    for (const auto& guarded : GuardedFolders())
        if (HoldsOrIs(resolved, guarded)) return "holds " + guarded.string();
    if (!FolderExists(resolved.string())) return "not a folder";
    return {};
}

bool RemoveFolder(const std::vector<std::string>& args, const std::function<void(int)>& sleepMs) {
    // Give the uninstalling process that started us time to end and let go of its files.
    if (sleepMs)
        sleepMs(500);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    if (args.size() < 2 || !IsRemovableFolder(args[1])) return false;
    if (!Msg().Question(startup_texts::kAskDeleteFolder + args[1] + startup_texts::kAskDeleteFolderEnd))
        return false;
    // The second pass takes what a file still open during the first one left behind.
    DeleteTree(args[1]);
    DeleteTree(args[1]);
    return !FolderExists(args[1]);
}

} // namespace morvell
