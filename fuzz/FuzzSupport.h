#pragma once
// Shared by the fuzz targets: boxes go nowhere (a fuzzer would otherwise print thousands), and a
// per-process scratch file for parsers that open their input by path.

#include "platform/Messages.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace fuzz {

class SilentMessages : public morvell::Messages {
public:
    void Information(const std::string&) override {}
    void Warning(const std::string&) override {}
    void Error(const std::string&) override {}
    bool Question(const std::string&) override { return false; }
    void Plain(const std::string&) override {}
};

// "$TMPDIR/<stem>_<pid>.ovk", the same path for the whole run of one target.
inline std::string ScratchPath(const std::string& stem) {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/" + stem + "_" + std::to_string(getpid()) + ".ovk";
}

} // namespace fuzz
