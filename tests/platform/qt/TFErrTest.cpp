#include "shell/qt/TFErr.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>

#include <filesystem>

namespace morvell {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempHome;
using test::WriteFile;

TEST(TFErr, OptionalButtonsStayHiddenUntilShown) {
    TFErr window;
    window.show();
    EXPECT_TRUE(window.OkButton()->isVisible());
    EXPECT_FALSE(window.CopyButton()->isVisible());
    EXPECT_FALSE(window.LoadButton()->isVisible());
    EXPECT_FALSE(window.SaveButton()->isVisible());
    window.ShowCopyButton(true);
    window.ShowLoadSaveButtons(true);
    EXPECT_TRUE(window.CopyButton()->isVisible());
    EXPECT_TRUE(window.SaveButton()->isVisible());
    window.hide();
}

TEST(TFErr, SaveAndLoadRoundTrip) {
    TempHome home;
    TFErr window;
    window.SetCaption("Errori");
    window.SetHeading("Pagine mancanti");
    const QStringList lines = {"prima riga", QString::fromUtf8("città è"), "", "ultima"};
    window.SetLines(lines);
    std::string path = (home.Path() / "report.txt").string();
    ASSERT_TRUE(window.SaveToFile(QString::fromStdString(path)));
    EXPECT_EQ(ReadFile(path), "prima riga\ncitt\xC3\xA0 \xC3\xA8\n\nultima\n");

    TFErr other;
    ASSERT_TRUE(other.LoadFromFile(QString::fromStdString(path)));
    EXPECT_EQ(other.Lines(), lines);

    // A file written on Windows loads the same lines.
    WriteFile(home.Path() / "dos.txt", "a\r\nb\r\n");
    ASSERT_TRUE(other.LoadFromFile(QString::fromStdString((home.Path() / "dos.txt").string())));
    EXPECT_EQ(other.Lines(), (QStringList{"a", "b"}));

    EXPECT_FALSE(other.LoadFromFile(QString::fromStdString((home.Path() / "missing.txt").string())));
    EXPECT_EQ(other.Lines(), (QStringList{"a", "b"})); // unchanged by a failed load
    EXPECT_FALSE(window.SaveToFile(QString::fromStdString((home.Path() / "no/such/dir.txt").string())));
}

TEST(TFErr, CopyAllPutsEveryLineOnTheClipboard) {
    TFErr window;
    window.SetLines({"uno", "due"});
    window.CopyAll();
    EXPECT_EQ(QApplication::clipboard()->text(), "uno\ndue");
}

TEST(TFErr, DownloadModeReportsTheVerdict) {
    TempHome home;
    const QString address = "http://example.org/guida.ovk";
    const QString target = QString::fromStdString((home.Path() / "guida.ovk").string());
    struct Case {
        std::string body;
        QString line;
    } cases[] = {
        {"QELB" + std::string(100, 'x'), "OK; " + target},
        {"<html>not found</html>",
         QString::fromUtf8("Non c'è nessun aggiornamento.\r\n\r\n(Non trovo il file: ;") + address + ")"},
    };
    for (const auto& c : cases) {
        int calls = 0;
        TFErr::SetDownloader([&](const QString& a, const QString& t, TFErr::Progress progress) {
            ++calls;
            EXPECT_EQ(a, address);
            WriteFile(t.toStdString(), c.body);
            progress(50, 100);
            return 200;
        });
        TFErr window;
        window.SetDownload(address, target);
        ASSERT_TRUE(window.InDownloadMode());
        window.show();
        EXPECT_TRUE(window.findChild<QProgressBar*>("ProgressBar")->isVisible());
        window.RunDownload();
        window.RunDownload(); // once only, even if the timer fires as well
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(window.Lines(), QStringList{c.line});
        EXPECT_EQ(fs::exists(target.toStdString()), c.line.startsWith("OK; "));
        window.hide();
    }
    TFErr::SetDownloader(nullptr);
}

TEST(TFErr, DownloadStartsFromTheTimerAfterShowing) {
    TempHome home;
    bool called = false;
    TFErr::SetDownloader([&](const QString&, const QString&, TFErr::Progress) {
        called = true;
        return 0;
    });
    TFErr window;
    window.SetDownload("http://example.org/x.ovk", QString::fromStdString((home.Path() / "x.ovk").string()));
    window.show();
    EXPECT_FALSE(called);
    QElapsedTimer clock;
    clock.start();
    while (!called && clock.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(called);
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_EQ(window.Lines().size(), 1);
    TFErr::SetDownloader(nullptr);
}

} // namespace
} // namespace morvell
