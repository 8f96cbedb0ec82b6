#pragma once
// The installer's desktop side on a freedesktop desktop: the menu folder "Ebooks" with a
// launcher per ebook and its uninstall launcher, the desktop icon, and the MIME type
// application/x-ovk with the reader as its handler. All paths follow the XDG variables at
// the time of the call. Everything written is recorded in manifests next to the options
// store, and the removals take back exactly what is recorded there.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace morvell {

class InstallError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class FreedesktopIntegration {
public:
    // Runs a desktop database tool (update-mime-database, update-desktop-database).
    using ToolRunner = std::function<void(const std::vector<std::string>& argv)>;

    // Without a runner the tools run when they are installed; their absence is fine, the
    // desktop then picks the files up at its next scan.
    explicit FreedesktopIntegration(ToolRunner runner = {});

    static std::string DataHome();              // $XDG_DATA_HOME or ~/.local/share
    static std::string ConfigHome();            // $XDG_CONFIG_HOME or ~/.config
    static std::vector<std::string> DataDirs(); // $XDG_DATA_DIRS or /usr/local/share:/usr/share
    // Where the manifests live: an "install" folder beside the options store.
    static std::string ManifestFolder();

    // A file-name-safe identity of an installed ebook: its name, and a hash of its full
    // path so that two ebooks of the same name never share launchers.
    static std::string EbookId(const std::string& ebookPath);

    std::string EbookLauncherPath(const std::string& ebookPath) const;
    std::string UninstallLauncherPath(const std::string& ebookPath) const;
    std::string MenuDirectoryPath() const;
    std::string MenuMergePath() const;
    std::string HandlerLauncherPath() const;
    std::string MimePackagePath() const;
    std::string MimeAppsPath() const;
    std::string EbookManifestPath(const std::string& ebookPath) const;
    std::string MenuManifestPath() const;
    std::string ProgramManifestPath() const;

    // The menu folder "Ebooks" (shared by every installed ebook) and the two launchers of
    // one ebook: one opens `ebookPath`, "Uninstall " + title runs the program with
    // --deinst and `uninstallArgument`. Throws InstallError when a file cannot be written.
    void AddEbookMenu(const std::string& programPath, const std::string& ebookPath,
                      const std::string& uninstallArgument, const std::string& title);
    // Removes the ebook's launchers, and the menu folder once no ebook is left in it.
    bool RemoveEbookMenu(const std::string& ebookPath);

    // A launcher of the program on the desktop, named after the program file. A launcher of
    // that name that we did not write is left alone. False when it could not be written.
    bool AddDesktopIcon(const std::string& programPath);

    // True when some application already declares application/x-ovk, or the user chose a
    // default application for it.
    bool HasFileTypeHandler() const;
    // The MIME type (glob *.ovk and the "QELB" magic), the reader's handler launcher and the
    // user's default application for the type. Throws InstallError when a file cannot be
    // written.
    void RegisterFileType(const std::string& programPath);

    // Takes back the desktop icon and the file type (the program is going away).
    bool RemoveProgramEntries();

private:
    void RunTools(bool mime, bool applications);
    ToolRunner m_runner;
};

} // namespace morvell
