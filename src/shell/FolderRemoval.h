#pragma once
// "--delete"/"/DELETE" folder: the last step of an uninstall, run by a copy of the program
// from the temporary folder once the uninstalling process has gone.

#include <functional>
#include <string>
#include <vector>

namespace morvell {

// Why a folder may not be removed, or empty when it may. The folder must be an existing
// absolute folder that neither is nor holds the root, the home folder, a system folder
// (/usr, /bin, /etc, ...), an XDG base folder or the temporary folder. Symbolic links and
// ".." are resolved first, so "/usr/../" is the root.
std::string FolderRemovalRefusal(const std::string& folder);
inline bool IsRemovableFolder(const std::string& folder) { return FolderRemovalRefusal(folder).empty(); }

// Waits 500 ms (through `sleepMs`, so tests need not), then, when `args` (without the
// program name) has at least two entries and args[1] passes the guard, asks
// "Posso cancellare la directory <args[1]>?" and on yes deletes the tree twice.
// True when the folder was deleted.
bool RemoveFolder(const std::vector<std::string>& args, const std::function<void(int)>& sleepMs = {});

} // namespace morvell
