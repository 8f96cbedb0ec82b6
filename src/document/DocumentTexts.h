#pragma once
// The document subsystem's own texts, byte for byte (UTF-8). The carriage returns are the
// line breaks of the message boxes.

namespace morvell::texts {

inline constexpr const char* kUnknownFormat = "Formato sconosciuto.";
inline constexpr const char* kTooOldVersion =
    "Attenzione: file salvato con una versione del programma\ranteriore alla 0.98. Non più supportato. "
    "UNSUPPORTED\r";
inline constexpr const char* kUnsupportedLine1 = "File non supportato dalla corrente versione del programma.";
inline constexpr const char* kUnsupportedContactBefore = "Contattare ";
inline constexpr const char* kUnsupportedContactAfter =
    " per ottenere una versione piùrecente del programma.";
inline constexpr const char* kReadError = "Errore nella lettura file: ";
inline constexpr const char* kNotExists = " non esiste";

inline constexpr const char* kUntitled = "Senza titolo";
inline constexpr const char* kDefaultFixedFont = "Courier New";
inline constexpr const char* kDefaultFont = "Arial";

} // namespace morvell::texts
