#pragma once
// Texts of the chapter tree, byte for byte (UTF-8).

namespace morvell::texts {

inline constexpr const char* kErrorDecodingNodes = "error decoding nodes";
inline constexpr const char* kErrorLoadingNodes = "error loading nodes";
// Caption of a node whose reference names an object of another kind than the tree's.
inline constexpr const char* kForeignReferenceCaption = "*";
// Caption the writer puts on leaves; the reader replaces it by the object's name.
inline constexpr const char* kLeafCaption = "x";

// File names whose desktop icons the nodes show.
inline constexpr const char* kEbookIconFile = "ebook.ovk";
inline constexpr const char* kTextIconFile = "page.txt";
inline constexpr const char* kSettingsIconFile = "settings.ini";
inline constexpr const char* kHelpIconFile = "help.hlp";

} // namespace morvell::texts
