// The reader's process: command-line switches (installer, uninstaller, folder removal),
// the splash window, the main window and its event loop, and the command that may run
// once the loop has ended.
#include "platform/Messages.h"
#include "platform/qt/QtMessages.h"
#include "shell/ExitCommand.h"
#include "shell/FolderRemoval.h"
#include "shell/Installer.h"
#include "shell/StartupChoice.h"
#include "shell/StartupSwitches.h"
#include "shell/StartupTexts.h"
#include "shell/qt/TFabout.h"
#include "shell/qt/TFirstWindow.h"
#include "text/qt/QtTimerDriver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace morvell;

namespace {

constexpr int kSplashMs = 1800;

// Options of this program that are not part of the reader's own command line.
struct ProcessOptions {
    std::string snapshot; // --snapshot FILE.png: draw the main window into a file and quit
    bool snapshotMissingFile = false;
};

std::vector<std::string> Arguments(ProcessOptions& options) {
    std::vector<std::string> args;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) {
        // File names keep their bytes, whatever the locale's encoding.
        const std::string arg = QFile::encodeName(all[i]).toStdString();
        if (arg == "--snapshot") {
            if (i + 1 < all.size())
                options.snapshot = QFile::encodeName(all[++i]).toStdString();
            else
                options.snapshotMissingFile = true;
            continue;
        }
        args.push_back(arg);
    }
    return args;
}

int RunReader(QApplication& app, const std::vector<std::string>& args, const std::string& programFolder,
              const StartupSwitches& switches, const ProcessOptions& options) {
    QPointer<TFabout> splash = new TFabout(TFabout::Mode::Splash);
    splash->setAttribute(Qt::WA_DeleteOnClose);
    if (options.snapshot.empty()) splash->ShowAtOnce();
    SetApplicationTitle(startup_texts::kApplicationName);

    StartupRequest request{args, programFolder, QDir::currentPath().toStdString(), switches.brochure};
    TFirstWindow window(std::move(request));
    // The splash is a window of its own: the loop must end with the main window, not with it.
    app.setQuitOnLastWindowClosed(false);
    QObject::connect(&window, &TFirstWindow::closed, &app, &QCoreApplication::quit);

    int result = 0;
    QObject::connect(&window, &TFirstWindow::firstShown, &window, [&]() {
        if (options.snapshot.empty()) {
            QTimer::singleShot(kSplashMs, &window, [&splash]() { delete splash.data(); });
            return;
        }
        delete splash.data();
        // One more turn of the loop so that the caption and status bar are painted.
        QTimer::singleShot(0, &window, [&]() {
            if (!window.grab().save(QFile::decodeName(options.snapshot.c_str()), "PNG")) {
                std::fprintf(stderr, "morvell: cannot write %s\n", options.snapshot.c_str());
                result = 1;
            }
            window.close();
        });
    });
    window.show();
    app.exec();
    delete splash.data();
    return result;
}

} // namespace

int main(int argc, char** argv) {
    // Asked from a terminal, possibly without a display: answer before any window exists.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(startup_texts::kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", startup_texts::kApplicationName, MORVELL_VERSION);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(startup_texts::kApplicationName));
    QApplication::setApplicationVersion(QStringLiteral(MORVELL_VERSION));
    // Prices and measures are written and read with "." whatever the user's locale; Qt has
    // just set the C library's locale from the environment.
    std::setlocale(LC_NUMERIC, "C");
    InstallQtPlatform();
    // The one platform timer behind every lightweight timer of the reader's controls, for as
    // long as the program runs.
    QtTimerDriver sharedTimer;

    ProcessOptions options;
    const std::vector<std::string> args = Arguments(options);
    if (options.snapshotMissingFile) {
        std::fputs("morvell: --snapshot needs a file name\n", stderr);
        return 2;
    }
    const std::string programPath = ProgramPath(argc > 0 ? argv[0] : "");
    const std::string programFolder = ProgramFolder(programPath);
    const StartupSwitches switches = EvaluateSwitches(args);

    if (switches.mode == StartupMode::Install) SetApplicationTitle(startup_texts::kTitleInstall);
    if (switches.mode == StartupMode::Uninstall) SetApplicationTitle(startup_texts::kTitleUninstall);
    // The folder-removal question carries the program's own name.
    if (switches.mode == StartupMode::DeleteFolder) SetApplicationTitle(startup_texts::kApplicationName);

    // The free-resources check of old desktop systems (a fixed pool of window handles) has
    // no counterpart here: memory is virtual and a window cannot exhaust it, so the start
    // goes straight on.

    int result = 0;
    Installer installer(programPath, programFolder);
    switch (switches.mode) {
    case StartupMode::Install:
        installer.Install(args, switches.installWithoutMenu);
        result = RunReader(app, args, programFolder, switches, options);
        break;
    case StartupMode::Uninstall:
        installer.Uninstall(args, PendingExitCommand());
        break;
    case StartupMode::DeleteFolder:
        RemoveFolder(args);
        break;
    case StartupMode::Normal:
        result = RunReader(app, args, programFolder, switches, options);
        break;
    }

    if (PendingExitCommand().IsSet() && RunExitCommand(PendingExitCommand()) < 0)
        std::fprintf(stderr, "morvell: cannot start %s\n", PendingExitCommand().program.c_str());
    return result;
}
