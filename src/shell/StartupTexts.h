#pragma once
// Texts of the start-up, the installer and the first main window, byte for byte (UTF-8).

namespace morvell::startup_texts {

inline constexpr const char* kApplicationName = "Morvell";
inline constexpr const char* kTitleInstall = "Tamskel INST";
inline constexpr const char* kTitleUninstall = "Tamskel DEINST";

inline constexpr const char* kBrochureFile = "brochure.ovk";
inline constexpr const char* kVoskPrefix = "vosk://";

// Installer.
inline constexpr const char* kProgramGroup = "Ebooks";
inline constexpr const char* kUninstallItemPrefix = "Uninstall ";
inline constexpr const char* kAskDesktopIcon = "Posso aggiungere un'icona sul Desktop?";
inline constexpr const char* kFileTypeName = "vOsk hypertext/ebook";
inline constexpr const char* kMimeType = "application/x-ovk";
inline constexpr const char* kLicenseLeftover = "!!licenseE.txt";
inline constexpr const char* kDisplayNamePrefix = "Brasquon ";
inline constexpr const char* kUninstallKeyRoot =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr const char* kAppPathsKeyRoot = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
inline constexpr const char* kValueDisplayName = "DisplayName";
inline constexpr const char* kValueUninstallString = "UninstallString";
inline constexpr const char* kValuePath = "Path";

// Uninstaller and folder removal.
inline constexpr const char* kAskUninstall = "Sei sicuro di voler deinstallare?";
inline constexpr const char* kRemoveManually = "Something to remove manually!";
inline constexpr const char* kUninstallError = "Error in deinstall. You may have to reinstall.";
inline constexpr const char* kAskDeleteFolder = "Posso cancellare la directory ";
inline constexpr const char* kAskDeleteFolderEnd = "?";

// Options of the start-up and the main window.
inline constexpr const char* kOptInst = "inst";
inline constexpr const char* kOptLastFile = "LastFile";
inline constexpr const char* kOptAtStartBlank = "AtStartBlank";
inline constexpr const char* kOptSkin = "skin";
inline constexpr const char* kOptMainLeft = "Main_left";
inline constexpr const char* kOptMainTop = "Main_top";
inline constexpr const char* kOptMainWidth = "Main_width";
inline constexpr const char* kOptMainHeight = "Main_height";

// Opening an ebook.
inline constexpr const char* kUntitled = "Senza titolo";
inline constexpr const char* kFileNotFound = "File non trovato: ";

// Splash and about window.
inline constexpr const char* kCredits = "The Morvell developers";
inline constexpr const char* kWebAddress = "https://morvell.example.org";
inline constexpr const char* kAboutOk = "OK";

// Command-line help of the reader.
inline constexpr const char* kUsage =
    "Usage: morvell [EBOOK] [--page=TARGET]\n"
    "       morvell --init EBOOK     add EBOOK to the menu \"Ebooks\" and register the .ovk type\n"
    "       morvell --initv EBOOK    the same without the menu entries\n"
    "       morvell --deinst EBOOK   take that installation back\n"
    "       morvell --delete FOLDER  remove the program folder (the last uninstall runs this)\n"
    "       morvell --help | --version\n"
    "EBOOK may be several words (an unquoted path with blanks). The forms /INIT, /INITV,\n"
    "/DEINST, /DELETE and /PAGE=TARGET are accepted as well.\n";

} // namespace morvell::startup_texts
