#pragma once
// The picture code's own texts and clipboard format names.

namespace morvell {

// Error box when the copy-picture command is given an object that is not a picture.
inline constexpr const char* kTextAllowedOnlyForImmagine = "Allowed only for immagine";
// Information box when a placed picture without a control is copied: its links live in the
// page copy its control belongs to, so the copy goes without them.
inline constexpr const char* kTextCopyWithoutLinks = "Mah.Occorre salvare oggetti reg?";

// Attribute naming the file of a placed picture that is not stored in the ebook.
inline constexpr const char* kAttributeExternalFile = "externalfile";

// Private clipboard form of a copied picture (the objects block), and the image form beside it.
inline constexpr const char* kMimeVoskPicture = "application/x-vosk30-picture";
inline constexpr const char* kMimePng = "image/png";

} // namespace morvell
