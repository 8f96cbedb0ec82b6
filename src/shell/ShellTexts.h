#pragma once
// Texts of the options store and the system helpers, byte for byte.

namespace morvell::texts {

inline constexpr const char* kKeyNotFound = "Key not found in registry:";
inline constexpr const char* kKeyNotFoundString = ", (string ";
inline constexpr const char* kUnableToCreateDirectory = "Unable to create directory";
inline constexpr const char* kNoTempFolder =
    "Il sistema non riesce a creare una cartella temporanea (%s). Correggere e/o incrementare i diritti del "
    "proprio utente.";

// Failed shell open, followed by the file name without its folder.
inline constexpr const char* kShellOpenError = "Errore nell'apertura file: ";
inline constexpr const char* kShellAccessDenied = "Access Denied: ";
inline constexpr const char* kShellErrorOn = " Error on "; // preceded by the code
inline constexpr const char* kShellNoViewer =
    "Sembra che il visualizzatore per il file non sia presente. File: ";

// Report window in download mode.
inline constexpr const char* kUpdateOk = "OK; ";
inline constexpr const char* kNoUpdate = "Non c'\xC3\xA8 nessun aggiornamento.\r\n\r\n(Non trovo il file: ;";
inline constexpr const char* kNoUpdateEnd = ")";

} // namespace morvell::texts
