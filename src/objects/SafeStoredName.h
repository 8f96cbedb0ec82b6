#pragma once
// Names that come from an ebook and become files on this machine. A stored name is untrusted:
// it may carry folders of either separator, "..", control characters or device names.

#include <string>
#include <string_view>

namespace morvell {

// The part after the last "/" or "\".
std::string FileNamePart(std::string_view path);
// The extension of the file-name part, dot included; empty when there is none.
std::string ExtensionOf(std::string_view path);

// A plain file name that stays inside whatever folder it is joined to: no folder part, no
// drive prefix, no control characters, never "." or "..", no device names (CON, NUL, COM1 …,
// which are prefixed with "_"), at most 255 bytes with the extension kept, and never empty
// ("file" stands in).
std::string SafeStoredName(std::string_view stored);

} // namespace morvell
