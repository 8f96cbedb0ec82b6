#pragma once
// Shared fixtures of the test suites.

#include <filesystem>
#include <optional>
#include <string>

namespace morvell::test {

// A fresh folder below $TMPDIR, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Sets (or, with nullopt, unsets) an environment variable and restores it at scope end.
class ScopedEnv {
public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// A temporary home: HOME, the XDG folders, TMPDIR and MORVELL_CONFIG_DIR all point inside it,
// so code that touches the desktop (options store, launchers, MIME types) stays in the test.
class TempHome {
public:
    TempHome();
    const std::filesystem::path& Path() const { return m_dir.Path(); }

private:
    TempDir m_dir;
    ScopedEnv m_home, m_config, m_data, m_cache, m_state, m_tmp, m_morvellConfig, m_desktop;
};

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

} // namespace morvell::test
