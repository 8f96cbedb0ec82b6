#include "shell/Options.h"
#include "platform/Messages.h"
#include "platform/Registry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace morvell {
namespace {

using test::ScopedEnv;
using test::TempHome;
namespace opt = options;

TEST(Options, FirstRunReadGivesEmptyAndCreatesTheOptionsKey) {
    TempHome home;
    EXPECT_FALSE(Registry::Current().KeyExists("\\SOFTWARE\\BQ\\Morvell_\\options\\"));
    EXPECT_EQ(opt::ReadOption("LastFile"), "");
    EXPECT_TRUE(Registry::Current().KeyExists("\\SOFTWARE\\BQ\\Morvell_\\options\\"));
    EXPECT_TRUE(std::filesystem::exists(home.Path() / ".config/morvell/registry.sqlite"));
}

TEST(Options, ValuesRoundTripAndKeysCompareCaseInsensitively) {
    TempHome home;
    opt::WriteOption("LastFile", "/home/u/Libri/guida.ovk");
    EXPECT_EQ(opt::ReadOption("LastFile"), "/home/u/Libri/guida.ovk");
    EXPECT_EQ(opt::ReadOption("lastfile"), "/home/u/Libri/guida.ovk");
    EXPECT_EQ(opt::ReadKey("\\software\\bq\\MORVELL_\\Options", "LASTFILE"), "/home/u/Libri/guida.ovk");
    opt::WriteOption("LASTFILE", "b");
    EXPECT_EQ(opt::ReadOption("LastFile"), "b");

    opt::WriteSection("RecentFile", "0", "a.ovk");
    EXPECT_EQ(opt::ReadSection("recentfile", "0"), "a.ovk");
    EXPECT_EQ(opt::ReadSection("RecentFile", "1"), "");
    // Text is stored byte for byte, whatever it holds.
    std::string odd("a\0b\xE8\r\n", 6);
    opt::WriteOption("odd", odd);
    EXPECT_EQ(opt::ReadOption("odd"), odd);
}

TEST(Options, FullPathFormSplitsAtTheLastBackslash) {
    TempHome home;
    opt::WriteKey("\\Software\\X\\Y", "Name", "v1");
    EXPECT_EQ(opt::ReadPath("\\Software\\X\\Y\\Name"), "v1");
    opt::WritePath("\\Software\\X\\Y\\Other", "v2");
    EXPECT_EQ(opt::ReadKey("Software\\X\\Y\\", "Other"), "v2");
    EXPECT_EQ(opt::ReadPath("\\Software\\X\\Y\\Missing"), "");
}

TEST(Options, StoreThatCannotBeOpenedReportsOnlyInTheFullPathForm) {
    TempHome home;
    // A regular file where the configuration folder should be: nothing can be created.
    test::WriteFile(home.Path() / "notadir", "x");
    ScopedEnv config("MORVELL_CONFIG_DIR", (home.Path() / "notadir").string());
    RecordingMessages rec;
    ScopedMessages scoped(rec);

    EXPECT_EQ(opt::ReadOption("LastFile"), "");
    EXPECT_EQ(opt::ReadKey("\\Software\\X", "Name"), "notfound");
    opt::WriteOption("LastFile", "x"); // silently lost, never thrown
    EXPECT_TRUE(rec.Entries().empty());

    EXPECT_EQ(opt::ReadPath("\\Software\\X\\Y\\Name"), "");
    opt::WritePath("\\Software\\Z\\Val", "1");
    ASSERT_EQ(rec.Entries().size(), 2u);
    EXPECT_EQ(rec.Entries()[0].kind, MessageKind::Plain);
    EXPECT_EQ(rec.Entries()[0].text, "Key not found in registry:\\Software\\X\\Y, (string \"Name\")");
    EXPECT_EQ(rec.Entries()[1].text, "Key not found in registry:\\Software\\Z, (string \"Val\")");
}

TEST(Options, DamagedStoreIsKeptAsideAndReplaced) {
    TempHome home;
    const auto file = home.Path() / ".config/morvell/registry.sqlite";
    const std::string junk(4096, '\x5A');
    test::WriteFile(file, junk);
    RecordingMessages rec;
    ScopedMessages scoped(rec);
    EXPECT_EQ(opt::ReadOption("LastFile"), "");
    opt::WriteOption("LastFile", "x");
    EXPECT_EQ(opt::ReadOption("LastFile"), "x");
    EXPECT_EQ(test::ReadFile(file.string() + ".damaged"), junk);
    EXPECT_TRUE(rec.Entries().empty());
}

TEST(Options, StoreFollowsTheEnvironment) {
    TempHome first;
    opt::WriteOption("inst", "1");
    {
        TempHome second;
        EXPECT_EQ(opt::ReadOption("inst"), "");
        opt::WriteOption("inst", "7");
        test::TempDir elsewhere;
        ScopedEnv config("MORVELL_CONFIG_DIR", elsewhere.Path().string());
        EXPECT_EQ(opt::ReadOption("inst"), "");
        opt::WriteOption("inst", "9");
        EXPECT_TRUE(std::filesystem::exists(elsewhere / "registry.sqlite"));
    }
    EXPECT_EQ(opt::ReadOption("inst"), "1");
}

TEST(Options, SubKeysListChildrenOnce) {
    TempHome home;
    opt::WriteSection("ext\\.pdf", "comp", "2");
    opt::WriteSection("ext\\.PDF", "appPath", "/usr/bin/evince");
    opt::WriteSection("ext\\.doc", "comp", "1");
    opt::WriteSection("ext\\.doc\\deeper", "x", "1");
    EXPECT_EQ(opt::SubKeys("ext"), (std::vector<std::string>{".doc", ".pdf"}));
    EXPECT_EQ(opt::SubKeys("nothing"), std::vector<std::string>{});
    EXPECT_EQ(opt::ReadSection("ext\\.pdf", "appPath"), "/usr/bin/evince");
}

TEST(Options, DeleteKeyRemovesTheSubtreeOnly) {
    TempHome home;
    // Names with "_" and "%" must not widen the deletion the way a LIKE pattern would.
    opt::WriteMachine("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\a_b", "Path", "/opt/a");
    opt::WriteMachine("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\a_b\\sub", "x", "1");
    opt::WriteMachine("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\axb", "Path", "/opt/x");
    opt::WriteMachine("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\a_bc", "Path", "/opt/c");
    opt::WriteKey("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\a_b", "Path", "user");

    opt::DeleteMachineKey("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\A_B");
    const std::string base = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    EXPECT_EQ(opt::ReadMachine(base + "a_b", "Path"), "");
    EXPECT_EQ(opt::ReadMachine(base + "axb", "Path"), "/opt/x");
    EXPECT_EQ(opt::ReadMachine(base + "a_bc", "Path"), "/opt/c");
    // The machine and user hives are separate trees of the same file.
    EXPECT_EQ(opt::ReadKey(base + "a_b", "Path"), "user");
    EXPECT_TRUE(
        Registry::Current().KeyExists("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths"));
    EXPECT_FALSE(Registry::Current().KeyExists("HKLM\\" + base + "a_b\\sub"));

    opt::WriteSection("finds", "wholeword", "1");
    opt::DeleteKey(opt::SectionKey("finds"));
    EXPECT_FALSE(Registry::Current().KeyExists(opt::SectionKey("finds")));
    EXPECT_TRUE(Registry::Current().KeyExists("\\SOFTWARE\\BQ\\Morvell_"));
}

TEST(Options, CanonicalKeys) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"\\SOFTWARE\\BQ\\Morvell_\\options\\", "HKCU\\SOFTWARE\\BQ\\Morvell_\\options"},
        {"Software\\BQ\\Vosk3.0rd\\toolbar", "HKCU\\Software\\BQ\\Vosk3.0rd\\toolbar"},
        {"\\\\a\\\\b\\", "HKCU\\a\\b"},
        {"HKLM\\Software\\x", "HKLM\\Software\\x"},
        {"hkey_local_machine\\Software", "HKLM\\Software"},
        {"HKEY_CURRENT_USER\\Software", "HKCU\\Software"},
        {"", "HKCU"},
    };
    for (const auto& c : cases) EXPECT_EQ(Registry::CanonicalKey(c.in), c.out) << c.in;
}

// Two processes write many values at the same time; every value of both must survive.
TEST(Options, TwoProcessesWritingAtOnceLoseNothing) {
    TempHome home;
    opt::ReadOption("warm"); // the parent's connection exists before the fork
    constexpr int kPerProcess = 200;
    // Both children wait on the pipe until the parent closes it, so their writes overlap.
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    pid_t children[2];
    for (int p = 0; p < 2; ++p) {
        children[p] = ::fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            ::close(gate[1]);
            char c;
            while (::read(gate[0], &c, 1) > 0) {
            }
            for (int i = 0; i < kPerProcess; ++i)
                opt::WriteSection("race", "p" + std::to_string(p) + "_" + std::to_string(i),
                                  std::to_string(i));
            ::_exit(0);
        }
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto values = Registry::Current().Values(opt::SectionKey("race"));
    EXPECT_EQ(values.size(), 2u * kPerProcess);
    for (int p = 0; p < 2; ++p)
        for (int i = 0; i < kPerProcess; i += 37)
            EXPECT_EQ(opt::ReadSection("race", "p" + std::to_string(p) + "_" + std::to_string(i)),
                      std::to_string(i));
}

} // namespace
} // namespace morvell
