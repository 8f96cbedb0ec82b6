#include "objects/AttributeText.h"

#include "platform/LittleEndian.h"

#include <vector>

namespace morvell {

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string EncodeLineBreaks(std::string_view value) {
    std::string out(value);
    for (char& c : out) {
        if (c == '\r')
            c = 2;
        else if (c == '\n')
            c = 3;
    }
    return out;
}

std::string DecodeLineBreaks(std::string_view value) {
    std::string out(value);
    for (char& c : out) {
        if (c == 2)
            c = '\r';
        else if (c == 3)
            c = '\n';
    }
    return out;
}

ExtraParts SplitExtra(std::string_view extra) {
    if (extra.size() < 4) return {extra, {}};
    std::int32_t n = le::I32(AsBytes(extra), 0);
    if (n < 0 || static_cast<std::uint64_t>(n) > extra.size() - 4) return {extra, {}};
    std::size_t cut = 4 + static_cast<std::size_t>(n);
    return {extra.substr(0, cut), extra.substr(cut)};
}

std::string ScanAttribute(std::string_view text, std::string_view name, bool* found) {
    const std::string wanted = LowerAscii(name);
    std::string result;
    bool matched = false;

    std::string curName, curValue;
    bool seenEquals = false;
    char quote = 0;
    bool nameBroken = false;
    auto endPair = [&] {
        if (LowerAscii(curName) == wanted) {
            result = curValue;
            matched = true;
        }
        curName.clear();
        curValue.clear();
        seenEquals = false;
        nameBroken = false;
    };

    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (quote != 0) {
            if (ch == quote) {
                quote = 0;
                endPair();
            } else if (c >= 32) {
                curValue += ch;
            }
            continue;
        }
        if (c == 0 || c == 10 || c == 13 || c == ' ') {
            // An unquoted value ends at white space. A bare name waits: white space may stand
            // between a name and its "=".
            if (seenEquals && !curValue.empty())
                endPair();
            else if (!seenEquals && !curName.empty())
                nameBroken = true;
            continue;
        }
        if (ch == '=') {
            seenEquals = true;
            nameBroken = false;
            continue;
        }
        if (ch == '"' || ch == '\'') {
            quote = ch;
            continue;
        }
        if (c < 32) continue;
        if (seenEquals) {
            curValue += ch;
        } else {
            // A name after white space that saw no "=" starts a new pair; the bare name before
            // it counts as a pair with an empty value.
            if (nameBroken) endPair();
            curName += ch;
        }
        nameBroken = false;
    }
    if (seenEquals) endPair();
    if (found) *found = matched;
    return result;
}

namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

} // namespace

std::string ReplaceAttribute(std::string_view text, std::string_view name, std::string_view value) {
    const std::string key = LowerAscii(name);
    const std::string pair = key + "=\"" + EncodeLineBreaks(value) + "\"";
    const std::string prefix = key + "=";
    auto lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (LowerAscii(lines[i].substr(0, prefix.size())) != prefix) continue;
        std::string out;
        for (std::size_t j = 0; j < lines.size(); ++j) {
            if (j > 0) out += "\r\n";
            out += j == i ? std::string_view(pair) : lines[j];
        }
        return out;
    }
    return std::string(text) + pair;
}

} // namespace morvell
