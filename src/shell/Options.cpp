#include "shell/Options.h"

#include "platform/Messages.h"
#include "platform/Registry.h"
#include "shell/ShellTexts.h"

namespace morvell::options {

namespace {

// Splits "\Software\X\Y\Name" into the key "\Software\X\Y" and the value name "Name".
std::pair<std::string, std::string> SplitFullPath(const std::string& fullPath) {
    auto pos = fullPath.rfind('\\');
    if (pos == std::string::npos) return {std::string(), fullPath};
    return {fullPath.substr(0, pos), fullPath.substr(pos + 1)};
}

void ReportMissingKey(const std::string& key, const std::string& name) {
    Msg().Plain(std::string(texts::kKeyNotFound) + key + texts::kKeyNotFoundString + "\"" + name + "\")");
}

} // namespace

std::string SectionKey(const std::string& section) { return std::string(kStoreRoot) + section + "\\"; }

std::string ReadOption(const std::string& name) { return ReadSection(kOptionsSection, name); }

void WriteOption(const std::string& name, const std::string& value) {
    WriteSection(kOptionsSection, name, value);
}

std::string ReadSection(const std::string& section, const std::string& name) {
    return Registry::Current().Read(SectionKey(section), name).value_or(std::string());
}

void WriteSection(const std::string& section, const std::string& name, const std::string& value) {
    Registry::Current().Write(SectionKey(section), name, value);
}

std::vector<std::string> SubKeys(const std::string& section) {
    return Registry::Current().SubKeys(SectionKey(section));
}

std::string ReadPath(const std::string& fullPath) {
    auto [key, name] = SplitFullPath(fullPath);
    auto value = Registry::Current().Read(key, name);
    if (!value) {
        ReportMissingKey(key, name);
        return {};
    }
    return *value;
}

void WritePath(const std::string& fullPath, const std::string& value) {
    auto [key, name] = SplitFullPath(fullPath);
    if (!Registry::Current().Write(key, name, value)) ReportMissingKey(key, name);
}

std::string ReadKey(const std::string& key, const std::string& name) {
    return Registry::Current().Read(key, name).value_or(kNotFound);
}

void WriteKey(const std::string& key, const std::string& name, const std::string& value) {
    Registry::Current().Write(key, name, value);
}

void WriteMachine(const std::string& key, const std::string& name, const std::string& value) {
    Registry::Current().Write(Registry::MachineKey(key), name, value);
}

std::string ReadMachine(const std::string& key, const std::string& name) {
    return Registry::Current().Read(Registry::MachineKey(key), name).value_or(std::string());
}

void DeleteKey(const std::string& key) { Registry::Current().DeleteKey(key); }

void DeleteMachineKey(const std::string& key) { Registry::Current().DeleteKey(Registry::MachineKey(key)); }

} // namespace morvell::options
