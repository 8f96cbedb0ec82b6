#include "objects/FieldList.h"

#include "objects/AttributeText.h"

namespace morvell {

std::vector<std::string> ParseFieldLines(std::string_view data) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '\r' || data[i] == '\n') {
            lines.emplace_back(data.substr(start, i - start));
            if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < data.size()) lines.emplace_back(data.substr(start));
    return lines;
}

std::string JoinFieldLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

namespace {
std::size_t FindName(const std::vector<std::string>& lines, const std::string& lowerName) {
    for (std::size_t i = 0; i < lines.size(); i += 2)
        if (LowerAscii(lines[i]) == lowerName) return i;
    return lines.size();
}
} // namespace

std::string FindField(const std::vector<std::string>& lines, std::string_view name) {
    std::size_t i = FindName(lines, LowerAscii(name));
    if (i + 1 >= lines.size()) return {};
    return DecodeLineBreaks(lines[i + 1]);
}

void StoreField(std::vector<std::string>& lines, std::string_view name, std::string_view value) {
    const std::string key = LowerAscii(name);
    const std::string coded = EncodeLineBreaks(value);
    std::size_t i = FindName(lines, key);
    if (i < lines.size()) {
        if (coded.empty()) {
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i),
                        lines.begin() + static_cast<std::ptrdiff_t>(std::min(i + 2, lines.size())));
        } else if (i + 1 < lines.size()) {
            lines[i + 1] = coded;
        } else {
            lines.push_back(coded); // a name line left without its value at the end of the list
        }
        return;
    }
    if (coded.empty()) return;
    lines.push_back(key);
    lines.push_back(coded);
}

} // namespace morvell
