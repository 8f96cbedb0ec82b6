#include "shell/FolderRemoval.h"

#include "platform/Messages.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace morvell;
using morvell::test::TempHome;
using morvell::test::WriteFile;
namespace fs = std::filesystem;

namespace {

TEST(FolderRemoval, GuardsRefuseRootHomeSystemAndDesktopFolders) {
    TempHome home;
    const std::string h = home.Path().string();
    fs::create_directories(home.Path() / "prog");
    fs::create_symlink(home.Path(), home.Path() / "prog" / "home-link");
    const std::vector<std::string> refused = {"",
                                              "relative/prog",
                                              "/",
                                              "//",
                                              "/usr/../",
                                              "/usr",
                                              "/usr/bin/",
                                              "/etc",
                                              "/home",
                                              "/var",
                                              "/tmp",
                                              h,
                                              h + "/",
                                              h + "/prog/..",
                                              h + "/prog/home-link",
                                              h + "/.config",
                                              h + "/.local/share",
                                              h + "/.local/opt",
                                              h + "/Downloads",
                                              h + "/Desktop",
                                              h + "/tmp",
                                              h + "/missing",
                                              h + "/prog/../.."};
    for (const std::string& folder : refused) {
        EXPECT_FALSE(IsRemovableFolder(folder)) << "'" << folder << "' was allowed";
    }
    EXPECT_TRUE(IsRemovableFolder(h + "/prog")) << FolderRemovalRefusal(h + "/prog");
    EXPECT_TRUE(IsRemovableFolder(h + "/prog/"));
}

TEST(FolderRemoval, AsksThenDeletesTheWholeTree) {
    TempHome home;
    const fs::path prog = home.Path() / "Ebook Folder";
    WriteFile(prog / "morvell", "x");
    WriteFile(prog / "sub" / "a.ovk", "x");
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    std::vector<int> waits;
    auto sleep = [&](int ms) { waits.push_back(ms); };

    messages.QueueAnswer(false);
    EXPECT_FALSE(RemoveFolder({"--delete", prog.string()}, sleep));
    EXPECT_TRUE(fs::exists(prog / "sub" / "a.ovk"));
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Posso cancellare la directory " + prog.string() + "?"});

    messages.QueueAnswer(true);
    EXPECT_TRUE(RemoveFolder({"/DELETE", prog.string()}, sleep));
    EXPECT_FALSE(fs::exists(prog));
    EXPECT_EQ(waits, (std::vector<int>{500, 500}));
}

TEST(FolderRemoval, RefusedOrMissingFolderIsNotEvenAskedAbout) {
    TempHome home;
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    auto sleep = [](int) {};
    EXPECT_FALSE(RemoveFolder({"--delete"}, sleep));
    EXPECT_FALSE(RemoveFolder({"--delete", home.Path().string()}, sleep));
    EXPECT_FALSE(RemoveFolder({"--delete", "/"}, sleep));
    EXPECT_TRUE(messages.Entries().empty());
    EXPECT_TRUE(fs::exists(home.Path()));
}

} // namespace
