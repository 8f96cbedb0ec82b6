#pragma once
// The picture code's own texts and clipboard format names.

namespace morvell {

// Error box when the copy-picture command is given an object that is not a picture.
inline constexpr const char* kTextAllowedOnlyForImmagine = "Allowed only for immagine";

// Private clipboard form of a copied picture (the objects block), and the image form beside it.
inline constexpr const char* kMimeVoskPicture = "application/x-vosk30-picture";
inline constexpr const char* kMimePng = "image/png";

} // namespace morvell
