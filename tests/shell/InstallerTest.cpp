#include "shell/Installer.h"

#include "platform/Messages.h"
#include "shell/InstallManifest.h"
#include "shell/Options.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace morvell;
using morvell::test::ReadFile;
using morvell::test::ScopedEnv;
using morvell::test::TempHome;
using morvell::test::WriteFile;
namespace fs = std::filesystem;

namespace {

constexpr const char* kUninstallKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\morvell";
constexpr const char* kAppPathsKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\morvell";

// Every file below the home with its bytes, leaving out the options store (checked through
// its API) and the temporary folder (where the uninstall leaves its copy).
std::map<std::string, std::string> Snapshot(const fs::path& home) {
    std::map<std::string, std::string> files;
    for (auto& e : fs::recursive_directory_iterator(home)) {
        const std::string rel = fs::relative(e.path(), home).string();
        if (!e.is_regular_file() || rel.rfind("tmp/", 0) == 0 ||
            rel.find("registry.sqlite") != std::string::npos)
            continue;
        files[rel] = ReadFile(e.path());
    }
    return files;
}

class InstallerTest : public ::testing::Test {
protected:
    TempHome home;
    ScopedEnv dataDirs{"XDG_DATA_DIRS", (home.Path() / "system-share").string()};
    fs::path folder = home.Path() / "Ebook Folder";
    fs::path program = folder / "morvell";
    RecordingMessages messages;
    ScopedMessages scoped{messages};
    std::vector<std::vector<std::string>> tools;
    std::vector<std::pair<int, int>> pumps;
    ExitCommand exitCommand;

    void SetUp() override {
        WriteFile(program, "#!/bin/true\n");
        fs::permissions(program, fs::perms::owner_all);
        WriteFile(folder / "My_Guide.ovk", "book");
        WriteFile(folder / "second.ovk", "book");
    }
    Installer Make() {
        Installer installer(
            program.string(), folder.string(),
            FreedesktopIntegration([this](const std::vector<std::string>& argv) { tools.push_back(argv); }));
        installer.SetPump([this](int times, int pause) { pumps.emplace_back(times, pause); });
        return installer;
    }
    FreedesktopIntegration Desktop() {
        return FreedesktopIntegration([](const std::vector<std::string>&) {});
    }
    std::string Ebook(const std::string& name) { return (folder / name).lexically_normal().string(); }
};

TEST_F(InstallerTest, InstallWritesMenuIconFileTypeAndEntries) {
    messages.QueueAnswer(true); // desktop icon
    Make().Install({"/INIT", "My_Guide.ovk"}, false);
    auto desktop = Desktop();

    const std::string open = ReadFile(desktop.EbookLauncherPath(Ebook("My_Guide.ovk")));
    EXPECT_NE(open.find("Name=My Guide\n"), std::string::npos) << open;
    EXPECT_NE(open.find("Exec=\"" + program.string() + "\" \"" + Ebook("My_Guide.ovk") + "\"\n"),
              std::string::npos)
        << open;
    EXPECT_NE(open.find("Categories=X-Morvell-Ebooks;"), std::string::npos);
    const std::string remove = ReadFile(desktop.UninstallLauncherPath(Ebook("My_Guide.ovk")));
    EXPECT_NE(remove.find("Name=Uninstall My Guide\n"), std::string::npos) << remove;
    EXPECT_NE(remove.find("--deinst My_Guide.ovk\n"), std::string::npos) << remove;
    EXPECT_NE(ReadFile(desktop.MenuDirectoryPath()).find("Name=Ebooks"), std::string::npos);
    EXPECT_NE(ReadFile(desktop.MenuMergePath()).find("<Name>Ebooks</Name>"), std::string::npos);

    const std::string mime = ReadFile(desktop.MimePackagePath());
    EXPECT_NE(mime.find("type=\"application/x-ovk\""), std::string::npos);
    EXPECT_NE(mime.find("<glob pattern=\"*.ovk\"/>"), std::string::npos);
    EXPECT_NE(mime.find("<comment>vOsk hypertext/ebook</comment>"), std::string::npos);
    EXPECT_NE(ReadFile(desktop.HandlerLauncherPath()).find("MimeType=application/x-ovk;"), std::string::npos);
    EXPECT_EQ(
        InstallManifest::KeyFileValue(desktop.MimeAppsPath(), "Default Applications", "application/x-ovk"),
        "morvell.desktop;");
    EXPECT_TRUE(fs::exists(home.Path() / "Desktop" / "morvell.desktop"));

    EXPECT_EQ(options::ReadMachine(kUninstallKey, "DisplayName"), "Brasquon morvell");
    EXPECT_EQ(options::ReadMachine(kUninstallKey, "UninstallString"),
              "'" + program.string() + "' --deinst My_Guide.ovk");
    EXPECT_EQ(options::ReadMachine(kAppPathsKey, "Path"), folder.string());
    EXPECT_EQ(options::ReadOption("inst"), "1");
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Posso aggiungere un'icona sul Desktop?"});
    EXPECT_EQ(pumps, (std::vector<std::pair<int, int>>{{21, 50}}));
    EXPECT_FALSE(tools.empty());
}

TEST_F(InstallerTest, LastUninstallTakesBackExactlyWhatInstallWrote) {
    // Settings of the user's that must survive.
    const std::string userMimeApps =
        "[Default Applications]\ntext/plain=gedit.desktop\n\n[Added Associations]\n"
        "text/plain=gedit.desktop;\n";
    WriteFile(home.Path() / ".config" / "mimeapps.list", userMimeApps);
    WriteFile(home.Path() / ".local/share/applications/editor.desktop", "[Desktop Entry]\nName=Editor\n");
    const auto before = Snapshot(home.Path());

    messages.QueueAnswer(true);
    Make().Install({"/INIT", "My_Guide.ovk"}, false);
    ASSERT_NE(Snapshot(home.Path()), before);

    messages.Clear();
    messages.QueueAnswer(true);
    Make().Uninstall({"/DEINST", "My_Guide.ovk"}, exitCommand);

    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Sei sicuro di voler deinstallare?"});
    EXPECT_EQ(Snapshot(home.Path()), before);
    EXPECT_EQ(ReadFile(home.Path() / ".config" / "mimeapps.list"), userMimeApps);
    EXPECT_EQ(options::ReadMachine(kUninstallKey, "DisplayName"), "");
    EXPECT_EQ(options::ReadMachine(kAppPathsKey, "Path"), "");
    EXPECT_EQ(options::ReadOption("inst"), "0");
    EXPECT_EQ(options::ReadOption("LastFile"), "My_Guide.ovk");

    // The program folder is removed afterwards by a copy of the program outside it.
    const fs::path copy = home.Path() / "tmp" / "morvell";
    EXPECT_EQ(exitCommand.program, copy.string());
    EXPECT_EQ(exitCommand.parameters, (std::vector<std::string>{"--delete", folder.string()}));
    EXPECT_EQ(ReadFile(copy), "#!/bin/true\n");
    EXPECT_NE(fs::status(copy).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_TRUE(fs::exists(folder / "My_Guide.ovk"));
    EXPECT_EQ(pumps.back(), std::make_pair(25, 10));
}

TEST_F(InstallerTest, UninstallOfOneOfTwoKeepsTheMenuAndDeletesOnlyItsEbook) {
    messages.SetDefaultAnswer(false); // no desktop icons
    Make().Install({"--init", "My_Guide.ovk"}, false);
    Make().Install({"--init", "second.ovk"}, false);
    EXPECT_EQ(options::ReadOption("inst"), "2");
    auto desktop = Desktop();

    messages.QueueAnswer(true);
    Make().Uninstall({"--deinst", "My_Guide.ovk"}, exitCommand);
    EXPECT_FALSE(exitCommand.IsSet());
    EXPECT_EQ(options::ReadOption("inst"), "1");
    EXPECT_FALSE(fs::exists(folder / "My_Guide.ovk"));
    EXPECT_TRUE(fs::exists(folder / "second.ovk"));
    EXPECT_FALSE(fs::exists(desktop.EbookLauncherPath(Ebook("My_Guide.ovk"))));
    EXPECT_TRUE(fs::exists(desktop.EbookLauncherPath(Ebook("second.ovk"))));
    EXPECT_TRUE(fs::exists(desktop.MenuMergePath()));
    EXPECT_TRUE(fs::exists(desktop.MimePackagePath()));

    messages.QueueAnswer(true);
    Make().Uninstall({"--deinst", "second.ovk"}, exitCommand);
    EXPECT_TRUE(exitCommand.IsSet());
    EXPECT_FALSE(fs::exists(desktop.MenuMergePath()));
    EXPECT_FALSE(fs::exists(desktop.MenuDirectoryPath()));
    EXPECT_FALSE(fs::exists(desktop.MimePackagePath()));
}

TEST_F(InstallerTest, AnsweringNoChangesNothing) {
    messages.QueueAnswer(false); // no desktop icon
    Make().Install({"/INIT", "My_Guide.ovk"}, false);
    EXPECT_FALSE(fs::exists(home.Path() / "Desktop" / "morvell.desktop"));
    const auto installed = Snapshot(home.Path());

    messages.QueueAnswer(false);
    Make().Uninstall({"/DEINST", "My_Guide.ovk"}, exitCommand);
    EXPECT_EQ(Snapshot(home.Path()), installed);
    EXPECT_EQ(options::ReadOption("inst"), "1");
    EXPECT_EQ(options::ReadOption("LastFile"), "");
    EXPECT_EQ(options::ReadMachine(kUninstallKey, "DisplayName"), "Brasquon morvell");
    EXPECT_FALSE(exitCommand.IsSet());
}

TEST_F(InstallerTest, WithoutMenuSkipsLaunchersAndTheIconQuestion) {
    Make().Install({"/INITV", "My_Guide.ovk"}, true);
    EXPECT_TRUE(messages.Entries().empty());
    EXPECT_FALSE(fs::exists(Desktop().EbookLauncherPath(Ebook("My_Guide.ovk"))));
    EXPECT_FALSE(fs::exists(Desktop().MenuMergePath()));
    EXPECT_TRUE(fs::exists(Desktop().MimePackagePath()));
    EXPECT_EQ(options::ReadOption("inst"), "1");
}

TEST_F(InstallerTest, ExistingHandlerKeepsTheFileTypeAsItIs) {
    WriteFile(home.Path() / "system-share/applications/other.desktop",
              "[Desktop Entry]\nName=Other\nMimeType=text/plain;application/x-ovk;\n");
    Make().Install({"--initv", "My_Guide.ovk"}, true);
    EXPECT_FALSE(fs::exists(Desktop().MimePackagePath()));
    EXPECT_FALSE(fs::exists(Desktop().MimeAppsPath()));
    EXPECT_EQ(options::ReadMachine(kAppPathsKey, "Path"), "");
    EXPECT_EQ(options::ReadMachine(kUninstallKey, "DisplayName"), "Brasquon morvell");
}

TEST_F(InstallerTest, UsersOwnDesktopLauncherIsNeitherReplacedNorRemoved) {
    const fs::path own = home.Path() / "Desktop" / "morvell.desktop";
    WriteFile(own, "[Desktop Entry]\nName=mine\n");
    messages.QueueAnswer(true);
    Make().Install({"/INIT", "My_Guide.ovk"}, false);
    messages.QueueAnswer(true);
    Make().Uninstall({"/DEINST", "My_Guide.ovk"}, exitCommand);
    EXPECT_EQ(ReadFile(own), "[Desktop Entry]\nName=mine\n");
}

TEST_F(InstallerTest, CounterReadsNonNumbersAsZeroAndMissingAsOneOnUninstall) {
    options::WriteOption("inst", "abc");
    Make().Install({"/INITV", "My_Guide.ovk"}, true);
    EXPECT_EQ(options::ReadOption("inst"), "1");

    options::WriteOption("inst", "");
    messages.QueueAnswer(true);
    Make().Uninstall({"/DEINST", "My_Guide.ovk"}, exitCommand);
    EXPECT_EQ(options::ReadOption("inst"), "0");
    EXPECT_TRUE(exitCommand.IsSet()); // a missing counter means this was the only installation
}

TEST_F(InstallerTest, ProgramThatCannotBeCopiedLeavesSomethingToRemoveManually) {
    Installer installer((folder / "gone").string(), folder.string(), Desktop());
    installer.SetPump([](int, int) {});
    messages.QueueAnswer(true);
    installer.Uninstall({"/DEINST", "My_Guide.ovk"}, exitCommand);
    EXPECT_EQ(messages.Texts().back(), "Something to remove manually!");
    EXPECT_FALSE(exitCommand.IsSet());
}

TEST_F(InstallerTest, UninstallThatCannotRemoveALauncherSaysSo) {
    messages.SetDefaultAnswer(false);
    Make().Install({"/INIT", "My_Guide.ovk"}, false);
    // Something else took the launcher's place and cannot simply be unlinked.
    const fs::path launcher = Desktop().EbookLauncherPath(Ebook("My_Guide.ovk"));
    fs::remove(launcher);
    WriteFile(launcher / "inside", "x");
    messages.QueueAnswer(true);
    Make().Uninstall({"/DEINST", "My_Guide.ovk"}, exitCommand);
    EXPECT_EQ(messages.Texts().back(), "Error in deinstall. You may have to reinstall.");
    EXPECT_TRUE(fs::exists(launcher / "inside"));
}

TEST_F(InstallerTest, InstallRemovesSetupLeftoversFromTheTemporaryFolder) {
    WriteFile(home.Path() / "tmp" / "!!licenseE.txt", "x");
    WriteFile(home.Path() / "tmp" / "morvell", "x");
    WriteFile(home.Path() / "tmp" / "keep.txt", "x");
    Make().Install({"/INITV", "My_Guide.ovk"}, true);
    EXPECT_FALSE(fs::exists(home.Path() / "tmp" / "!!licenseE.txt"));
    EXPECT_FALSE(fs::exists(home.Path() / "tmp" / "morvell"));
    EXPECT_TRUE(fs::exists(home.Path() / "tmp" / "keep.txt"));
}

TEST(InstallerTitle, DropsFolderAndExtensionAndShowsUnderscoresAsBlanks) {
    EXPECT_EQ(Installer::TitleOf("My_Guide.ovk"), "My Guide");
    EXPECT_EQ(Installer::TitleOf("/books/a_b_c.OVK"), "a b c");
    EXPECT_EQ(Installer::TitleOf("plain"), "plain");
}

} // namespace
