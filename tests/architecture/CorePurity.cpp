// The core library must build without Qt: no file outside a qt/ folder may include a Qt header.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

TEST(CorePurity, NoQtHeaderOutsideQtFolders) {
    const fs::path src = fs::path(MORVELL_SOURCE_DIR) / "src";
    const std::regex qtInclude(R"(^\s*#\s*include\s*<Q)");
    std::vector<std::string> offenders;
    size_t scanned = 0;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file()) continue;
        const std::string path = entry.path().generic_string();
        if (path.find("/qt/") != std::string::npos) continue;
        const auto ext = entry.path().extension();
        if (ext != ".h" && ext != ".cpp") continue;
        ++scanned;
        std::ifstream in(entry.path());
        std::string line;
        int lineNo = 0;
        while (std::getline(in, line)) {
            ++lineNo;
            if (std::regex_search(line, qtInclude)) offenders.push_back(path + ":" + std::to_string(lineNo));
        }
    }
    EXPECT_GT(scanned, 0u) << "no core sources found under " << src;
    for (const auto& o : offenders) ADD_FAILURE() << "Qt header in core source " << o;
}
