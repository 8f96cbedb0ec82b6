#pragma once
// Escaping of text placed inside the XML files we write for the desktop (recently-used list,
// MIME packages, menu files).

#include <string>

namespace morvell {

inline std::string XmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace morvell
