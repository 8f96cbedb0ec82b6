#include "platform/Shell.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace morvell {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScopedEnv;
using test::TempDir;
using test::TempHome;
using test::WriteFile;

TEST(Shell, ErrorTextsByCode) {
    struct Case {
        int code;
        const char* text;
    } cases[] = {
        {2, "Errore nell'apertura file: a.xyz"},
        {3, "Errore nell'apertura file: a.xyz"},
        {5, "Access Denied: a.xyz"},
        {8, "8 Error on a.xyz"},
        {11, "11 Error on a.xyz"},
        {26, "26 Error on a.xyz"},
        {28, "28 Error on a.xyz"},
        {29, "29 Error on a.xyz"},
        {30, "30 Error on a.xyz"},
        {32, "32 Error on a.xyz"},
        {27, "Sembra che il visualizzatore per il file non sia presente. File: a.xyz"},
        {31, "Sembra che il visualizzatore per il file non sia presente. File: a.xyz"},
        {0, ""},
        {1, ""},
        {33, ""},
        {-1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ShellErrorText(c.code, "C:\\docs\\a.xyz"), c.text) << c.code;
    EXPECT_EQ(ShellErrorText(2, "/home/u/docs/a.xyz"), "Errore nell'apertura file: a.xyz");
    EXPECT_EQ(ShellErrorText(2, "C:\\mixed/dir\\a.xyz"), "Errore nell'apertura file: a.xyz");

    RecordingMessages rec;
    ScopedMessages scoped(rec);
    ReportShellError(31, "C:\\docs\\a.xyz");
    ReportShellError(0, "C:\\docs\\a.xyz");
    ASSERT_EQ(rec.Entries().size(), 1u);
    EXPECT_EQ(rec.Entries()[0].kind, MessageKind::Error);
    EXPECT_EQ(rec.Entries()[0].text,
              "Sembra che il visualizzatore per il file non sia presente. File: a.xyz");
}

TEST(Shell, FileTypeIconsByExtension) {
    ResetFileTypeIcons();
    struct Case {
        const char* name;
        const char* icon;
    } cases[] = {
        {"", kExecutableIcon},
        {"setup.exe", kExecutableIcon},
        {"SETUP.EXE", kExecutableIcon},
        {"README", kExecutableIcon},
        {"C:\\dir.d\\noext", kExecutableIcon},
        {"a.pdf", "x-office-document"},
        {"photo.JPG", "image-x-generic"},
        {"song.mp3", "audio-x-generic"},
        {"x.unknownext", kGenericFileIcon},
    };
    for (const auto& c : cases) EXPECT_EQ(FileTypeIcon(c.name), c.icon) << c.name;
    EXPECT_EQ(MimeTypeOfName("guide.OVK"), "application/x-ovk");
    EXPECT_EQ(MimeTypeOfName("x.unknownext"), "");
}

TEST(Shell, ShellFoldersFollowTheXdgDirectories) {
    TempHome home;
    std::string h = home.Path().string();
    EXPECT_EQ(ShellFolder(1), h + "/Desktop"); // XDG_DESKTOP_DIR of the environment
    EXPECT_EQ(ShellFolder(2), h + "/Desktop");
    EXPECT_EQ(ShellFolder(4), h + "/.local/share/applications");
    EXPECT_EQ(ShellFolder(7), ShellFolder(4));
    EXPECT_EQ(ShellFolder(6), h + "/.config/autostart");
    EXPECT_EQ(ShellFolder(5), h + "/Documents");
    EXPECT_FALSE(ShellFolder(9).empty());
    for (int n : {0, 10, -1}) EXPECT_EQ(ShellFolder(n), "") << n;

    ScopedEnv noDesktop("XDG_DESKTOP_DIR", std::nullopt);
    WriteFile(home.Path() / ".config/user-dirs.dirs",
              "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Scrivania\"\n"
              "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n");
    EXPECT_EQ(ShellFolder(1), h + "/Scrivania");
    EXPECT_EQ(ShellFolder(5), "/srv/docs");
}

TEST(Shell, ExecLineQuoting) {
    struct Case {
        std::vector<std::string> argv;
        const char* exec;
    } cases[] = {
        {{"/usr/bin/morvell", "guide.ovk"}, "/usr/bin/morvell guide.ovk"},
        {{"/opt/My Apps/morvell", "a b.ovk"}, "\"/opt/My Apps/morvell\" \"a b.ovk\""},
        {{"morvell", "50%"}, "morvell 50%%"},
        {{"morvell", "say \"hi\""}, "morvell \"say \\\\\"hi\\\\\"\""},
        {{"morvell", "$HOME"}, "morvell \"\\\\$HOME\""},
        {{"morvell", "C:\\x"}, "morvell \"C:\\\\\\\\x\""},
        {{"morvell", "a;rm -rf ~"}, "morvell \"a;rm -rf ~\""},
        {{"morvell", ""}, "morvell \"\""},
        {{"morvell", "line\nbreak"}, "morvell \"line\\nbreak\""},
    };
    for (const auto& c : cases) EXPECT_EQ(DesktopExecLine(c.argv), c.exec) << c.argv.back();
}

TEST(Shell, CreateShortcutWritesALauncher) {
    TempHome home;
    std::string path =
        CreateShortcut(1, "Morvell", {"/opt/Morvell Reader/morvell", "/home/u/a b.ovk"}, "morvell");
    ASSERT_EQ(path, (home.Path() / "Desktop/Morvell.desktop").string());
    EXPECT_EQ(ReadFile(path), "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Morvell\n"
                              "Exec=\"/opt/Morvell Reader/morvell\" \"/home/u/a b.ovk\"\nIcon=morvell\n"
                              "Terminal=false\n");
    EXPECT_TRUE((fs::status(path).permissions() & fs::perms::owner_exec) != fs::perms::none);

    // A name can never put the launcher outside its folder.
    std::string escaped = CreateShortcut((home.Path() / "menu").string(), "../evil", {"/bin/true"});
    EXPECT_EQ(fs::path(escaped).parent_path(), home.Path() / "menu");
    EXPECT_EQ(CreateShortcut(0, "x", {"/bin/true"}), "");
    EXPECT_EQ(CreateShortcut((home.Path() / "menu").string(), "x", {}), "");
}

// A stand-in xdg-open on PATH that records its arguments and exits with a chosen code.
class FakeXdgOpen {
public:
    explicit FakeXdgOpen(int exitCode) : m_path("PATH", m_dir.Path().string()) {
        WriteFile(m_dir / "xdg-open", "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\" >> \"" +
                                          (m_dir / "args").string() + "\"; done\nexit " +
                                          std::to_string(exitCode) + "\n");
        fs::permissions(m_dir / "xdg-open", fs::perms::owner_all);
    }
    std::string Args() const { return ReadFile(m_dir / "args"); }

private:
    TempDir m_dir;
    ScopedEnv m_path;
};

TEST(Shell, ShellOpenPassesOneArgumentAndMapsTheResult) {
    TempDir files;
    std::string tricky = (files / "a b;$(touch pwned)'.pdf").string();
    WriteFile(tricky, "%PDF");
    {
        FakeXdgOpen xdg(0);
        EXPECT_EQ(ShellOpen("open", tricky), kShellOk);
        EXPECT_EQ(xdg.Args(), "[" + tricky + "]");
        EXPECT_FALSE(fs::exists(fs::current_path() / "pwned"));
    }
    {
        FakeXdgOpen xdg(0);
        EXPECT_EQ(ShellOpen("open", "http://example.org/a b"), kShellOk);
        EXPECT_EQ(xdg.Args(), "[http://example.org/a b]");
    }
    struct Case {
        int exitCode;
        int code;
    } cases[] = {{3, kShellNoViewer},
                 {4, kShellNoViewer},
                 {1, kShellNoViewer},
                 {2, kShellNotFound},
                 {5, kShellAccessDenied}};
    for (const auto& c : cases) {
        FakeXdgOpen xdg(c.exitCode);
        EXPECT_EQ(ShellOpen("open", tricky), c.code) << c.exitCode;
    }
    {
        FakeXdgOpen xdg(0);
        EXPECT_EQ(ShellOpen("open", (files / "missing.pdf").string()), kShellNotFound);
        EXPECT_EQ(ShellOpen("open", ""), kShellNotFound);
        EXPECT_EQ(xdg.Args(), ""); // never started for a missing file
    }
    if (::geteuid() != 0) { // root reads everything
        FakeXdgOpen xdg(0);
        std::string locked = (files / "locked.pdf").string();
        WriteFile(locked, "x");
        fs::permissions(locked, fs::perms::none);
        EXPECT_EQ(ShellOpen("open", locked), kShellAccessDenied);
    }
    {
        TempDir empty;
        ScopedEnv path("PATH", empty.Path().string()); // no xdg-open at all
        EXPECT_EQ(ShellOpen("open", tricky), kShellNoViewer);
    }
}

TEST(Shell, ShellOpenerCanBeReplaced) {
    std::vector<std::string> seen;
    SetShellOpener([&](const std::string& op, const std::string& file) {
        seen.push_back(op + ":" + file);
        return 31;
    });
    EXPECT_EQ(ShellOpen("print", "/x/y.doc"), 31);
    SetShellOpener(nullptr);
    EXPECT_EQ(seen, std::vector<std::string>{"print:/x/y.doc"});
}

} // namespace
} // namespace morvell
