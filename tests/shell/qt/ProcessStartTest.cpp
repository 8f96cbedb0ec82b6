// The reader's process as a user starts it: the help and version answers, the snapshot of
// the first window, and an uninstall answered through the process's own switches.
#include "shell/qt/TFabout.h"

#include "ovkbuild/Builder.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace morvell;
using morvell::test::TempHome;
namespace fs = std::filesystem;

namespace {

const fs::path kReader = fs::path(MORVELL_BINARY_DIR) / "morvell";

struct ProcessRun {
    int exitCode = -1;
    QString out;
};

ProcessRun Start(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(QString::fromStdString(kReader.string()), args);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput())};
}

TEST(ProcessStart, HelpAndVersionPrintAndExit) {
    if (!fs::exists(kReader)) GTEST_SKIP() << "the reader is not built";
    ProcessRun version = Start({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("Morvell " MORVELL_VERSION "\n"));
    ProcessRun help = Start({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: morvell")) << help.out.toStdString();
}

TEST(ProcessStart, SnapshotDrawsTheFirstWindowIntoAPng) {
    if (!fs::exists(kReader)) GTEST_SKIP() << "the reader is not built";
    TempHome home;
    ovkbuild::Builder b;
    b.SetHeaderField("title", "Snapshot");
    b.Write(home.Path() / "book.ovk");
    const fs::path png = home.Path() / "shot.png";
    ProcessRun run = Start({"--snapshot", QString::fromStdString(png.string()),
                            QString::fromStdString((home.Path() / "book.ovk").string())});
    EXPECT_EQ(run.exitCode, 0);
    QImage image(QString::fromStdString(png.string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 100);
}

TEST(TFabout, SplashPaintsItsArtworkAndAboutClosesWithOk) {
    TFabout splash(TFabout::Mode::Splash);
    splash.ShowAtOnce();
    EXPECT_TRUE(splash.isVisible());
    const QImage image = splash.grab().toImage();
    // The artwork is more than a background colour.
    EXPECT_NE(image.pixel(5, 5), image.pixel(image.width() / 2, image.height() / 2));
    EXPECT_EQ(splash.findChild<QPushButton*>(), nullptr);

    TFabout about(TFabout::Mode::About);
    about.show();
    auto* ok = about.findChild<QPushButton*>("OK");
    ASSERT_NE(ok, nullptr);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

} // namespace
