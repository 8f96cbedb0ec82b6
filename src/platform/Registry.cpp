#include "platform/Registry.h"

#include <sqlite3.h>

#include <cstdlib>
#include <memory>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace morvell {

namespace {

constexpr const char* kUserHive = "HKCU";
constexpr const char* kMachineHive = "HKLM";
constexpr int kBusyTimeoutMs = 10000;

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (AsciiUpper(s[i]) != AsciiUpper(prefix[i])) return false;
    return true;
}

// Splits a key path on "\" and drops empty components, so "\A\\B\" and "A\B" are one key.
std::vector<std::string> Components(const std::string& key) {
    std::vector<std::string> out;
    std::string part;
    for (char c : key) {
        if (c == '\\') {
            if (!part.empty()) out.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) out.push_back(part);
    return out;
}

std::string Join(const std::vector<std::string>& parts, size_t count) {
    std::string out;
    for (size_t i = 0; i < count && i < parts.size(); ++i) {
        if (i) out += '\\';
        out += parts[i];
    }
    return out;
}

std::string ParentOf(const std::string& canonical) {
    auto pos = canonical.rfind('\\');
    return pos == std::string::npos ? std::string() : canonical.substr(0, pos);
}

std::string LeafOf(const std::string& canonical) {
    auto pos = canonical.rfind('\\');
    return pos == std::string::npos ? canonical : canonical.substr(pos + 1);
}

// One prepared statement, finalized on scope exit.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { m_rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool Ok() const { return m_rc == SQLITE_OK && m_stmt; }
    Statement& Bind(int index, const std::string& text) {
        sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    int Step() { return sqlite3_step(m_stmt); }
    std::string Column(int index) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, index));
        int n = sqlite3_column_bytes(m_stmt, index);
        return text ? std::string(text, static_cast<size_t>(n)) : std::string();
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_rc = SQLITE_ERROR;
};

} // namespace

struct Registry::Db {
    sqlite3* handle = nullptr;
    fs::path file;
    pid_t pid = 0;
    ~Db() { sqlite3_close_v2(handle); }
};

namespace {
// Runs `body` inside BEGIN IMMEDIATE ... COMMIT; rolls back when it fails. BEGIN IMMEDIATE
// takes the write lock up front, so a concurrent writer waits on the busy timeout instead of
// failing halfway through with SQLITE_BUSY on lock upgrade.
template <typename Body> bool InTransaction(sqlite3* db, std::string& error, Body body) {
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        return false;
    }
    if (!body()) {
        error = sqlite3_errmsg(db);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

bool Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Inserts the key and every missing parent.
bool CreateKeyRows(sqlite3* db, const std::string& canonical) {
    auto parts = Components(canonical);
    for (size_t n = 1; n <= parts.size(); ++n) {
        std::string path = Join(parts, n);
        Statement st(db, "INSERT OR IGNORE INTO keys(path, parent, name) VALUES(?1, ?2, ?3)");
        if (!st.Ok()) return false;
        st.Bind(1, path).Bind(2, ParentOf(path)).Bind(3, LeafOf(path));
        if (st.Step() != SQLITE_DONE) return false;
    }
    return true;
}
} // namespace

// Opens the database file and makes sure the tables exist. Returns the SQLite code of the
// first step that failed.
int Registry::OpenDatabase(const fs::path& file, Db& db, std::string& error) {
    db.file = file;
    db.pid = ::getpid();
    int rc = sqlite3_open_v2(file.c_str(), &db.handle,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        error = db.handle ? sqlite3_errmsg(db.handle) : "cannot open the key store";
        return rc;
    }
    sqlite3_busy_timeout(db.handle, kBusyTimeoutMs);
    // WAL lets readers go on while another process writes; synchronous=FULL makes every
    // committed setting survive a power cut, and writes are rare enough to pay for it.
    for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL"}) {
        rc = sqlite3_exec(db.handle, pragma, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            error = sqlite3_errmsg(db.handle);
            return rc;
        }
    }
    bool ok = InTransaction(db.handle, error, [&] {
        return Exec(db.handle, "CREATE TABLE IF NOT EXISTS keys("
                               "path TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,"
                               "parent TEXT NOT NULL COLLATE NOCASE,"
                               "name TEXT NOT NULL)") &&
               Exec(db.handle, "CREATE INDEX IF NOT EXISTS keys_parent ON keys(parent)") &&
               Exec(db.handle, "CREATE TABLE IF NOT EXISTS keyvalues("
                               "key TEXT NOT NULL COLLATE NOCASE,"
                               "name TEXT NOT NULL COLLATE NOCASE,"
                               "value TEXT NOT NULL,"
                               "PRIMARY KEY(key, name))");
    });
    return ok ? SQLITE_OK
              : (sqlite3_errcode(db.handle) == SQLITE_OK ? SQLITE_ERROR : sqlite3_errcode(db.handle));
}

fs::path Registry::DefaultPath() {
    const char* dir = std::getenv("MORVELL_CONFIG_DIR");
    if (dir && *dir) return fs::path(dir) / "registry.sqlite";
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg && xdg[0] == '/') return fs::path(xdg) / "morvell" / "registry.sqlite";
    const char* home = std::getenv("HOME");
    fs::path base = (home && *home) ? fs::path(home) : fs::path("/tmp");
    return base / ".config" / "morvell" / "registry.sqlite";
}

Registry& Registry::Current() {
    static Registry current{fs::path()};
    current.m_followEnvironment = true;
    return current;
}

Registry::Registry(fs::path file) : m_file(std::move(file)) {}

Registry::~Registry() { delete m_db; }

std::string Registry::StripHive(const std::string& key) {
    std::string k = key;
    while (!k.empty() && k.front() == '\\') k.erase(0, 1);
    for (const char* prefix : {"HKEY_CURRENT_USER\\", "HKEY_LOCAL_MACHINE\\", "HKCU\\", "HKLM\\"}) {
        if (StartsWithNoCase(k, prefix)) return k.substr(std::char_traits<char>::length(prefix));
    }
    for (const char* whole : {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKCU", "HKLM"}) {
        if (k.size() == std::char_traits<char>::length(whole) && StartsWithNoCase(k, whole)) return {};
    }
    return k;
}

std::string Registry::CanonicalKey(const std::string& key) {
    std::string k = key;
    while (!k.empty() && k.front() == '\\') k.erase(0, 1);
    bool machine = StartsWithNoCase(k, "HKLM\\") || StartsWithNoCase(k, "HKEY_LOCAL_MACHINE\\") ||
                   (StartsWithNoCase(k, "HKLM") && k.size() == 4) ||
                   (StartsWithNoCase(k, "HKEY_LOCAL_MACHINE") && k.size() == 18);
    std::string rest = Join(Components(StripHive(k)), static_cast<size_t>(-1));
    std::string hive = machine ? kMachineHive : kUserHive;
    return rest.empty() ? hive : hive + "\\" + rest;
}

// Opens (or reopens) the connection for the location in force. The connection is dropped
// when the environment names another file and after fork(), where SQLite connections must
// not be shared with the parent.
bool Registry::Ensure() {
    fs::path want = m_followEnvironment ? DefaultPath() : m_file;
    if (m_db && m_db->file == want && m_db->pid == ::getpid()) return true;
    if (m_db && m_db->pid != ::getpid()) {
        // Inherited from the parent process: leak the handle rather than closing a
        // connection whose locks and file descriptors belong to the parent.
        m_db->handle = nullptr;
    }
    delete m_db;
    m_db = nullptr;

    std::error_code ec;
    if (want.has_parent_path()) fs::create_directories(want.parent_path(), ec);
    auto db = std::make_unique<Db>();
    int rc = OpenDatabase(want, *db, m_lastError);
    if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT) {
        // A damaged store would make every later write vanish. Keep it aside for whoever
        // wants to look at it and start a fresh one.
        db = std::make_unique<Db>();
        for (const char* suffix : {"", "-wal", "-shm"}) {
            fs::path from = want.string() + suffix;
            if (fs::exists(from, ec)) fs::rename(from, want.string() + ".damaged" + suffix, ec);
        }
        rc = OpenDatabase(want, *db, m_lastError);
    }
    if (rc != SQLITE_OK) return false;
    m_db = db.release();
    return true;
}

bool Registry::OpenKey(const std::string& key) {
    std::lock_guard lock(m_mutex);
    if (!Ensure()) return false;
    std::string k = CanonicalKey(key);
    if (KeyExists(k)) return true;
    return InTransaction(m_db->handle, m_lastError, [&] { return CreateKeyRows(m_db->handle, k); });
}

bool Registry::KeyExists(const std::string& key) {
    std::lock_guard lock(m_mutex);
    if (!Ensure()) return false;
    Statement st(m_db->handle, "SELECT 1 FROM keys WHERE path = ?1");
    if (!st.Ok()) return false;
    st.Bind(1, CanonicalKey(key));
    return st.Step() == SQLITE_ROW;
}

std::optional<std::string> Registry::Read(const std::string& key, const std::string& name) {
    std::lock_guard lock(m_mutex);
    if (!Ensure()) return std::nullopt;
    const std::string k = CanonicalKey(key);
    {
        Statement st(m_db->handle, "SELECT value FROM keyvalues WHERE key = ?1 AND name = ?2");
        if (!st.Ok()) {
            m_lastError = sqlite3_errmsg(m_db->handle);
            return std::nullopt;
        }
        st.Bind(1, k).Bind(2, name);
        int rc = st.Step();
        if (rc == SQLITE_ROW) return st.Column(0);
        if (rc != SQLITE_DONE) {
            m_lastError = sqlite3_errmsg(m_db->handle);
            return std::nullopt;
        }
    }
    // No such value: the key is still created, the way opening a key does.
    if (!OpenKey(k)) return std::nullopt;
    return std::string();
}

bool Registry::Write(const std::string& key, const std::string& name, const std::string& value) {
    std::lock_guard lock(m_mutex);
    if (!Ensure()) return false;
    std::string k = CanonicalKey(key);
    return InTransaction(m_db->handle, m_lastError, [&] {
        if (!CreateKeyRows(m_db->handle, k)) return false;
        Statement st(m_db->handle, "INSERT INTO keyvalues(key, name, value) VALUES(?1, ?2, ?3) "
                                   "ON CONFLICT(key, name) DO UPDATE SET value = excluded.value");
        if (!st.Ok()) return false;
        st.Bind(1, k).Bind(2, name).Bind(3, value);
        return st.Step() == SQLITE_DONE;
    });
}

bool Registry::DeleteValue(const std::string& key, const std::string& name) {
    std::lock_guard lock(m_mutex);
    if (!Ensure()) return false;
    std::string k = CanonicalKey(key);
    return InTransaction(m_db->handle, m_lastError, [&] {
        Statement st(m_db->handle, "DELETE FROM keyvalues WHERE key = ?1 AND name = ?2");
        if (!st.Ok()) return false;
        st.Bind(1, k).Bind(2, name);
        return st.Step() == SQLITE_DONE;
    });
}

bool Registry::DeleteKey(const std::string& key) {
    std::lock_guard lock(m_mutex);
    if (!Ensure()) return false;
    std::string k = CanonicalKey(key);
    // A hive itself is never deleted: that would wipe every setting at once.
    if (k == kUserHive || k == kMachineHive) return false;
    std::string below = k + "\\";
    return InTransaction(m_db->handle, m_lastError, [&] {
        // substr compares with the column's NOCASE collation on the left-hand side; the
        // prefix form avoids LIKE, whose "_" and "%" would match inside key names.
        Statement values(m_db->handle, "DELETE FROM keyvalues WHERE key = ?1 OR "
                                       "substr(key, 1, length(?2)) = ?2 COLLATE NOCASE");
        Statement keys(m_db->handle, "DELETE FROM keys WHERE path = ?1 OR "
                                     "substr(path, 1, length(?2)) = ?2 COLLATE NOCASE");
        if (!values.Ok() || !keys.Ok()) return false;
        values.Bind(1, k).Bind(2, below);
        keys.Bind(1, k).Bind(2, below);
        return values.Step() == SQLITE_DONE && keys.Step() == SQLITE_DONE;
    });
}

std::vector<std::string> Registry::SubKeys(const std::string& key) {
    std::lock_guard lock(m_mutex);
    std::vector<std::string> out;
    if (!OpenKey(key)) return out;
    Statement st(m_db->handle, "SELECT name FROM keys WHERE parent = ?1 ORDER BY name COLLATE NOCASE");
    if (!st.Ok()) return out;
    st.Bind(1, CanonicalKey(key));
    while (st.Step() == SQLITE_ROW) out.push_back(st.Column(0));
    return out;
}

std::vector<std::pair<std::string, std::string>> Registry::Values(const std::string& key) {
    std::lock_guard lock(m_mutex);
    std::vector<std::pair<std::string, std::string>> out;
    if (!OpenKey(key)) return out;
    Statement st(m_db->handle,
                 "SELECT name, value FROM keyvalues WHERE key = ?1 ORDER BY name COLLATE NOCASE");
    if (!st.Ok()) return out;
    st.Bind(1, CanonicalKey(key));
    while (st.Step() == SQLITE_ROW) out.emplace_back(st.Column(0), st.Column(1));
    return out;
}

} // namespace morvell
