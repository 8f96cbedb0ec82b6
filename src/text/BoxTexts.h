#pragma once
// The text box's own texts and names: message boxes, clipboard formats, cursor names.

#include "text/TextTexts.h"

namespace morvell::boxtext {

// A popup menu that pops up by itself on a box would open twice.
inline constexpr const char* kAutoPopupBug = "\xC3\xA8 autopop! correggi bug!";
// A page text still in the old markup reaches a box only through a bug upstream.
inline constexpr const char* kOldMarkup = texts::kOldMarkupInBox;

// Clipboard forms of a copied selection, in the order they are offered.
inline constexpr const char* kMimeObjects = "application/x-vosk30-objects";
inline constexpr const char* kMimePicture = "application/x-vosk30-picture";
inline constexpr const char* kMimeRtf = "text/rtf";
inline constexpr const char* kMimePlain = "text/plain;charset=utf-8";
// The registered name of the internal format, as the authoring product knows it.
inline constexpr const char* kObjectsFormatName = "Vosk30 objects";

inline constexpr const char* kEbookExtension = ".ovk";

} // namespace morvell::boxtext
