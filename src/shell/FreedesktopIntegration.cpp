#include "shell/FreedesktopIntegration.h"

#include "platform/Registry.h"
#include "platform/Files.h"
#include "platform/XmlEscape.h"
#include "platform/Shell.h"
#include "shell/InstallManifest.h"
#include "shell/StartupSwitches.h"
#include "shell/StartupTexts.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

namespace fs = std::filesystem;

namespace morvell {

namespace {

constexpr const char* kMenuCategory = "X-Morvell-Ebooks";
constexpr const char* kMenuDirectoryFile = "morvell-ebooks.directory";
constexpr const char* kMenuMergeFile = "morvell-ebooks.menu";
constexpr const char* kHandlerFile = "morvell.desktop";
constexpr const char* kMimePackageFile = "morvell-ovk.xml";
constexpr const char* kLauncherIcon = "accessories-dictionary";
constexpr const char* kDefaultApplications = "Default Applications";

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : fallback;
}

std::string Home() { return EnvOr("HOME", "/"); }

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

void WriteOrThrow(const std::string& path, const std::string& text) {
    if (!WriteFileAtomically(path, text)) throw InstallError("cannot write " + path);
}

std::string Launcher(const std::string& name, const std::string& exec, const std::string& extra) {
    return "[Desktop Entry]\nType=Application\nVersion=1.0\nName=" + DesktopEntryEscape(name) +
           "\nExec=" + exec + "\nIcon=" + kLauncherIcon + "\nTerminal=false\n" + extra;
}


// Runs a tool found on PATH with its output discarded and waits for it. A missing tool is
// not an error: the desktop rescans these folders by itself sooner or later.
void RunToolQuietly(const std::vector<std::string>& args) {
    std::vector<std::string> strings = args;
    std::vector<char*> argv;
    for (auto& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}

bool DeclaresOvk(const fs::path& desktopFile) {
    std::string types = InstallManifest::KeyFileValue(desktopFile.string(), "Desktop Entry", "MimeType");
    std::stringstream ss(types);
    std::string type;
    while (std::getline(ss, type, ';'))
        if (type == startup_texts::kMimeType) return true;
    return false;
}

bool AnyApplicationDeclaresOvk(const std::string& dataDir) {
    std::error_code ec;
    fs::path apps = fs::path(dataDir) / "applications";
    for (fs::recursive_directory_iterator it(apps, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() == ".desktop" && it->is_regular_file(ec) && DeclaresOvk(it->path()))
            return true;
    }
    return false;
}

} // namespace

FreedesktopIntegration::FreedesktopIntegration(ToolRunner runner) : m_runner(std::move(runner)) {
    if (!m_runner) m_runner = RunToolQuietly;
}

std::string FreedesktopIntegration::DataHome() { return EnvOr("XDG_DATA_HOME", Home() + "/.local/share"); }
std::string FreedesktopIntegration::ConfigHome() { return EnvOr("XDG_CONFIG_HOME", Home() + "/.config"); }

std::vector<std::string> FreedesktopIntegration::DataDirs() {
    std::vector<std::string> dirs;
    std::stringstream ss(EnvOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share"));
    std::string dir;
    while (std::getline(ss, dir, ':'))
        if (!dir.empty()) dirs.push_back(dir);
    return dirs;
}

std::string FreedesktopIntegration::ManifestFolder() {
    return (Registry::DefaultPath().parent_path() / "install").string();
}

std::string FreedesktopIntegration::EbookId(const std::string& ebookPath) {
    std::string stem = LowerCaseAscii(fs::path(ebookPath).stem().string());
    std::string id;
    for (char c : stem) id += ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) ? c : '-';
    if (id.empty()) id = "ebook";
    // FNV-1a of the full path.
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : ebookPath) hash = (hash ^ c) * 16777619u;
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", hash);
    return id + "-" + hex;
}

std::string FreedesktopIntegration::EbookLauncherPath(const std::string& ebookPath) const {
    return DataHome() + "/applications/morvell-ebook-" + EbookId(ebookPath) + ".desktop";
}
std::string FreedesktopIntegration::UninstallLauncherPath(const std::string& ebookPath) const {
    return DataHome() + "/applications/morvell-uninstall-" + EbookId(ebookPath) + ".desktop";
}
std::string FreedesktopIntegration::MenuDirectoryPath() const {
    return DataHome() + "/desktop-directories/" + kMenuDirectoryFile;
}
std::string FreedesktopIntegration::MenuMergePath() const {
    return ConfigHome() + "/menus/applications-merged/" + kMenuMergeFile;
}
std::string FreedesktopIntegration::HandlerLauncherPath() const {
    return DataHome() + "/applications/" + kHandlerFile;
}
std::string FreedesktopIntegration::MimePackagePath() const {
    return DataHome() + "/mime/packages/" + kMimePackageFile;
}
std::string FreedesktopIntegration::MimeAppsPath() const { return ConfigHome() + "/mimeapps.list"; }
std::string FreedesktopIntegration::EbookManifestPath(const std::string& ebookPath) const {
    return ManifestFolder() + "/ebook-" + EbookId(ebookPath) + ".manifest";
}
std::string FreedesktopIntegration::MenuManifestPath() const { return ManifestFolder() + "/menu.manifest"; }
std::string FreedesktopIntegration::ProgramManifestPath() const {
    return ManifestFolder() + "/program.manifest";
}

void FreedesktopIntegration::RunTools(bool mime, bool applications) {
    if (mime) m_runner({"update-mime-database", DataHome() + "/mime"});
    if (applications) m_runner({"update-desktop-database", DataHome() + "/applications"});
}

void FreedesktopIntegration::AddEbookMenu(const std::string& programPath, const std::string& ebookPath,
                                          const std::string& uninstallArgument, const std::string& title) {
    // The shared folder first, recorded on its own: it stays while any ebook is in it.
    InstallManifest menu(MenuManifestPath());
    menu.Load();
    const std::string directory = MenuDirectoryPath();
    if (menu.HasFile(directory) || !Exists(directory)) {
        WriteOrThrow(directory, std::string("[Desktop Entry]\nType=Directory\nVersion=1.0\nName=") +
                                    startup_texts::kProgramGroup + "\nIcon=folder\n");
        menu.AddFile(directory);
    }
    const std::string merge = MenuMergePath();
    if (menu.HasFile(merge) || !Exists(merge)) {
        WriteOrThrow(merge, std::string("<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                                        " \"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">\n"
                                        "<Menu>\n  <Name>Applications</Name>\n  <Menu>\n    <Name>") +
                                startup_texts::kProgramGroup + "</Name>\n    <Directory>" +
                                kMenuDirectoryFile + "</Directory>\n    <Include>\n      <Category>" +
                                kMenuCategory + "</Category>\n    </Include>\n  </Menu>\n</Menu>\n");
        menu.AddFile(merge);
    }
    if (!menu.Save()) throw InstallError("cannot record " + menu.Path());

    InstallManifest ebook(EbookManifestPath(ebookPath));
    ebook.Load();
    const std::string categories = std::string("Categories=") + kMenuCategory + ";\n";
    const std::string open = EbookLauncherPath(ebookPath);
    // Recorded before it is written: a launcher half-written by a failed install still goes.
    ebook.AddFile(open);
    const std::string remove = UninstallLauncherPath(ebookPath);
    ebook.AddFile(remove);
    if (!ebook.Save()) throw InstallError("cannot record " + ebook.Path());
    WriteOrThrow(open, Launcher(title, DesktopExecLine({programPath, ebookPath}), categories));
    WriteOrThrow(remove, Launcher(startup_texts::kUninstallItemPrefix + title,
                                  DesktopExecLine({programPath, "--deinst", uninstallArgument}), categories));
    RunTools(false, true);
}

bool FreedesktopIntegration::RemoveEbookMenu(const std::string& ebookPath) {
    InstallManifest ebook(EbookManifestPath(ebookPath));
    ebook.Load();
    bool ok = ebook.RemoveAll();
    // The folder goes with its last ebook.
    bool othersLeft = false;
    std::error_code ec;
    for (fs::directory_iterator it(ManifestFolder(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("ebook-", 0) == 0 && it->path().extension() == ".manifest") othersLeft = true;
    }
    if (!othersLeft) {
        InstallManifest menu(MenuManifestPath());
        menu.Load();
        ok = menu.RemoveAll() && ok;
    }
    RunTools(false, true);
    return ok;
}

bool FreedesktopIntegration::AddDesktopIcon(const std::string& programPath) {
    InstallManifest program(ProgramManifestPath());
    program.Load();
    const std::string folder = ShellFolder(1);
    if (folder.empty()) return false;
    const std::string name = fs::path(programPath).filename().string();
    const std::string path = folder + "/" + name + ".desktop";
    if (Exists(path) && !program.HasFile(path)) return false; // the user's own launcher
    // Recorded before it is written, so that even a half-written launcher is taken back.
    program.AddFile(path);
    if (!program.Save()) return false;
    const std::string written = CreateShortcut(folder, name, {programPath}, kLauncherIcon);
    if (written.empty()) return false;
    if (written != path) {
        program.AddFile(written);
        return program.Save();
    }
    return true;
}

bool FreedesktopIntegration::HasFileTypeHandler() const {
    if (!InstallManifest::KeyFileValue(MimeAppsPath(), kDefaultApplications, startup_texts::kMimeType)
             .empty())
        return true;
    if (AnyApplicationDeclaresOvk(DataHome())) return true;
    for (const auto& dir : DataDirs())
        if (AnyApplicationDeclaresOvk(dir)) return true;
    return false;
}

void FreedesktopIntegration::RegisterFileType(const std::string& programPath) {
    InstallManifest program(ProgramManifestPath());
    program.Load();
    const std::string package = MimePackagePath();
    const std::string handler = HandlerLauncherPath();
    const std::string mimeApps = MimeAppsPath();
    const std::string defaultLine = std::string(startup_texts::kMimeType) + "=" + kHandlerFile + ";";
    program.AddFile(package);
    program.AddFile(handler);
    if (!Exists(mimeApps)) program.AddKeyFile(mimeApps);
    program.AddLine(mimeApps, kDefaultApplications, defaultLine);
    if (!program.Save()) throw InstallError("cannot record " + program.Path());

    WriteOrThrow(package,
                 std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                             "  <mime-type type=\"") +
                     startup_texts::kMimeType + "\">\n    <comment>" +
                     XmlEscape(startup_texts::kFileTypeName) +
                     "</comment>\n    <generic-icon name=\"x-office-document\"/>\n"
                     "    <magic priority=\"50\">\n      <match type=\"string\" offset=\"0\" "
                     "value=\"QELB\"/>\n    </magic>\n    <glob pattern=\"*.ovk\"/>\n  </mime-type>\n"
                     "</mime-info>\n");
    WriteOrThrow(handler,
                 Launcher(startup_texts::kApplicationName, DesktopExecLine({programPath}) + " %f",
                          std::string("MimeType=") + startup_texts::kMimeType + ";\nNoDisplay=true\n"));
    if (!InstallManifest::AddKeyFileLine(mimeApps, kDefaultApplications, defaultLine))
        throw InstallError("cannot write " + mimeApps);
    RunTools(true, true);
}

bool FreedesktopIntegration::RemoveProgramEntries() {
    InstallManifest program(ProgramManifestPath());
    program.Load();
    bool hadMime = false;
    for (const auto& e : program.Entries()) hadMime = hadMime || e.path == MimePackagePath();
    bool ok = program.RemoveAll();
    if (hadMime) RunTools(true, true);
    return ok;
}

} // namespace morvell
