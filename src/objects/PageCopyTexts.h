#pragma once
// Texts and fixed markup the page-copy code writes.

namespace morvell::pagecopytext {

// Error box of a local link entered with no page copy to hold it.
inline constexpr const char* kNoCopyForLocalLink = "Bug calling IsContainedIn :( !";
// Written over the eleven characters of a tag whose object is missing or deleted, so the
// reader sees where something was lost instead of a silently shorter page.
inline constexpr const char* kMissingObjectMark = "!!!!!!!!!!!";
// The text of a page copy that came without any text: one empty paragraph.
inline constexpr const char* kEmptyParagraph = "<Z S0 >";

// Fonts of the old markup.
inline constexpr const char* kOldMarkupFont = "Arial";
inline constexpr const char* kOldMarkupFixedFont = "Courier New";

} // namespace morvell::pagecopytext
