#pragma once
// Runs one of the programs of the build (ovktool, ovkbuild, morvell) with an argument vector
// and collects its exit code, standard output and standard error.

#include "support/TestSupport.h"

#include <string>
#include <vector>

namespace morvell::test {

struct RunResult {
    int exitCode = -1;
    std::string out, err;
};

// `program` is a file name in the top build folder; its output goes through files in `dir`.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args, const TempDir& dir);

} // namespace morvell::test
