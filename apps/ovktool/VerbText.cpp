// ovktool stream|layout|text FILE PAGE: a page's body text as the reader reads it — written
// back in stored form, laid out as JSON, or as plain UTF-8 lines.
#include "PageText.h"
#include "Verbs.h"

#include "objects/TOVKoggetto.h"
#include "platform/CodePage.h"
#include "text/Measurer.h"
#include "text/TOVKparag.h"
#include "text/TextModel.h"
#include "text/qt/QtMeasurer.h"

#include <QGuiApplication>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <iostream>
#include <memory>

namespace ovktool {

namespace {

using morvell::CodePage;
using morvell::TextModel;

constexpr int kDefaultWidth = 640;
constexpr int kMaxWidth = 1000000;


// Screen metrics need a GUI application. Without a display the offscreen platform still has
// fontconfig's fonts, so the tool works the same on a headless machine.
std::unique_ptr<QGuiApplication> StartGui() {
    if (QCoreApplication::instance()) return nullptr;
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    InstallQuietQtMessages();
    static int argc = 1;
    static char name[] = "ovktool";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

void LoadBody(TextModel& model, const OpenPage& open) { model.Load(open.page->DataBytes()); }

int RunStream(const Args& args) {
    if (args.size() != 2) return UsageError("stream");
    int exitCode = 0;
    auto open = OpenEbookPage(args[0], args[1], exitCode);
    if (!open) return exitCode;
    // Reading needs widths but writing does not look at them: fixed metrics keep it headless.
    morvell::FixedMetrics metrics;
    TextModel model(open->document.get(), &metrics);
    LoadBody(model, *open);
    const std::string stored = model.StoredText();
    std::cout.write(stored.data(), static_cast<std::streamsize>(stored.size()));
    std::cout.flush();
    return 0;
}

int RunText(const Args& args) {
    if (args.size() != 2) return UsageError("text");
    int exitCode = 0;
    auto open = OpenEbookPage(args[0], args[1], exitCode);
    if (!open) return exitCode;
    morvell::FixedMetrics metrics;
    TextModel model(open->document.get(), &metrics);
    LoadBody(model, *open);
    for (const auto& p : model.Paragraphs()) std::cout << CodePage::ToUtf8(p->Text(), open->charSet) << "\n";
    return 0;
}

nlohmann::ordered_json DescribeParagraph(const morvell::TOVKparag& p, const std::string& charSet,
                                         bool chars) {
    nlohmann::ordered_json lines = nlohmann::ordered_json::array();
    for (const morvell::TOVKline& l : p.Lines()) {
        lines.push_back({{"first", l.first},
                         {"count", l.count},
                         {"top", l.top},
                         {"height", l.height},
                         {"ascent", l.ascent},
                         {"offset", l.offset},
                         {"indent", l.indent},
                         {"usedWidth", l.usedWidth}});
    }
    nlohmann::ordered_json j;
    j["kind"] = p.Kind();
    j["style"] = p.StyleIndex();
    j["text"] = CodePage::ToUtf8(p.Text(), charSet);
    j["top"] = p.Top();
    j["bottom"] = p.Bottom();
    j["defaultLineHeight"] = p.DefaultLineHeight();
    j["number"] = p.Number();
    j["lines"] = lines;
    if (chars) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        // One record per character; the trailing record only carries state past the end.
        const std::size_t n = std::min(p.Chars().size(), p.Text().size());
        for (std::size_t i = 0; i < n; ++i) {
            const morvell::TCharInfo& c = p.Chars()[i];
            list.push_back({{"advance", c.Advance},
                            {"width", c.Width},
                            {"height", c.Height},
                            {"ascent", c.Ascent},
                            {"font", c.FontIndex},
                            {"object", c.ObjectIndex},
                            {"link", static_cast<std::int32_t>(c.LinkRef)}});
        }
        j["chars"] = list;
    }
    return j;
}

int RunLayout(const Args& args) {
    if (args.size() < 2) return UsageError("layout");
    int width = kDefaultWidth, zoom = 10;
    bool fixed = false, chars = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--chars") {
            chars = true;
        } else if (a == "--width" && hasValue) {
            auto w = ParseInteger(args[++i]);
            if (!w || *w < 1 || *w > kMaxWidth) return UsageError("layout");
            width = static_cast<int>(*w);
        } else if (a == "--zoom" && hasValue) {
            auto z = ParseInteger(args[++i]);
            if (!z || *z < 5 || *z > 20) return UsageError("layout");
            zoom = static_cast<int>(*z);
        } else if (a == "--metrics" && hasValue) {
            const std::string& m = args[++i];
            if (m != "fixed" && m != "screen") return UsageError("layout");
            fixed = m == "fixed";
        } else {
            return UsageError("layout");
        }
    }
    int exitCode = 0;
    auto open = OpenEbookPage(args[0], args[1], exitCode);
    if (!open) return exitCode;

    std::unique_ptr<QGuiApplication> app;
    std::unique_ptr<morvell::Measurer> measurer;
    if (fixed) {
        measurer = std::make_unique<morvell::FixedMetrics>();
    } else {
        app = StartGui();
        measurer = std::make_unique<morvell::QtMeasurer>(open->charSet);
    }
    TextModel model(open->document.get(), measurer.get());
    model.SetZoom(zoom);
    model.SetLayoutWidth(width);
    LoadBody(model, *open);
    const int height = model.LayOut();

    nlohmann::ordered_json paragraphs = nlohmann::ordered_json::array();
    for (const auto& p : model.Paragraphs())
        if (p->Kind() == morvell::TOVKparag::kBody)
            paragraphs.push_back(DescribeParagraph(*p, open->charSet, chars));
    nlohmann::ordered_json j;
    j["width"] = width;
    j["widestLine"] = model.WidestLine();
    j["height"] = height;
    j["paragraphs"] = paragraphs;
    std::cout << j.dump(2) << "\n";
    return 0;
}

VerbRegistrar g_stream({"stream", "stream FILE PAGE",
                        "the page's body text read and written back in stored form (raw bytes)", RunStream});
VerbRegistrar g_layout({"layout",
                        "layout FILE PAGE [--width W] [--zoom Z] [--metrics fixed|screen] [--chars]",
                        "the page's body paragraphs laid out at width W as JSON", RunLayout});
VerbRegistrar g_text({"text", "text FILE PAGE", "the page's characters, one line per paragraph (UTF-8)",
                      RunText});

} // namespace

} // namespace ovktool
