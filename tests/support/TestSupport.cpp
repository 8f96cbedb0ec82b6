#include "support/TestSupport.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace morvell::test {

namespace {
fs::path BaseTemp() {
    const char* t = std::getenv("TMPDIR");
    fs::path base = (t && *t) ? fs::path(t) : fs::temp_directory_path();
    fs::create_directories(base);
    return base;
}
} // namespace

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    fs::path base = BaseTemp();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        fs::path candidate = base / ("morvell-test-" + std::to_string(::getpid()) + "-" +
                                     std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary test folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : m_name(std::move(name)) {
    if (const char* old = std::getenv(m_name.c_str())) m_old = old;
    if (value) ::setenv(m_name.c_str(), value->c_str(), 1);
    else ::unsetenv(m_name.c_str());
}

ScopedEnv::~ScopedEnv() {
    if (m_old) ::setenv(m_name.c_str(), m_old->c_str(), 1);
    else ::unsetenv(m_name.c_str());
}

static std::string Sub(const TempDir& d, const char* name) {
    fs::path p = d.Path() / name;
    fs::create_directories(p);
    return p.string();
}

TempHome::TempHome()
    : m_home("HOME", m_dir.Path().string()), m_config("XDG_CONFIG_HOME", Sub(m_dir, ".config")),
      m_data("XDG_DATA_HOME", Sub(m_dir, ".local/share")), m_cache("XDG_CACHE_HOME", Sub(m_dir, ".cache")),
      m_state("XDG_STATE_HOME", Sub(m_dir, ".local/state")), m_tmp("TMPDIR", Sub(m_dir, "tmp")),
      m_morvellConfig("MORVELL_CONFIG_DIR", std::nullopt), m_desktop("XDG_DESKTOP_DIR", Sub(m_dir, "Desktop")) {}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace morvell::test
