#include "platform/Files.h"

#include "platform/Messages.h"
#include "shell/ShellTexts.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace morvell {

namespace {

std::function<void()>& Pump() {
    static std::function<void()> pump;
    return pump;
}

std::string StripTrailingSeparators(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    return path;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(StripTrailingSeparators(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::string& path) {
    std::string p = StripTrailingSeparators(path);
    if (p.empty()) throw PlatformError(texts::kUnableToCreateDirectory);
    std::error_code ec;
    fs::create_directories(p, ec);
    return FolderExists(p);
}

std::string TempFolder() {
    const char* env = std::getenv("TMPDIR");
    std::string path = (env && *env) ? env : "/tmp";
    path = StripTrailingSeparators(path);
    if (!FolderExists(path)) {
        std::error_code ec;
        fs::create_directories(path, ec);
        if (!FolderExists(path)) {
            std::string text = texts::kNoTempFolder;
            auto pos = text.find("%s");
            if (pos != std::string::npos) text.replace(pos, 2, path);
            Msg().Error(text);
        }
    }
    if (path != "/") path += '/';
    return path;
}

void DeleteTree(const std::string& folder) {
    std::string root = StripTrailingSeparators(folder);
    if (root.empty()) return;
    // remove_all unlinks symbolic links instead of descending into them, and a link given
    // as the folder itself is removed as a link, so nothing outside the tree is touched.
    std::error_code ec;
    fs::remove_all(root, ec); // errors ignored: whatever cannot be deleted stays
}

void DeleteFiles(const std::string& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(StripTrailingSeparators(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code sec;
        // symlink_status: a link to a folder is not followed, a link itself counts as a file
        // only when it is no directory link; plain files are what this clears.
        if (it->symlink_status(sec).type() == fs::file_type::regular) fs::remove(it->path(), sec);
    }
}

bool MaskMatches(const std::string& mask, const std::string& name) {
    // Iterative wildcard match with backtracking to the last "*": linear in practice and
    // no recursion on hostile masks.
    size_t m = 0, n = 0, starM = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || Lower(mask[m]) == Lower(name[n]))) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (starM != std::string::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

std::string FirstFileMatching(const std::string& folder, const std::string& mask) {
    std::string dir = StripTrailingSeparators(folder);
    if (dir.empty()) dir = ".";
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code sec;
        if (!it->is_regular_file(sec)) continue;
        std::string name = it->path().filename().string();
        if (MaskMatches(mask, name)) names.push_back(name);
    }
    if (names.empty()) return {};
    // Directory order is arbitrary on Linux; the smallest name makes the choice repeatable.
    std::string first = *std::min_element(names.begin(), names.end());
    return (fs::path(dir) / first).string();
}

bool CopyFile(const std::string& from, const std::string& to) {
    if (!FileExists(from)) return false;
    std::error_code ec;
    if (fs::equivalent(from, to, ec)) return true;
    return fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec) && !ec;
}

void PumpMessages(int times, int pauseMs) {
    for (int i = 0; i < times; ++i) {
        if (Pump()) Pump()();
        if (pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    }
}

void SetMessagePump(std::function<void()> pump) { Pump() = std::move(pump); }

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
    std::error_code ec;
    const std::filesystem::path target(path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    std::string tmpl = path + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(name.data(), path.c_str()) == 0;
    if (!ok) ::unlink(name.data());
    return ok;
}

} // namespace morvell
