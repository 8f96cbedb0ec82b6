#include "shell/InstallManifest.h"

#include "platform/Files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace morvell {

namespace {

std::vector<std::string> SplitTabs(const std::string& text) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        auto tab = text.find('\t', start);
        parts.push_back(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return parts;
        start = tab + 1;
    }
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return true;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    return text;
}

bool IsSectionHeader(const std::string& line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

bool IsKeyLine(const std::string& line) {
    return !line.empty() && line[0] != '#' && !IsSectionHeader(line) && line.find('=') != std::string::npos;
}

// Range [begin, end) of the lines of `section` after its header; begin == npos when missing.
std::pair<std::size_t, std::size_t> SectionRange(const std::vector<std::string>& lines,
                                                 const std::string& section) {
    const std::string header = "[" + section + "]";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != header) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !IsSectionHeader(lines[end])) ++end;
        return {i + 1, end};
    }
    return {std::string::npos, std::string::npos};
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

} // namespace


InstallManifest::InstallManifest(std::string manifestPath) : m_path(std::move(manifestPath)) {}

void InstallManifest::Load() {
    m_entries.clear();
    std::vector<std::string> lines;
    if (!ReadLines(m_path, lines)) return;
    for (const auto& line : lines) {
        auto parts = SplitTabs(line);
        if (parts.size() == 2 && (parts[0] == "file" || parts[0] == "keyfile") && !parts[1].empty())
            m_entries.push_back({parts[0], parts[1], {}, {}});
        else if (parts.size() == 4 && parts[0] == "line" && !parts[1].empty())
            m_entries.push_back({parts[0], parts[1], parts[2], parts[3]});
        // Anything else was not written by us; it is left out rather than guessed at.
    }
}

bool InstallManifest::Save() const {
    if (m_entries.empty()) {
        std::error_code ec;
        fs::remove(m_path, ec);
        return !Exists(m_path);
    }
    std::string text;
    for (const auto& e : m_entries) {
        text += e.kind + "\t" + e.path;
        if (e.kind == "line") text += "\t" + e.section + "\t" + e.line;
        text += "\n";
    }
    return WriteFileAtomically(m_path, text);
}

void InstallManifest::Add(Entry entry) {
    // Tabs and line breaks would break the format; such names are not ours to record.
    for (const auto* field : {&entry.path, &entry.section, &entry.line})
        if (field->find_first_of("\t\n\r") != std::string::npos) return;
    if (std::find(m_entries.begin(), m_entries.end(), entry) == m_entries.end())
        m_entries.push_back(std::move(entry));
}

void InstallManifest::AddFile(const std::string& path) { Add({"file", path, {}, {}}); }
void InstallManifest::AddKeyFile(const std::string& path) { Add({"keyfile", path, {}, {}}); }
void InstallManifest::AddLine(const std::string& path, const std::string& section, const std::string& line) {
    Add({"line", path, section, line});
}

bool InstallManifest::HasFile(const std::string& path) const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const Entry& e) { return e.kind != "line" && e.path == path; });
}

bool InstallManifest::RemoveAll() {
    bool ok = true;
    for (const auto& e : m_entries)
        if (e.kind == "line" && Exists(e.path)) ok = RemoveKeyFileLine(e.path, e.section, e.line) && ok;
    for (const auto& e : m_entries) {
        if (e.kind == "line" || !Exists(e.path)) continue;
        if (e.kind == "keyfile" && KeyFileHasKeys(e.path)) continue; // someone else's settings live there now
        std::error_code ec;
        fs::remove(e.path, ec);
        if (Exists(e.path)) ok = false;
    }
    m_entries.clear();
    return Save() && ok;
}

bool InstallManifest::AddKeyFileLine(const std::string& path, const std::string& section,
                                     const std::string& line) {
    std::vector<std::string> lines;
    ReadLines(path, lines);
    auto [begin, end] = SectionRange(lines, section);
    if (begin == std::string::npos) {
        if (!lines.empty() && !lines.back().empty()) lines.push_back("");
        lines.push_back("[" + section + "]");
        lines.push_back(line);
    } else {
        if (std::find(lines.begin() + static_cast<long>(begin), lines.begin() + static_cast<long>(end),
                      line) != lines.begin() + static_cast<long>(end))
            return true;
        // Insert after the last non-blank line of the section, so blank separators stay put.
        std::size_t at = end;
        while (at > begin && lines[at - 1].empty()) --at;
        lines.insert(lines.begin() + static_cast<long>(at), line);
    }
    return WriteFileAtomically(path, JoinLines(lines));
}

bool InstallManifest::RemoveKeyFileLine(const std::string& path, const std::string& section,
                                        const std::string& line) {
    std::vector<std::string> lines;
    if (!ReadLines(path, lines)) return true;
    auto [begin, end] = SectionRange(lines, section);
    if (begin == std::string::npos) return true;
    auto it =
        std::find(lines.begin() + static_cast<long>(begin), lines.begin() + static_cast<long>(end), line);
    if (it == lines.begin() + static_cast<long>(end)) return true;
    lines.erase(it);
    return WriteFileAtomically(path, JoinLines(lines));
}

bool InstallManifest::KeyFileHasKeys(const std::string& path) {
    std::vector<std::string> lines;
    ReadLines(path, lines);
    return std::any_of(lines.begin(), lines.end(), IsKeyLine);
}

std::string InstallManifest::KeyFileValue(const std::string& path, const std::string& section,
                                          const std::string& key) {
    std::vector<std::string> lines;
    if (!ReadLines(path, lines)) return {};
    auto [begin, end] = SectionRange(lines, section);
    if (begin == std::string::npos) return {};
    for (std::size_t i = begin; i < end; ++i) {
        const auto& l = lines[i];
        auto eq = l.find('=');
        if (eq == std::string::npos || l[0] == '#') continue;
        std::string k = l.substr(0, eq);
        while (!k.empty() && k.back() == ' ') k.pop_back();
        if (k == key) {
            std::string v = l.substr(eq + 1);
            while (!v.empty() && v.front() == ' ') v.erase(0, 1);
            return v;
        }
    }
    return {};
}

} // namespace morvell
