#pragma once
// Desktop shell services: shell folders, launchers, file-type icons and opening files or
// addresses with their associated program.

#include <functional>
#include <string>
#include <vector>

namespace morvell {

// Shell folders by number, mapped onto the XDG user directories ($XDG_*_DIR in the
// environment, then $XDG_CONFIG_HOME/user-dirs.dirs, then the usual defaults):
//   1 desktop        -> XDG_DESKTOP_DIR (~/Desktop)
//   2 quick launch   -> the desktop too: Linux desktops have no quick-launch bar, and the
//                       desktop is where a user looks for a launcher
//   3 send-to        -> $XDG_DATA_HOME/nautilus/scripts, the file manager's closest thing
//   4 start menu     -> $XDG_DATA_HOME/applications
//   5 documents      -> XDG_DOCUMENTS_DIR (~/Documents)
//   6 start-up       -> $XDG_CONFIG_HOME/autostart
//   7 programs       -> $XDG_DATA_HOME/applications
//   8 favourites     -> $XDG_DATA_HOME/morvell/favourites (no desktop-wide equivalent)
//   9 program files  -> ~/.local/opt, where per-user programs are unpacked
// Other numbers give "". Paths have no trailing "/".
std::string ShellFolder(int number);

// Writes "<folder>/<name>.desktop", a launcher (Type=Application, Name, Exec, Icon) for the
// program started with `argv` (argv[0] the program). Returns the launcher's path, "" on
// failure. An existing launcher of that name is replaced.
std::string CreateShortcut(const std::string& folder, const std::string& name,
                           const std::vector<std::string>& argv, const std::string& icon = {});
std::string CreateShortcut(int shellFolder, const std::string& name, const std::vector<std::string>& argv,
                           const std::string& icon = {});
// The Exec= value for an argument vector: each argument quoted when it needs it, with the
// escapes the desktop-entry format asks for ("%" doubled).
std::string DesktopExecLine(const std::vector<std::string>& argv);
// A value of a desktop-entry key: "\n", "\t", "\r", "\\" escaped.
std::string DesktopEntryEscape(const std::string& value);

// A freedesktop icon name for a file name (used by the chapter tree). Cached per
// extension: the first name seen for an extension decides. Names ending in ".exe", names
// without an extension and "" give kExecutableIcon.
inline constexpr const char* kExecutableIcon = "application-x-executable";
inline constexpr const char* kGenericFileIcon = "text-x-generic";
std::string FileTypeIcon(const std::string& name);
void ResetFileTypeIcons();
// The MIME type guessed from the extension ("" when unknown).
std::string MimeTypeOfName(const std::string& name);

// Codes of a shell open, as the error table knows them.
inline constexpr int kShellOk = 0;
inline constexpr int kShellNotFound = 2;
inline constexpr int kShellAccessDenied = 5;
inline constexpr int kShellNoViewer = 31;

// Opens a file or an address with the desktop's associated program (xdg-open, started from
// an argument vector, never through a shell). `operation` ("open", "print", ...) is accepted
// for every verb and treated as open. Returns 0, 2 (missing file), 5 (not readable) or 31
// (no viewer: xdg-open missing or failing).
int ShellOpen(const std::string& operation, const std::string& file);
// The UI (or a test) may replace how files are opened; nullptr restores xdg-open.
using ShellOpener = std::function<int(const std::string& operation, const std::string& file)>;
void SetShellOpener(ShellOpener opener);

// The error box text for a failed shell open of `file` ("" when the code shows nothing).
// The name is shown without its folder; both "\" and "/" separate folders.
std::string ShellErrorText(int code, const std::string& file);
// Shows that text as an error box when there is one.
void ReportShellError(int code, const std::string& file);

} // namespace morvell
