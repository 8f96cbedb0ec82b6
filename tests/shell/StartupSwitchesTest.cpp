#include "shell/StartupSwitches.h"

#include <gtest/gtest.h>

using namespace morvell;

namespace {

struct SwitchCase {
    std::string arg1;
    StartupMode mode;
    bool withoutMenu;
};

class SwitchTable : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchTable, OnlyExactSwitchWordsCount) {
    const auto& c = GetParam();
    StartupSwitches s = EvaluateSwitches({c.arg1, "guide.ovk"});
    EXPECT_EQ(s.mode, c.mode) << c.arg1;
    EXPECT_EQ(s.installWithoutMenu, c.withoutMenu) << c.arg1;
}

INSTANTIATE_TEST_SUITE_P(Arguments, SwitchTable,
                         ::testing::Values(SwitchCase{"/INIT", StartupMode::Install, false},
                                           SwitchCase{"/init", StartupMode::Install, false},
                                           SwitchCase{"/InitV", StartupMode::Install, true},
                                           SwitchCase{"--init", StartupMode::Install, false},
                                           SwitchCase{"--INITV", StartupMode::Install, true},
                                           SwitchCase{"/DEINST", StartupMode::Uninstall, false},
                                           SwitchCase{"--deinst", StartupMode::Uninstall, false},
                                           SwitchCase{"/delete", StartupMode::DeleteFolder, false},
                                           SwitchCase{"--delete", StartupMode::DeleteFolder, false},
                                           // Paths that merely start like a switch are paths.
                                           SwitchCase{"/initrd/x.ovk", StartupMode::Normal, false},
                                           SwitchCase{"/INITVX", StartupMode::Normal, false},
                                           SwitchCase{"/deinst/guide.ovk", StartupMode::Normal, false},
                                           SwitchCase{"/home/a/b.ovk", StartupMode::Normal, false},
                                           SwitchCase{"/DELETEME", StartupMode::Normal, false},
                                           SwitchCase{"", StartupMode::Normal, false}));

TEST(StartupSwitches, OnlyTheFirstArgumentIsExamined) {
    EXPECT_EQ(EvaluateSwitches({"guide.ovk", "/DEINST"}).mode, StartupMode::Normal);
    EXPECT_EQ(EvaluateSwitches({}).mode, StartupMode::Normal);
}

TEST(StartupSwitches, BrochureIsArgumentOneExactlyInAnyCase) {
    EXPECT_TRUE(EvaluateSwitches({"Brochure.OVK"}).brochure);
    EXPECT_FALSE(EvaluateSwitches({"/x/brochure.ovk"}).brochure);
    EXPECT_FALSE(EvaluateSwitches({"guide.ovk", "brochure.ovk"}).brochure);
}

TEST(StartupSwitches, PageRequestsNeedAnEqualsSignAndNoFolder) {
    EXPECT_TRUE(IsPageRequest("/PAGE=12"));
    EXPECT_TRUE(IsPageRequest("/page=intro"));
    EXPECT_TRUE(IsPageRequest("/PAGEX=3"));
    EXPECT_TRUE(IsPageRequest("--page=7"));
    EXPECT_TRUE(IsPageRequest("/PAGE=a/b")); // a "/" in the target is fine
    EXPECT_FALSE(IsPageRequest("/PAGE"));
    EXPECT_FALSE(IsPageRequest("/pages/a=b.ovk"));
    EXPECT_FALSE(IsPageRequest("--page"));
}

struct PathCase {
    std::vector<std::string> args;
    std::string path;
};

class PathTable : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathTable, JoinsWordsUpToEmptyOrSwitch) {
    EXPECT_EQ(CommandLinePath(GetParam().args), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, PathTable,
    ::testing::Values(PathCase{{}, ""}, PathCase{{"guide.ovk"}, "guide.ovk"},
                      PathCase{{"/tmp/x/My", "Books/guide.ovk"}, "/tmp/x/My Books/guide.ovk"},
                      PathCase{{"/INIT", "guide.ovk"}, "guide.ovk"},
                      PathCase{{"--initv", "a", "b.ovk", "/PAGE=3"}, "a b.ovk"},
                      PathCase{{"a.ovk", "", "b.ovk"}, "a.ovk"}, PathCase{{"", "b.ovk"}, ""},
                      PathCase{{"/PAGE=2", "guide.ovk"}, "guide.ovk"},
                      PathCase{{"/home/a/My", "/home/b.ovk"}, "/home/a/My /home/b.ovk"}));

TEST(StartupSwitches, PageLinksCarryPathAndUpperCasedTarget) {
    auto links = PageRequests({"guide.ovk", "/page=intro", "--page=12"}, "/books/guide.ovk");
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0], "vosk:///books/guide.ovk|INTRO");
    EXPECT_EQ(links[1], "vosk:///books/guide.ovk|12");
}

TEST(StartupSwitches, PageTargetTakesTextAfterFirstEqualsCutTo127) {
    EXPECT_EQ(PageTarget("/PAGE=a=b"), "A=B");
    const std::string longTarget(200, 'x');
    EXPECT_EQ(PageTarget("/PAGE=" + longTarget), std::string(127, 'X'));
}

} // namespace
