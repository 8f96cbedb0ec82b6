#pragma once
// Texts, keys and file names of the document object, byte for byte (UTF-8).

namespace morvell::texts {

inline constexpr const char* kImageCacheBug = "What happens? Image cache bug?";
inline constexpr const char* kCdFolderPrompt = "Selezionare percorso per il CD / Cambiare CD:";

inline constexpr const char* kNoStyleName = "[nessuno stile]";
inline constexpr const char* kNoTableStyleName = "[nessuno stile tabella]";

// Keys of the ebook's property list.
inline constexpr const char* kPropCharSet = "CharSet";
inline constexpr const char* kPropFontCharSet = "FCharSet";
inline constexpr const char* kPropExtendedPrefix = "extendedprefix";
inline constexpr const char* kPropGlobalMargin = "GlobalMargin";
inline constexpr const char* kPropDeleteOnClose = "delonex";
inline constexpr const char* kPropIndex = "index";
inline constexpr const char* kPropCart = "cart";
inline constexpr const char* kIndexFileName = "index.htm";
inline constexpr const char* kCartFileName = "js.js";

inline constexpr const char* kDefaultCharSet = "iso-8859-1";
inline constexpr const char* kWindowsCharSetPrefix = "windows-";

// Where the CD folder is remembered, and the marker it replaces in ebook paths.
inline constexpr const char* kCdDriveKey = "\\SOFTWARE\\BQ\\vOskRD\\";
inline constexpr const char* kCdDriveValue = "cddrive";
inline constexpr const char* kCdDriveMarker = "cddrive:";

// Sub-folder of the private temporary folder, and the stem of generated temporary names.
inline constexpr const char* kTempSubFolder = "tmpa";
inline constexpr const char* kTempNameStem = "re";

} // namespace morvell::texts
