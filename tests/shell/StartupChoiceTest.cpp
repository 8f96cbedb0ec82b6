#include "shell/StartupChoice.h"

#include "shell/Options.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace morvell;
using morvell::test::TempHome;
using morvell::test::WriteFile;
namespace fs = std::filesystem;

namespace {

class StartupChoiceTest : public ::testing::Test {
protected:
    TempHome home;
    fs::path program = home.Path() / "prog";
    fs::path here = home.Path() / "here";
    void SetUp() override {
        fs::create_directories(program);
        fs::create_directories(here);
    }
    StartupChoice Choose(const std::vector<std::string>& args, bool brochure = false) {
        return ChooseStartupEbook(args, program.string(), here.string(), brochure);
    }
};

TEST_F(StartupChoiceTest, NoArgumentsTakesTheEbookBesideTheProgramOverLastFile) {
    WriteFile(program / "guide.ovk", "x");
    WriteFile(here / "other.ovk", "x");
    options::WriteOption("LastFile", (here / "other.ovk").string());
    StartupChoice c = Choose({});
    EXPECT_EQ(c.path, (program / "guide.ovk").string());
    EXPECT_TRUE(c.pageRequests.empty());
}

TEST_F(StartupChoiceTest, NoEbookAnywhereFallsBackToLastFileUnlessAtStartBlank) {
    WriteFile(here / "last.ovk", "x");
    EXPECT_EQ(Choose({}).path, "");
    EXPECT_EQ(FallbackEbook(), "");
    options::WriteOption("LastFile", (here / "last.ovk").string());
    EXPECT_EQ(FallbackEbook(), (here / "last.ovk").string());
    options::WriteOption("AtStartBlank", "1");
    EXPECT_EQ(FallbackEbook(), "");
}

TEST_F(StartupChoiceTest, UnquotedPathWithABlankIsJoined) {
    fs::path book = home.Path() / "My Books" / "guide.ovk";
    WriteFile(book, "x");
    StartupChoice c = Choose({(home.Path() / "My").string(), "Books/guide.ovk"});
    EXPECT_EQ(c.path, book.string());
}

TEST_F(StartupChoiceTest, PageRequestLinksTheFullPath) {
    WriteFile(here / "guide.ovk", "x");
    StartupChoice c = Choose({"guide.ovk", "/PAGE=12"});
    ASSERT_EQ(c.path, (here / "guide.ovk").string());
    ASSERT_EQ(c.pageRequests.size(), 1u);
    EXPECT_EQ(c.pageRequests[0], "vosk://" + (here / "guide.ovk").string() + "|12");
}

TEST_F(StartupChoiceTest, RelativePathTriesCurrentFolderThenProgramFolder) {
    WriteFile(program / "sub" / "a.ovk", "x");
    EXPECT_EQ(Choose({"sub/a.ovk"}).path, (program / "sub" / "a.ovk").string());
    WriteFile(here / "sub" / "a.ovk", "x");
    EXPECT_EQ(Choose({"sub/a.ovk"}).path, (here / "sub" / "a.ovk").string());
}

TEST_F(StartupChoiceTest, MissingFileFallsBackToProgramFolderAndClearsBrochure) {
    WriteFile(program / "b.ovk", "x");
    WriteFile(program / "a.OVK", "x");
    WriteFile(program / "notes.txt", "x");
    WriteFile(here / "brochure.ovk", "x");
    EXPECT_TRUE(Choose({"brochure.ovk"}, true).brochure);
    StartupChoice c = Choose({"missing.ovk", "/PAGE=3"}, true);
    EXPECT_EQ(c.path, (program / "a.OVK").string());
    EXPECT_FALSE(c.brochure);
    ASSERT_EQ(c.pageRequests.size(), 1u);
    EXPECT_EQ(c.pageRequests[0], "vosk://" + (program / "a.OVK").string() + "|3");
}

TEST_F(StartupChoiceTest, FolderNamedLikeAnEbookIsNoEbook) {
    fs::create_directories(here / "dir.ovk");
    EXPECT_EQ(Choose({"dir.ovk"}).path, "");
}

TEST(ProgramFolder, EnvironmentOverridesTheExecutableFolder) {
    {
        test::ScopedEnv env("MORVELL_PROGRAM_DIR", std::nullopt);
        EXPECT_EQ(ProgramFolder("/opt/morvell/morvell"), "/opt/morvell");
    }
    test::ScopedEnv env("MORVELL_PROGRAM_DIR", "/srv/books/");
    EXPECT_EQ(ProgramFolder("/opt/morvell/morvell"), "/srv/books");
}

} // namespace
