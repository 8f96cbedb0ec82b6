#include "shell/StartupChoice.h"

#include "platform/Files.h"
#include "shell/Options.h"
#include "shell/StartupSwitches.h"
#include "shell/StartupTexts.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace morvell {

std::string ProgramPath(const std::string& argv0) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty()) return self.string();
    if (argv0.empty()) return {};
    return fs::absolute(argv0, ec).lexically_normal().string();
}

std::string ProgramFolder(const std::string& programPath) {
    if (const char* dir = std::getenv("MORVELL_PROGRAM_DIR"); dir && *dir) {
        std::string folder = dir;
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        return folder;
    }
    return fs::path(programPath).parent_path().string();
}

StartupChoice ChooseStartupEbook(const std::vector<std::string>& args, const std::string& programFolder,
                                 const std::string& currentFolder, bool brochure) {
    StartupChoice choice;
    choice.brochure = brochure;
    std::string p = CommandLinePath(args);
    if (!p.empty()) {
        fs::path given(p);
        if (given.is_relative()) {
            // A name given relative to where the user stands wins over one next to the
            // program, the way a shell user expects.
            fs::path here = (fs::path(currentFolder) / given).lexically_normal();
            p = FileExists(here.string()) ? here.string()
                                          : (fs::path(programFolder) / given).lexically_normal().string();
        }
    }
    if (!FileExists(p)) {
        p = FirstFileMatching(programFolder, "*.ovk");
        choice.brochure = false;
    }
    if (!FileExists(p)) return choice;
    choice.path = p;
    choice.pageRequests = PageRequests(args, p);
    return choice;
}

std::string FallbackEbook() {
    std::string last = options::ReadOption(startup_texts::kOptLastFile);
    if (last.empty() || options::ReadOption(startup_texts::kOptAtStartBlank) == "1") return {};
    return last;
}

} // namespace morvell
