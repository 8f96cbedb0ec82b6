#pragma once
// The object layer's own texts: message boxes (UTF-8) and the fixed parts of display names and
// hints. Hint and name texts are pure ASCII except the placeholder labels, which are converted
// to the ebook's code page before they are joined with ebook text.

namespace morvell::objtext {

// Message boxes.
inline constexpr const char* kWrongKindInMemoryForm =
    "In un TOVKoggetto registrato si può caricare solo un TOVKoggetto dello stesso tipo!";
inline constexpr const char* kBugInAux = "bug in aux";
inline constexpr const char* kExtractFailed =
    "Lo spazio su HD potrebbe essere insufficiente! Errore nella scorporazione file: ";
inline constexpr const char* kOpenFileError = "Errore nell'apertura file: ";
inline constexpr const char* kMappaClicStillThere = "mappaclic presente ancora! bug!";
inline constexpr const char* kDoNotUseThis = "Non si deve usare questo!";

// Hints.
inline constexpr const char* kUndefined = "Non definito.";
inline constexpr const char* kLinkTo = "Collegamento a: ";
inline constexpr const char* kLinkToMail = "Collegamento a e-mail: ";
inline constexpr const char* kLinkToFile = "Collegamento a file: ";
inline constexpr const char* kCustom = "Custom ";
inline constexpr const char* kMailtoPrefix = "mailto:";
inline constexpr const char* kProgPrefix = "prog:";
inline constexpr const char* kRunPrefix = "run:";
inline constexpr const char* kVoskPrefix = "vosk:";
inline constexpr const char* kVoskLongPrefix = "vosk://";
inline constexpr const char* kHttpPrefix = "http:";

// Special links.
inline constexpr const char* kTargetOnlyScroll = "--";
inline constexpr const char* kCloseWindow = "Chiudi finestra: ";
inline constexpr const char* kKeywordWindow = "finestra parole chiave";
inline constexpr const char* kKeywordHint = "Parole chiave|Collegamento a: finestra parole chiave";
inline constexpr const char* kPreviousPage = "pagina precedente";
inline constexpr const char* kPreviousPageHint = "pagina precedente|Collegamento a: pagina precedente";
inline constexpr const char* kNextPage = "pagina successiva";
inline constexpr const char* kNextPageHint = "pagina successiva|Collegamento a: pagina successiva";
inline constexpr const char* kAutoImport = "Auto import";
inline constexpr const char* kAddToCart = "Aggiungi nel carrello della spesa: ";
inline constexpr const char* kPrintCurrentFrame = "Stampa la corrente cornice/frame/finestra.";
inline constexpr const char* kPrintFrame = "Stampa la cornice/frame: ";
inline constexpr const char* kShowPrintName = "_showprint";
inline constexpr const char* kPluginLink = "Collegamento \"plugin\": ";
inline constexpr const char* kPluginHeadsMarker = "$$qelb-heads$$";

// Markers.
inline constexpr const char* kAnchor = "Ancora: a";
inline constexpr const char* kFileNumber = "File #";
inline constexpr const char* kPlaceholderPicture = "Riferimento a immagine:";
inline constexpr const char* kPlaceholderPageOrLink = "Riferimento a pagina o link:";
inline constexpr const char* kPlaceholderPageText = "Qui verrà riportato tutto il testo della pagina:";
inline constexpr const char* kPlaceholderKeyObject = "Riferimento a oggetto fondamentale:";
inline constexpr const char* kPlaceholderSizeX = "Qui verrà riportata la dimensione X";
inline constexpr const char* kPlaceholderSizeY = "Qui verrà riportata la dimensione Y";

// Names given by a reset.
inline constexpr const char* kUntitledPage = "Senza titolo ";
inline constexpr const char* kNewPrototype = "Nuovo prototipo";
inline constexpr const char* kFrameMapName = "Map";
inline constexpr const char* kDataObjectName = "db";
inline constexpr const char* kDefaultFontName = "Arial";

// Attributes and element names.
inline constexpr const char* kAllFields = "allfields";
inline constexpr const char* kAttrName = "name";
inline constexpr const char* kElementPrefix = "element";
inline constexpr const char* kFormStartPrefix = "formstart";

// An empty page: an empty paragraph of style 0 and the end byte.
inline constexpr char kEmptyPageText[] = "<Z S0 >";

} // namespace morvell::objtext
