#pragma once
// Character entities of stored text ("&amp;", "&#233;", "&eacute" …), decoded to single bytes
// of the ebook's code page.

#include <cstddef>
#include <string>
#include <string_view>

namespace morvell {

// Decodes the entity that starts at text[pos] (which must be '&'); stores the character in
// `out` and answers how many bytes it took (at least 1).
std::size_t DecodeEntityAt(std::string_view text, std::size_t pos, char& out);

// The text with every entity decoded.
std::string DecodeEntities(std::string_view text);

} // namespace morvell
