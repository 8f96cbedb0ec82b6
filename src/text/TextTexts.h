#pragma once
// The program's own texts of the paragraph stream and the text layout.

namespace morvell::texts {

inline constexpr const char* kTruncatedLine = "Truncated line!";
inline constexpr const char* kOldMarkupInBox = "baco; testo ver 1 ancora pres in ovkBox!";

// The bullet of bulleted paragraphs: the character "w" of the font "Wingdings". A canvas that
// has no such font draws U+2022 for this pair instead.
inline constexpr const char* kBulletFontName = "Wingdings";
inline constexpr const char* kBulletCharacter = "w";

// The ten characters that open an object holder at the start of a page text.
inline constexpr const char* kObjectHolderHeader = "<Z S0 f0 >";

} // namespace morvell::texts
