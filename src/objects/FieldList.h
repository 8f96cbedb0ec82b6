#pragma once
// The name/value list of a local data object: lines separated by carriage return and line
// feed, a name line (lower case) followed by its value line.

#include <string>
#include <string_view>
#include <vector>

namespace morvell {

// Lines of a stored list; a final line break does not add an empty line.
std::vector<std::string> ParseFieldLines(std::string_view data);
// Each line followed by carriage return and line feed.
std::string JoinFieldLines(const std::vector<std::string>& lines);

// Value of `name` (any case), line breaks decoded; empty when missing.
std::string FindField(const std::vector<std::string>& lines, std::string_view name);
// Sets, appends or (for an empty value) removes the field.
void StoreField(std::vector<std::string>& lines, std::string_view name, std::string_view value);

} // namespace morvell
