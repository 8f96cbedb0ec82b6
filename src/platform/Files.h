#pragma once
// File and folder helpers of the reader. Paths are native (POSIX) paths; ebook paths
// written with "\" are mapped elsewhere before they get here.

#include <functional>
#include <stdexcept>
#include <string>

namespace morvell {

// Raised by CreateFolder for an empty path; caught inside the component that calls it.
class PlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

bool FileExists(const std::string& path);   // a regular file (symlinks followed)
bool FolderExists(const std::string& path); // a directory (symlinks followed)

// Creates the folder and all missing parents; a trailing "/" (or "\") is ignored.
// Throws PlatformError("Unable to create directory") for an empty path; false when the
// folder cannot be created.
bool CreateFolder(const std::string& path);

// The system temporary folder ($TMPDIR, else /tmp) with a trailing "/", created when
// missing. When it still does not exist the error box of the temporary folder is shown
// (the path is returned anyway, so callers fail on their own file operation).
std::string TempFolder();

// Deletes every file and folder below `folder`, then the folder. Errors are ignored;
// symbolic links are removed, never followed, so nothing outside the tree is touched.
void DeleteTree(const std::string& folder);

// Deletes the plain files directly in `folder` (no sub-folders, no recursion).
void DeleteFiles(const std::string& folder);

// The first plain file of `folder` (in name order) whose name matches `mask` ("*" and "?",
// case-insensitive, "*.ovk" style), as a full path; "" when there is none.
std::string FirstFileMatching(const std::string& folder, const std::string& mask);
bool MaskMatches(const std::string& mask, const std::string& name);

// Copies a file, overwriting the target. True on success.
bool CopyFile(const std::string& from, const std::string& to);

// Writes `bytes` to `path` through a temporary file in the same folder, fsync and a rename, so
// a reader never sees half a file and a crash leaves the old one. Missing folders are created.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

// Runs the installed message pump `times` times, sleeping `pauseMs` after each.
void PumpMessages(int times, int pauseMs);
// The UI installs QCoreApplication::processEvents here; without a pump only the pauses run.
void SetMessagePump(std::function<void()> pump);

// Adds the file to the desktop's recently-used list ($XDG_DATA_HOME/recently-used.xbel),
// keeping the entries already there; the list is replaced atomically. False when the
// list cannot be written or the existing one is not an XBEL file we can safely edit.
bool AddRecentDocument(const std::string& path);
// The list's location.
std::string RecentDocumentsFile();

} // namespace morvell
