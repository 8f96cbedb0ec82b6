// ovktool render FILE PAGE [--width W] [--height H] [--zoom Z] [--out PNG]: draws the page view
// of a page offscreen, as the reader shows it (header and footer pages, backgrounds, pictures),
// into a PNG.
#include "PageText.h"
#include "Verbs.h"

#include "objects/TOVKtesto.h"
#include "objects/qt/TOVKpage.h"
#include "platform/qt/QtMessages.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace {

using namespace ovktool;

constexpr int kDefaultWidth = 800;
// Widgets and images taller than this are refused by the window system.
constexpr int kMaxHeight = 32600;
constexpr int kMaxWidth = 16000;
// The height the page is first laid out in, before its content height is known.
constexpr int kProbeHeight = 600;

bool ParseOption(const Args& args, std::size_t& i, const char* name, long long min, long long max,
                 long long& value) {
    if (args[i] != name) return false;
    if (i + 1 >= args.size()) throw std::invalid_argument(std::string(name) + " needs a value");
    const auto parsed = ParseInteger(args[++i]);
    if (!parsed || *parsed < min || *parsed > max)
        throw std::invalid_argument(std::string(name) + " must be " + std::to_string(min) + " to " +
                                    std::to_string(max));
    value = *parsed;
    return true;
}

int Run(const Args& args) {
    std::vector<std::string> positional;
    long long width = kDefaultWidth, height = -1, zoom = 10;
    std::string out;
    try {
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (ParseOption(args, i, "--width", 1, kMaxWidth, width)) continue;
            if (ParseOption(args, i, "--height", 1, kMaxHeight, height)) continue;
            if (ParseOption(args, i, "--zoom", 5, 20, zoom)) continue;
            if (args[i] == "--out") {
                if (i + 1 >= args.size()) throw std::invalid_argument("--out needs a file name");
                out = args[++i];
                continue;
            }
            positional.push_back(args[i]);
        }
    } catch (const std::invalid_argument& e) {
        std::cerr << "ovktool render: " << e.what() << "\n";
        return 2;
    }
    if (positional.size() != 2) return UsageError("render");
    if (out.empty()) out = positional[1] + ".png";

    // Always offscreen: the picture must not depend on a display or its scaling.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    InstallQuietQtMessages();
    static int argc = 1;
    static char name[] = "ovktool";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    morvell::InstallQtPlatform();

    int exitCode = 0;
    auto open = OpenEbookPage(positional[0], positional[1], exitCode);
    if (!open) return exitCode;
    auto* page = dynamic_cast<morvell::TOVKtesto*>(open->page);
    if (!page) {
        std::cerr << "ovktool render: object " << positional[1] << " is not a page\n";
        return 1;
    }

    morvell::TOVKpage view;
    view.SetDocument(open->document.get());
    view.SetReadOnly(true);
    view.SetZoom(static_cast<int>(zoom));
    // The whole page goes into the picture: no scroll bars take room from it.
    view.SetScrollBarMode(0);
    view.resize(static_cast<int>(width), height > 0 ? static_cast<int>(height) : kProbeHeight);
    view.show();
    QApplication::processEvents();
    view.SetPage(page);
    QApplication::processEvents();
    if (height <= 0) {
        const int content = std::clamp(view.ContentHeight(), 1, kMaxHeight);
        view.resize(static_cast<int>(width), content);
        QApplication::processEvents();
        view.Relayout();
        QApplication::processEvents();
    }
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        view.render(&painter);
    }
    if (!image.save(QFile::decodeName(out.c_str()), "PNG")) {
        std::cerr << "ovktool render: cannot write " << out << "\n";
        return 1;
    }
    std::cout << out << ": " << image.width() << " x " << image.height() << "\n";
    return 0;
}

const VerbRegistrar kRender({"render", "render FILE PAGE [--width W] [--height H] [--zoom Z] [--out PNG]",
                             "draws the page view of PAGE offscreen into a PNG (default PAGE.png)", Run});

} // namespace
