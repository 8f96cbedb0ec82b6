// ovktool: the command-line companion of the reader. Its output is a contract other tools
// rely on; every verb prints JSON or plain UTF-8 text and reports failures on stderr.
#include "Verbs.h"

#include "platform/Messages.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace ovktool {

std::vector<Verb>& Verbs() {
    static std::vector<Verb> verbs;
    return verbs;
}

int UsageError(const std::string& verbName) {
    for (const auto& v : Verbs()) {
        if (v.name == verbName) {
            std::cerr << "usage: ovktool " << v.usage << "\n";
            return 2;
        }
    }
    std::cerr << "ovktool: unknown verb " << verbName << "\n";
    return 2;
}

static void PrintHelp() {
    std::cout << "ovktool " << MORVELL_VERSION << " - inspect .ovk ebooks from the command line\n\n"
              << "usage: ovktool VERB ARGS...\n\nverbs:\n";
    auto verbs = Verbs();
    std::sort(verbs.begin(), verbs.end(), [](const Verb& a, const Verb& b) { return a.name < b.name; });
    for (const auto& v : verbs) {
        std::cout << "  " << v.usage << "\n      " << v.summary << "\n";
    }
    std::cout << "\n  --help       this text\n  --version    the version\n";
}

} // namespace ovktool

int main(int argc, char** argv) {
    using namespace ovktool;
    morvell::StderrMessages messages(false);
    morvell::ScopedMessages scoped(messages);
    morvell::SetApplicationTitle("ovktool");

    if (argc < 2) {
        PrintHelp();
        return 2;
    }
    std::string verb = argv[1];
    if (verb == "--help" || verb == "-h" || verb == "help") {
        PrintHelp();
        return 0;
    }
    if (verb == "--version") {
        std::cout << "ovktool " << MORVELL_VERSION << "\n";
        return 0;
    }
    Args args(argv + 2, argv + argc);
    for (const auto& v : Verbs()) {
        if (v.name == verb) return v.run(args);
    }
    std::cerr << "ovktool: unknown verb '" << verb << "' (try ovktool --help)\n";
    return 2;
}
