#include "shell/qt/TFirstWindow.h"

#include "ovkbuild/Builder.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "shell/Options.h"
#include "support/TestSupport.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace morvell;
using morvell::test::TempHome;
using morvell::test::WriteFile;
namespace fs = std::filesystem;

namespace {

class TFirstWindowTest : public ::testing::Test {
protected:
    TempHome home;
    fs::path program = home.Path() / "prog";
    RecordingMessages messages;
    ScopedMessages scoped{messages};

    void SetUp() override { fs::create_directories(program); }

    std::string Good(const std::string& name, const std::string& title) {
        ovkbuild::Builder b;
        b.SetHeaderField("title", title);
        b.Write(home.Path() / name);
        return (home.Path() / name).string();
    }
    StartupRequest Request(std::vector<std::string> args) {
        return {std::move(args), program.string(), home.Path().string(), false};
    }
};

TEST_F(TFirstWindowTest, GoodEbookGivesCaptionPageRequestsAndLastFileAtClose) {
    const std::string path = Good("guide.ovk", "Guida \xC3\xA0 Morvell");
    TFirstWindow w(Request({path, "--page=Intro"}));
    QSignalSpy shown(&w, &TFirstWindow::firstShown);
    w.show();
    ASSERT_TRUE(shown.wait(5000));
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Guida \xC3\xA0 Morvell"));
    EXPECT_EQ(w.statusBar()->currentMessage(), QString::fromStdString("vosk://" + path + "|INTRO"));
    EXPECT_TRUE(messages.Entries().empty());
    EXPECT_EQ(options::ReadOption("skin"), "0");
    EXPECT_NE(morvell::test::ReadFile(RecentDocumentsFile()).find("guide.ovk"), std::string::npos);
    w.close();
    EXPECT_EQ(options::ReadOption("LastFile"), path);
}

// After a good ebook, a rejected one leaves the blank reader, but the good one is still the
// one remembered at close; an ebook without a title is shown as "Senza titolo".
TEST_F(TFirstWindowTest, FailedOpenKeepsTheLastGoodEbookAndUntitledEbooksAreSenzaTitolo) {
    const std::string good = Good("guide.ovk", "Guida");
    const fs::path shortFile = home.Path() / "short.ovk";
    WriteFile(shortFile, "QELB");
    TFirstWindow w(Request({good}));
    w.FirstShow();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Guida"));

    EXPECT_FALSE(w.OpenEbook(shortFile.string()));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Errore nella lettura file: " + shortFile.string()});
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Senza titolo"));
    EXPECT_EQ(w.CurrentFile(), good);

    EXPECT_TRUE(w.OpenEbook(Good("blank.ovk", "")));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Senza titolo"));
    w.close();
    EXPECT_EQ(options::ReadOption("LastFile"), (home.Path() / "blank.ovk").string());
}

TEST_F(TFirstWindowTest, MissingLastFileWarnsAndShowsTheBlankReader) {
    const std::string missing = (home.Path() / "gone.ovk").string();
    options::WriteOption("LastFile", missing);
    TFirstWindow w(Request({}));
    w.FirstShow();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Senza titolo"));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"File non trovato: " + missing});
    w.close();
    // A failed open does not forget what was remembered.
    EXPECT_EQ(options::ReadOption("LastFile"), missing);
}

TEST_F(TFirstWindowTest, GarbageFileShowsItsBoxesAndTheReadError) {
    const fs::path garbage = home.Path() / "garbage.ovk";
    WriteFile(garbage, std::string(2500, '\x01'));
    options::WriteOption("LastFile", "/previous.ovk");
    TFirstWindow w(Request({garbage.string()}));
    w.FirstShow();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Senza titolo"));
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Formato sconosciuto.",
                                                          "Errore nella lettura file: " + garbage.string()}));
    w.close();
    EXPECT_EQ(options::ReadOption("LastFile"), "/previous.ovk");
}

TEST_F(TFirstWindowTest, ZeroLengthFileIsAnUntitledEbookThatIsRemembered) {
    const fs::path empty = home.Path() / "new.ovk";
    WriteFile(empty, "");
    TFirstWindow w(Request({empty.string()}));
    w.FirstShow();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Senza titolo"));
    EXPECT_TRUE(messages.Entries().empty());
    w.close();
    EXPECT_EQ(options::ReadOption("LastFile"), empty.string());
}

TEST_F(TFirstWindowTest, AtStartBlankKeepsLastFileClosed) {
    options::WriteOption("LastFile", Good("last.ovk", "Last"));
    options::WriteOption("AtStartBlank", "1");
    TFirstWindow w(Request({}));
    w.FirstShow();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Senza titolo"));
    EXPECT_TRUE(messages.Entries().empty());
}

TEST_F(TFirstWindowTest, PlacementIsReadClampedAndWrittenBack) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    options::WriteOption("Main_left", "20");
    options::WriteOption("Main_top", "30");
    options::WriteOption("Main_width", "300");
    options::WriteOption("Main_height", "200");
    {
        TFirstWindow w(Request({}));
        EXPECT_EQ(w.geometry().size(), QSize(300, 200));
        EXPECT_EQ(w.pos(), QPoint(20, 30));
        w.move(40, 50);
        w.resize(320, 240);
        w.close();
    }
    EXPECT_EQ(options::ReadOption("Main_left"), "40");
    EXPECT_EQ(options::ReadOption("Main_top"), "50");
    EXPECT_EQ(options::ReadOption("Main_width"), "320");
    EXPECT_EQ(options::ReadOption("Main_height"), "240");

    // Values of a bigger screen, or nonsense, still leave the window on this one.
    options::WriteOption("Main_left", "99999");
    options::WriteOption("Main_top", "-500");
    options::WriteOption("Main_width", "20");
    options::WriteOption("Main_height", "99999");
    TFirstWindow w(Request({}));
    EXPECT_EQ(w.width(), 100);
    EXPECT_EQ(w.height(), screen.height());
    EXPECT_EQ(w.x(), screen.right() + 1 - 100);
    EXPECT_EQ(w.y(), screen.y());
}

} // namespace
