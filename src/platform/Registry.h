#pragma once
// A registry-style key store over SQLite: a tree of keys separated by "\", each holding
// named text values. Key paths and value names compare case-insensitively (ASCII), keys
// keep the spelling they were created with. Keys of the current user are stored under
// "HKCU\", machine keys under "HKLM\"; a key given without either prefix belongs to the
// current user, and a leading "\" is optional.
//
// The database is $MORVELL_CONFIG_DIR/registry.sqlite, or $XDG_CONFIG_HOME/morvell/...,
// or ~/.config/morvell/... The location is resolved from the environment on every call,
// so a test that switches homes gets a fresh store. Values are never cached. Every write
// is one transaction taken with BEGIN IMMEDIATE on a WAL database with a busy timeout, so
// two processes writing at the same time both keep all their values.

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace morvell {

class Registry {
public:
    // The store at the location the environment names now.
    static std::filesystem::path DefaultPath();

    // The process-wide store at DefaultPath(); its connection is reopened whenever the
    // location changes (or after fork()).
    static Registry& Current();

    // A store in a given file (tests, tools).
    explicit Registry(std::filesystem::path file);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // "HKCU\A\B" for "\A\\B\", "a\b" ...; "HKLM\..." and "HKEY_LOCAL_MACHINE\..." stay machine.
    static std::string CanonicalKey(const std::string& key);
    static std::string MachineKey(const std::string& key) { return CanonicalKey("HKLM\\" + StripHive(key)); }

    // Opens the key, creating it (and its parents) when missing. False when the store
    // cannot be opened or written.
    bool OpenKey(const std::string& key);
    bool KeyExists(const std::string& key);
    // The value, "" when missing, nullopt when the store cannot be opened. Creates the key.
    std::optional<std::string> Read(const std::string& key, const std::string& name);
    bool Write(const std::string& key, const std::string& name, const std::string& value);
    // Removes one value; true also when there was none.
    bool DeleteValue(const std::string& key, const std::string& name);
    // Removes the key, its values and everything below it.
    bool DeleteKey(const std::string& key);
    std::vector<std::string> SubKeys(const std::string& key);
    std::vector<std::pair<std::string, std::string>> Values(const std::string& key);

    // The last SQLite error text, for diagnostics.
    const std::string& LastError() const { return m_lastError; }

private:
    static std::string StripHive(const std::string& key);
    struct Db;
    static int OpenDatabase(const std::filesystem::path& file, Db& db, std::string& error);
    bool Ensure();
    std::filesystem::path m_file;
    bool m_followEnvironment = false;
    Db* m_db = nullptr;
    // Transfers may read settings from their worker threads.
    std::recursive_mutex m_mutex;
    std::string m_lastError;
};

} // namespace morvell
