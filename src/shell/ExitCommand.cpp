#include "shell/ExitCommand.h"

#include <spawn.h>

extern char** environ;

namespace morvell {

ExitCommand& PendingExitCommand() {
    static ExitCommand command;
    return command;
}

pid_t RunExitCommand(const ExitCommand& command) {
    if (!command.IsSet()) return -1;
    std::vector<std::string> strings;
    strings.push_back(command.program);
    strings.insert(strings.end(), command.parameters.begin(), command.parameters.end());
    std::vector<char*> argv;
    for (auto& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, command.program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

} // namespace morvell
