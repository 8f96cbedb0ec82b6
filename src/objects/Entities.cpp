#include "objects/Entities.h"

#include <array>

namespace morvell {
namespace {

struct Named {
    std::string_view name;
    unsigned char code;
};

// Looked up in this order: the first name that is a prefix of the text wins.
constexpr std::array<std::string_view, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "hibar",  "deg",    "plusmn", "sup2",   "sup3",
    "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12",
    "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde",
    "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",
    "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",
    "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

constexpr std::array<Named, 8> kMarkupNames = {{
    {"quot", '"'},
    {"amp", '&'},
    {"lt", '<'},
    {"gt", '>'},
    {"QUOT", '"'},
    {"AMP", '&'},
    {"LT", '<'},
    {"GT", '>'},
}};

bool StartsWith(std::string_view text, std::size_t pos, std::string_view prefix) {
    return text.size() - pos >= prefix.size() && text.compare(pos, prefix.size(), prefix) == 0;
}

} // namespace

std::size_t DecodeEntityAt(std::string_view text, std::size_t pos, char& out) {
    std::size_t at = pos + 1;
    if (at < text.size() && text[at] == '&') {
        // "&&" is an ampersand; only the two characters are taken.
        out = '&';
        return 2;
    }
    if (at < text.size() && text[at] == '#') {
        ++at;
        int value = 0;
        int digits = 0;
        while (digits < 3 && at < text.size() && text[at] >= '0' && text[at] <= '9') {
            value = value * 10 + (text[at] - '0');
            ++at;
            ++digits;
        }
        if (at < text.size() && text[at] == ';') ++at;
        out = digits == 0 ? 'A' : static_cast<char>(static_cast<unsigned char>(value % 256));
        return at - pos;
    }
    auto finish = [&](std::size_t nameLength, unsigned char code) {
        std::size_t end = at + nameLength;
        if (end < text.size() && text[end] == ';') ++end;
        out = static_cast<char>(code);
        return end - pos;
    };
    for (const auto& m : kMarkupNames)
        if (StartsWith(text, at, m.name)) return finish(m.name.size(), m.code);
    for (std::size_t i = 0; i < kLatin1Names.size(); ++i)
        if (StartsWith(text, at, kLatin1Names[i]))
            return finish(kLatin1Names[i].size(), static_cast<unsigned char>(160 + i));
    out = ' ';
    return 1;
}

std::string DecodeEntities(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '&') {
            result += text[i++];
            continue;
        }
        char c = 0;
        i += DecodeEntityAt(text, i, c);
        result += c;
    }
    return result;
}

} // namespace morvell
