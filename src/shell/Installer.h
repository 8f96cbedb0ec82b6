#pragma once
// The reader as its own installer and uninstaller ("--init"/"/INIT", "--deinst"/"/DEINST").
// Argument 2 of the command line names the ebook the installation serves, relative to the
// program folder or absolute.

#include "shell/ExitCommand.h"
#include "shell/FreedesktopIntegration.h"

#include <functional>
#include <string>
#include <vector>

namespace morvell {

class Installer {
public:
    using Pump = std::function<void(int times, int pauseMs)>;

    // `programPath` is the running executable, `programFolder` the folder its ebooks are in.
    Installer(std::string programPath, std::string programFolder,
              FreedesktopIntegration desktop = FreedesktopIntegration());

    // Tests replace the message pump so that the pauses do not slow them down.
    void SetPump(Pump pump) { m_pump = std::move(pump); }

    // `args` exclude the program name; args[1] is the ebook. Errors end the install silently.
    void Install(const std::vector<std::string>& args, bool withoutMenu);
    // Asks first; on the last installation sets `exitCommand` to a copy of the program in the
    // temporary folder that removes the program folder once this process has gone.
    void Uninstall(const std::vector<std::string>& args, ExitCommand& exitCommand);

    // The menu title of an ebook: its file name without extension, "_" shown as a blank.
    static std::string TitleOf(const std::string& argument);
    // The ebook file an argument names.
    std::string EbookPath(const std::string& argument) const;
    std::string ProgramFileName() const;

private:
    void AddMenuAndIcon(const std::string& argument, const std::string& title);
    void UninstallSteps(const std::vector<std::string>& args, ExitCommand& exitCommand);

    std::string m_programPath;
    std::string m_programFolder;
    FreedesktopIntegration m_desktop;
    Pump m_pump;
};

} // namespace morvell
