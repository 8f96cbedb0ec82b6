#pragma once
// What one part of an installation put on the desktop, so that the uninstall takes away
// exactly that and nothing a user or another program made.
//
// A manifest is a text file of tab-separated lines:
//   file <path>                        a file we created
//   line <path> <section> <line>       a line we added to a section of a key file
//                                      (mimeapps.list)
//   keyfile <path>                     a key file we created; it goes only when no key
//                                      line is left in it
// Removal handles lines first, then files.

#include <string>
#include <vector>

namespace morvell {

class InstallManifest {
public:
    struct Entry {
        std::string kind; // "file", "line", "keyfile"
        std::string path;
        std::string section;
        std::string line;
        bool operator==(const Entry&) const = default;
    };

    explicit InstallManifest(std::string manifestPath);

    // Reads the manifest file; a missing file is an empty manifest.
    void Load();
    // Writes it through a temporary file and a rename; an empty manifest removes the file.
    // False when it cannot be written.
    bool Save() const;

    void AddFile(const std::string& path);
    void AddLine(const std::string& path, const std::string& section, const std::string& line);
    void AddKeyFile(const std::string& path);
    bool HasFile(const std::string& path) const;
    const std::vector<Entry>& Entries() const { return m_entries; }
    bool Empty() const { return m_entries.empty(); }
    const std::string& Path() const { return m_path; }

    // Takes back everything recorded, then forgets it and removes the manifest file.
    // False when something recorded is still there and could not be removed.
    bool RemoveAll();

    // Key-file helpers (the "[Section]" / "key=value" format of desktop files).
    // Adds `line` to `section` (created when missing) unless it is there already.
    static bool AddKeyFileLine(const std::string& path, const std::string& section, const std::string& line);
    static bool RemoveKeyFileLine(const std::string& path, const std::string& section,
                                  const std::string& line);
    static bool KeyFileHasKeys(const std::string& path);
    // The value of `key` in `section`, empty when missing.
    static std::string KeyFileValue(const std::string& path, const std::string& section,
                                    const std::string& key);

private:
    void Add(Entry entry);
    std::string m_path;
    std::vector<Entry> m_entries;
};

} // namespace morvell
