#pragma once
// The attribute text of an extra block (name="value" pairs) and the line-break coding used
// inside stored values, where carriage return and line feed are the bytes 2 and 3.

#include <string>
#include <string_view>

namespace morvell {

// Carriage return → byte 2, line feed → byte 3, and back.
std::string EncodeLineBreaks(std::string_view value);
std::string DecodeLineBreaks(std::string_view value);

// Value of the attribute `name` (compared without regard to case) in `text`; the last pair of
// that name wins. `found` tells whether any pair matched.
std::string ScanAttribute(std::string_view text, std::string_view name, bool* found);

// `text` with the attribute set: the first line starting with name= (any case) is replaced by
// name="value" (name in lower case, value line-break coded), or the pair is appended.
std::string ReplaceAttribute(std::string_view text, std::string_view name, std::string_view value);

// Splits an extra block into its binary part (the int32 length and the bytes it counts) and
// the attribute text after it. A block too short for its own length field, or whose length
// does not fit, is all binary part with no attribute text.
struct ExtraParts {
    std::string_view binary;
    std::string_view text;
};
ExtraParts SplitExtra(std::string_view extra);

std::string LowerAscii(std::string_view text);

} // namespace morvell
