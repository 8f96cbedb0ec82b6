#pragma once
// A program the reader starts after its event loop has ended: the last uninstall hands
// the removal of the program folder to a copy of the program outside that folder.

#include <string>
#include <sys/types.h>
#include <vector>

namespace morvell {

struct ExitCommand {
    std::string program;
    std::vector<std::string> parameters;
    // Only a command with parameters is run.
    bool IsSet() const { return !program.empty() && !parameters.empty(); }
};

// The process-wide exit command, empty unless the uninstall set it.
ExitCommand& PendingExitCommand();

// Starts the command from an argument vector (posix_spawn, never a shell) and does not
// wait for it. The child's pid, or -1 when it could not be started.
pid_t RunExitCommand(const ExitCommand& command);

} // namespace morvell
