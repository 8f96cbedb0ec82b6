#pragma once
// The reader's settings. Values are always text and live in the per-user key store
// (platform/Registry.h). Every read goes to the store, so a value written by another
// window or another process is seen at once. Failures never stop the caller: they read
// as empty text ("notfound" for ReadKey); only the full-path form tells the user.

#include <string>
#include <vector>

namespace morvell::options {

// Root of all reader settings below the current user; a section S is kStoreRoot + S + "\".
inline constexpr const char* kStoreRoot = "\\SOFTWARE\\BQ\\Morvell_\\";
inline constexpr const char* kOptionsSection = "options";
// What ReadKey gives when the key cannot be opened.
inline constexpr const char* kNotFound = "notfound";

// The key of a section: kStoreRoot + section + "\".
std::string SectionKey(const std::string& section);

// The "options" section.
std::string ReadOption(const std::string& name);
void WriteOption(const std::string& name, const std::string& value);

// Any section below the store root ("RecentFile", "finds", "ext\.pdf", ...).
std::string ReadSection(const std::string& section, const std::string& name);
void WriteSection(const std::string& section, const std::string& name, const std::string& value);

// Names of the sub-keys of a section, in the spelling they were created with, sorted
// case-insensitively.
std::vector<std::string> SubKeys(const std::string& section);

// Full path form: the text up to the last "\" is the key, the rest the value name, e.g.
// "\Software\X\Y\Name". When the store cannot be opened a plain message
// "Key not found in registry:<key>, (string "<name>")" is shown and reading gives "".
std::string ReadPath(const std::string& fullPath);
void WritePath(const std::string& fullPath, const std::string& value);

// A value of any key of the current user; "notfound" when the key cannot be opened.
std::string ReadKey(const std::string& key, const std::string& name);
void WriteKey(const std::string& key, const std::string& name, const std::string& value);

// Machine-wide keys (installer only). They live in the same store under "HKLM\".
void WriteMachine(const std::string& key, const std::string& name, const std::string& value);
std::string ReadMachine(const std::string& key, const std::string& name);
// Delete a key with its values and every sub-key.
void DeleteKey(const std::string& key);
void DeleteMachineKey(const std::string& key);

} // namespace morvell::options
