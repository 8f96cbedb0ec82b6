#include "shell/EbookOpener.h"

#include "ovkbuild/Builder.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace morvell;
using morvell::test::ReadFile;
using morvell::test::TempHome;
using morvell::test::WriteFile;
namespace fs = std::filesystem;

namespace {

class EbookOpenerTest : public ::testing::Test {
protected:
    TempHome home;
    RecordingMessages messages;
    ScopedMessages scoped{messages};
    EbookOpener opener;

    std::string Good(const std::string& name, const std::string& titleUtf8) {
        ovkbuild::Builder b;
        b.SetHeaderField("title", titleUtf8);
        const fs::path p = home.Path() / name;
        b.Write(p);
        return p.string();
    }
};

TEST_F(EbookOpenerTest, GoodEbookGivesItsTitleInUtf8AndJoinsRecentDocuments) {
    const std::string path = Good("guide.ovk", "Guida \xC3\xA8 citt\xC3\xA0");
    EXPECT_TRUE(opener.OpenEbook(path));
    EXPECT_EQ(opener.FileName(), path);
    EXPECT_EQ(opener.CurrentFile(), path);
    EXPECT_EQ(opener.Title(), "Guida \xC3\xA8 citt\xC3\xA0");
    EXPECT_TRUE(opener.Container().has_value());
    EXPECT_TRUE(messages.Entries().empty());
    EXPECT_NE(ReadFile(RecentDocumentsFile()).find("guide.ovk"), std::string::npos);
}

TEST_F(EbookOpenerTest, MissingFileIsReportedAndChangesNothing) {
    const std::string path = Good("guide.ovk", "Guida");
    ASSERT_TRUE(opener.OpenEbook(path));
    const std::string missing = (home.Path() / "nope.ovk").string();

    EXPECT_FALSE(opener.OpenEbook(missing));
    EXPECT_FALSE(opener.Load(missing));
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"File non trovato: " + missing, missing + " non esiste"}));
    EXPECT_EQ(messages.Entries()[0].kind, MessageKind::Warning);
    EXPECT_EQ(messages.Entries()[1].kind, MessageKind::Warning);
    EXPECT_EQ(opener.FileName(), path);
    EXPECT_EQ(opener.Title(), "Guida");
}

TEST_F(EbookOpenerTest, RejectedFileShowsItsBoxesThenTheReadErrorAndLeavesAnEmptyDocument) {
    const std::string good = Good("guide.ovk", "Guida");
    ASSERT_TRUE(opener.OpenEbook(good));
    const fs::path garbage = home.Path() / "garbage.ovk";
    WriteFile(garbage, std::string(3000, 'z'));
    const fs::path shortFile = home.Path() / "short.ovk";
    WriteFile(shortFile, "QELB");

    EXPECT_FALSE(opener.OpenEbook(garbage.string()));
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Formato sconosciuto.",
                                                          "Errore nella lettura file: " + garbage.string()}));
    EXPECT_EQ(messages.Entries()[1].kind, MessageKind::Information);
    EXPECT_EQ(opener.FileName(), "");
    EXPECT_EQ(opener.Title(), "Senza titolo");
    EXPECT_FALSE(opener.Container().has_value());
    // The last good file is still the one saved at exit.
    EXPECT_EQ(opener.CurrentFile(), good);

    messages.Clear();
    EXPECT_FALSE(opener.OpenEbook(shortFile.string()));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Errore nella lettura file: " + shortFile.string()});
}

TEST_F(EbookOpenerTest, ZeroLengthFileIsAnEmptyEbookWithThatName) {
    const fs::path empty = home.Path() / "new.ovk";
    WriteFile(empty, "");
    EXPECT_TRUE(opener.OpenEbook(empty.string()));
    EXPECT_TRUE(messages.Entries().empty());
    EXPECT_EQ(opener.FileName(), empty.string());
    EXPECT_EQ(opener.CurrentFile(), empty.string());
    EXPECT_EQ(opener.Title(), "Senza titolo");
}

TEST_F(EbookOpenerTest, UntitledEbookIsShownAsSenzaTitolo) {
    EXPECT_TRUE(opener.OpenEbook(Good("blank.ovk", "")));
    EXPECT_EQ(opener.Title(), "Senza titolo");
}

} // namespace
