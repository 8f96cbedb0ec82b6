#pragma once
// ovktool's verbs register themselves from their own source files, so adding a verb never
// touches main.cpp. A verb gets its arguments after the verb name and returns the exit code.

#include <string>
#include <vector>

namespace ovktool {

using Args = std::vector<std::string>;

struct Verb {
    std::string name;
    std::string usage;   // one line for --help, e.g. "info FILE"
    std::string summary; // what it prints
    int (*run)(const Args& args);
};

std::vector<Verb>& Verbs();

struct VerbRegistrar {
    explicit VerbRegistrar(Verb verb) { Verbs().push_back(std::move(verb)); }
};

// Prints a usage error for the verb on stderr and returns the exit code 2.
int UsageError(const std::string& verbName);

} // namespace ovktool
