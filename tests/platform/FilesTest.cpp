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

TEST(Files, CreateFolderMakesParentsAndIgnoresATrailingSeparator) {
    TempDir dir;
    std::string deep = (dir / "a/b/c").string();
    EXPECT_TRUE(CreateFolder(deep + "/"));
    EXPECT_TRUE(FolderExists(deep));
    EXPECT_TRUE(FolderExists(deep + "/"));
    EXPECT_TRUE(CreateFolder(deep)); // already there
    EXPECT_FALSE(FileExists(deep));

    WriteFile(dir / "file", "x");
    EXPECT_FALSE(CreateFolder((dir / "file/sub").string()));
    EXPECT_FALSE(FolderExists((dir / "file").string()));

    try {
        CreateFolder("");
        FAIL() << "an empty path must raise";
    } catch (const PlatformError& e) {
        EXPECT_STREQ(e.what(), "Unable to create directory");
    }
}

TEST(Files, TempFolderIsCreatedOrReported) {
    TempHome home;
    ScopedEnv tmp("TMPDIR", (home.Path() / "new/tmp").string());
    RecordingMessages rec;
    ScopedMessages scoped(rec);
    EXPECT_EQ(TempFolder(), (home.Path() / "new/tmp/").string());
    EXPECT_TRUE(FolderExists((home.Path() / "new/tmp").string()));
    EXPECT_TRUE(rec.Entries().empty());

    WriteFile(home.Path() / "blocker", "x");
    std::string bad = (home.Path() / "blocker/tmp").string();
    ScopedEnv tmp2("TMPDIR", bad);
    TempFolder();
    ASSERT_EQ(rec.Entries().size(), 1u);
    EXPECT_EQ(rec.Entries()[0].kind, MessageKind::Error);
    EXPECT_EQ(rec.Entries()[0].text, "Il sistema non riesce a creare una cartella temporanea (" + bad +
                                         "). Correggere e/o incrementare i diritti del proprio utente.");
}

TEST(Files, DeleteTreeRemovesEverythingButNeverFollowsLinksOut) {
    TempDir dir;
    WriteFile(dir / "outside/keep.txt", "keep");
    WriteFile(dir / "tree/a.txt", "a");
    WriteFile(dir / "tree/sub/b.txt", "b");
    fs::create_directory_symlink(dir / "outside", dir / "tree/sub/link");
    fs::create_symlink(dir / "outside/keep.txt", dir / "tree/filelink");

    DeleteTree((dir / "tree").string() + "/");
    EXPECT_FALSE(fs::exists(dir / "tree"));
    EXPECT_EQ(ReadFile(dir / "outside/keep.txt"), "keep");

    // A link given as the tree goes, its target stays.
    fs::create_directory_symlink(dir / "outside", dir / "alias");
    DeleteTree((dir / "alias").string());
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "alias")));
    EXPECT_TRUE(fs::exists(dir / "outside/keep.txt"));

    DeleteTree((dir / "missing").string()); // no error
    DeleteTree("");
}

TEST(Files, DeleteFilesKeepsFoldersAndWhatLinksPointAt) {
    TempDir dir;
    WriteFile(dir / "t/a.tmp", "a");
    WriteFile(dir / "t/b", "b");
    WriteFile(dir / "t/tmpa/c", "c");
    WriteFile(dir / "target/d", "d");
    fs::create_directory_symlink(dir / "target", dir / "t/dirlink");
    DeleteFiles((dir / "t").string());
    EXPECT_FALSE(fs::exists(dir / "t/a.tmp"));
    EXPECT_FALSE(fs::exists(dir / "t/b"));
    EXPECT_TRUE(fs::exists(dir / "t/tmpa/c"));
    EXPECT_TRUE(fs::exists(dir / "target/d"));
}

TEST(Files, MaskMatching) {
    struct Case {
        const char* mask;
        const char* name;
        bool match;
    } cases[] = {
        {"*.ovk", "guida.ovk", true},
        {"*.ovk", "GUIDA.OVK", true},
        {"*.ovk", "guida.ovk.bak", false},
        {"*.ovk", ".ovk", true},
        {"*", "", true},
        {"?.txt", "a.txt", true},
        {"?.txt", "ab.txt", false},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"*.*", "noext", false},
        {"****x", "aaaaaaaaaax", true},
        {"*a*a*a*a*b", "aaaaaaaaaaaaaaaa", false},
    };
    for (const auto& c : cases) EXPECT_EQ(MaskMatches(c.mask, c.name), c.match) << c.mask << " / " << c.name;
}

TEST(Files, FirstFileMatchingSkipsFoldersAndGivesAFullPath) {
    TempDir dir;
    fs::create_directories(dir / "a.ovk"); // a folder with a matching name
    WriteFile(dir / "readme.txt", "x");
    EXPECT_EQ(FirstFileMatching(dir.Path().string(), "*.ovk"), "");
    WriteFile(dir / "Zeta.OVK", "x");
    WriteFile(dir / "beta.ovk", "x");
    // Name order, so the choice does not depend on the file system.
    EXPECT_EQ(FirstFileMatching(dir.Path().string() + "/", "*.ovk"), (dir / "Zeta.OVK").string());
    EXPECT_EQ(FirstFileMatching((dir / "missing").string(), "*"), "");
}

TEST(Files, CopyFileOverwrites) {
    TempDir dir;
    WriteFile(dir / "a", "new contents");
    WriteFile(dir / "b", "old contents that are longer");
    EXPECT_TRUE(CopyFile((dir / "a").string(), (dir / "b").string()));
    EXPECT_EQ(ReadFile(dir / "b"), "new contents");
    EXPECT_TRUE(CopyFile((dir / "a").string(), (dir / "a").string()));
    EXPECT_EQ(ReadFile(dir / "a"), "new contents");
    EXPECT_FALSE(CopyFile((dir / "missing").string(), (dir / "c").string()));
    EXPECT_FALSE(CopyFile((dir / "a").string(), (dir / "nodir/c").string()));
}

TEST(Files, PumpMessagesRunsTheInstalledPump) {
    int calls = 0;
    SetMessagePump([&] { ++calls; });
    PumpMessages(21, 0);
    EXPECT_EQ(calls, 21);
    SetMessagePump(nullptr);
    PumpMessages(3, 1); // no pump: only the pauses
    EXPECT_EQ(calls, 21);
}

} // namespace
} // namespace morvell
