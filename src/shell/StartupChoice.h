#pragma once
// Which ebook the reader shows first, and where the program lives.

#include <string>
#include <vector>

namespace morvell {

struct StartupChoice {
    // Absolute path of an existing ebook file, or empty when the command line and the
    // program folder give none.
    std::string path;
    // "vosk://" + path + "|" + target for each page request of the command line.
    std::vector<std::string> pageRequests;
    // Still set only when the ebook came from the command line.
    bool brochure = false;
};

// The running executable (from /proc/self/exe, else `argv0` made absolute).
std::string ProgramPath(const std::string& argv0);
// The folder the program's own ebooks sit in: $MORVELL_PROGRAM_DIR when set, else the
// folder of `programPath`. No trailing "/".
std::string ProgramFolder(const std::string& programPath);

// The first ebook: the path of the command line; a relative one is tried against the
// current folder, then against the program folder. When that names no file, the first
// "*.ovk" of the program folder. `args` exclude the program name.
StartupChoice ChooseStartupEbook(const std::vector<std::string>& args, const std::string& programFolder,
                                 const std::string& currentFolder, bool brochure);

// What to open when the start-up choice gives no file: "LastFile" unless "AtStartBlank"
// is "1"; empty for the blank reader.
std::string FallbackEbook();

} // namespace morvell
