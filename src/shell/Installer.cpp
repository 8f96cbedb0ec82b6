#include "shell/Installer.h"

#include "platform/Files.h"
#include "platform/Messages.h"
#include "shell/Options.h"
#include "shell/StartupTexts.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace morvell {

namespace {

// "inst" as a number; `fallback` when it is missing or not a number.
int ReadCounter(int fallback) {
    const std::string text = options::ReadOption(startup_texts::kOptInst);
    if (text.empty()) return fallback;
    std::size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i == text.size() || text.size() > 9) return fallback;
    for (std::size_t j = i; j < text.size(); ++j)
        if (text[j] < '0' || text[j] > '9') return fallback;
    return std::stoi(text);
}

// A command line a user can paste into a shell.
std::string ShellWord(const std::string& word) {
    if (!word.empty() &&
        word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                               "_-./+,:=@%") == std::string::npos)
        return word;
    std::string quoted = "'";
    for (char c : word) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

void RemovePlainFile(const std::string& path) {
    std::error_code ec;
    if (fs::is_regular_file(fs::symlink_status(path, ec))) fs::remove(path, ec);
}

} // namespace

Installer::Installer(std::string programPath, std::string programFolder, FreedesktopIntegration desktop)
    : m_programPath(std::move(programPath)), m_programFolder(std::move(programFolder)),
      m_desktop(std::move(desktop)), m_pump(PumpMessages) {}

std::string Installer::TitleOf(const std::string& argument) {
    std::string title = fs::path(argument).stem().string();
    for (char& c : title)
        if (c == '_') c = ' ';
    return title;
}

std::string Installer::EbookPath(const std::string& argument) const {
    fs::path p(argument);
    if (p.is_relative()) p = fs::path(m_programFolder) / p;
    return p.lexically_normal().string();
}

std::string Installer::ProgramFileName() const { return fs::path(m_programPath).filename().string(); }

void Installer::AddMenuAndIcon(const std::string& argument, const std::string& title) {
    // The original installer fed a DDE program manager and showed "PM: No set link!" and
    // "PM error 2" when it failed. Linux desktops have no such service: the menu is made of
    // files, so those boxes have nothing to report and are never shown.
    try {
        // Without an ebook there is nothing for the launchers to open.
        if (!argument.empty()) m_desktop.AddEbookMenu(m_programPath, EbookPath(argument), argument, title);
    } catch (const InstallError&) {
        return; // a failed menu skips the rest of this step, the desktop icon included
    }
    if (Msg().Question(startup_texts::kAskDesktopIcon)) m_desktop.AddDesktopIcon(m_programPath);
}

void Installer::Install(const std::vector<std::string>& args, bool withoutMenu) {
    const std::string argument = args.size() > 1 ? args[1] : std::string();
    try {
        // A setup may have left these in the temporary folder; never the running program itself.
        const std::string temp = TempFolder();
        RemovePlainFile(temp + startup_texts::kLicenseLeftover);
        const std::string leftover = temp + ProgramFileName();
        std::error_code ec;
        if (!fs::equivalent(leftover, m_programPath, ec)) RemovePlainFile(leftover);

        if (!withoutMenu) AddMenuAndIcon(argument, TitleOf(argument));

        if (!m_desktop.HasFileTypeHandler()) {
            m_desktop.RegisterFileType(m_programPath);
            options::WriteMachine(startup_texts::kAppPathsKeyRoot + ProgramFileName(),
                                  startup_texts::kValuePath, m_programFolder);
        }

        const std::string uninstallKey = startup_texts::kUninstallKeyRoot + ProgramFileName();
        options::WriteMachine(uninstallKey, startup_texts::kValueDisplayName,
                              startup_texts::kDisplayNamePrefix + fs::path(m_programPath).stem().string());
        options::WriteMachine(uninstallKey, startup_texts::kValueUninstallString,
                              ShellWord(m_programPath) + " --deinst " + ShellWord(argument));

        options::WriteOption(startup_texts::kOptInst, std::to_string(ReadCounter(0) + 1));
        m_pump(21, 50);
    } catch (const std::exception&) {
        // An install that fails part-way ends quietly; the reader starts all the same.
    }
}

void Installer::Uninstall(const std::vector<std::string>& args, ExitCommand& exitCommand) {
    if (!Msg().Question(startup_texts::kAskUninstall)) return;
    try {
        UninstallSteps(args, exitCommand);
    } catch (const std::exception&) {
        Msg().Information(startup_texts::kUninstallError);
    }
}

void Installer::UninstallSteps(const std::vector<std::string>& args, ExitCommand& exitCommand) {
    const std::string argument = args.size() > 1 ? args[1] : std::string();
    if (!argument.empty() && !m_desktop.RemoveEbookMenu(EbookPath(argument)))
        throw InstallError("menu entries left behind");

    options::DeleteMachineKey(startup_texts::kAppPathsKeyRoot + ProgramFileName());
    options::DeleteMachineKey(startup_texts::kUninstallKeyRoot + ProgramFileName());

    const int inst = ReadCounter(1);
    options::WriteOption(startup_texts::kOptLastFile, argument);
    options::WriteOption(startup_texts::kOptInst, std::to_string(inst - 1));

    if (inst < 2) {
        // The program itself goes, so what points at it goes too.
        if (!m_desktop.RemoveProgramEntries()) throw InstallError("desktop entries left behind");
        // The folder cannot be removed while this program runs from it: a copy outside the
        // folder does it after this process has ended.
        const std::string copy = TempFolder() + ProgramFileName();
        std::error_code ec;
        if (CopyFile(m_programPath, copy)) {
            fs::permissions(copy, fs::perms::owner_exec | fs::perms::owner_read, fs::perm_options::add, ec);
            exitCommand.program = copy;
            exitCommand.parameters = {"--delete", m_programFolder};
        } else {
            Msg().Information(startup_texts::kRemoveManually);
        }
    } else if (!argument.empty()) {
        RemovePlainFile(EbookPath(argument));
    }
    m_pump(25, 10);
}

} // namespace morvell
