// Scrolling a 1 MB page: painting one 800 x 600 viewport at 20 scroll positions, in the page
// view and in a QTextEdit showing the same text as HTML, in the same run; and the time from
// SetPage to the first paint for the sample's longest page. Prints the ratio (page view over
// QTextEdit).

#include "document/TOVKset.h"
#include "objects/TOVKtesto.h"
#include "objects/qt/TOVKpage.h"
#include "ovkbuild/Builder.h"
#include "ovkbuild/Manifest.h"
#include "ovkbuild/Templates.h"
#include "text/qt/FontMapping.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace morvell;

constexpr int kWidth = 800, kHeight = 600, kPositions = 20;
constexpr std::size_t kPageBytes = 1 << 20;

std::string g_bigPath, g_html, g_samplePath;
double g_viewSeconds = 0, g_editSeconds = 0;

void MakeInputs() {
    const auto dir = std::filesystem::temp_directory_path() / "morvell-bench-scroll";
    std::filesystem::create_directories(dir);
    std::string text, html = "<html><body>";
    const std::string words =
        "Morvell lays out each paragraph for the width of the window and breaks its lines. ";
    for (int i = 0; text.size() < kPageBytes; ++i) {
        const std::string body =
            "Paragraph " + std::to_string(i) + ": " + words + "<Y y1 >bold words<Y > " + words;
        text += "<Z S0 A" + std::to_string(i % 4) + " >" + body;
        html += "<p align=\"" +
                std::string(i % 4 == 0   ? "left"
                            : i % 4 == 1 ? "right"
                            : i % 4 == 2 ? "center"
                                         : "justify") +
                "\">Paragraph " + std::to_string(i) + ": " + words + "<b>bold words</b> " + words + "</p>";
    }
    text += '\0';
    html += "</body></html>";
    ovkbuild::Builder b;
    ovkbuild::AddPage(b, "Big", text);
    g_bigPath = (dir / "big.ovk").string();
    b.Write(g_bigPath);
    g_html = html;
    g_samplePath = (dir / "welcome.ovk").string();
    ovkbuild::BuildFromManifestFile(std::string(MORVELL_SOURCE_DIR) + "/samples/welcome/manifest.json")
        .Write(g_samplePath);
}

// Paints the viewport at evenly spread positions of the vertical bar.
void PaintPositions(QAbstractScrollArea& area, QImage& target) {
    QScrollBar* bar = area.verticalScrollBar();
    for (int i = 0; i < kPositions; ++i) {
        bar->setValue(static_cast<int>(static_cast<long long>(bar->maximum()) * i / (kPositions - 1)));
        QPainter painter(&target);
        area.viewport()->render(&painter);
    }
}

// Mean seconds of one pass over the benchmark's iterations: a single pass timed alone is
// at the mercy of whatever else the machine does in those milliseconds.
double TimedPasses(benchmark::State& state, QAbstractScrollArea& area, QImage& target) {
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) PaintPositions(area, target);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return state.iterations() > 0 ? seconds / static_cast<double>(state.iterations()) : 0;
}

void BM_PageViewScroll(benchmark::State& state) {
    TOVKset document;
    document.SetOVKFileName(g_bigPath);
    TOVKpage view;
    view.SetDocument(&document);
    view.SetReadOnly(true);
    view.resize(kWidth, kHeight);
    view.show();
    view.SetPage(dynamic_cast<TOVKtesto*>(document.Object(TOggettiHel::testoHtml, 0)));
    QApplication::processEvents();
    QImage target(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    PaintPositions(view, target); // warm-up, as for the peer
    g_viewSeconds = TimedPasses(state, view, target);
}

void BM_QTextEditScroll(benchmark::State& state) {
    QTextEdit edit;
    edit.setReadOnly(true);
    // The page view has no frame: the same 786 x 600 viewport on both sides.
    edit.setFrameShape(QFrame::NoFrame);
    edit.resize(kWidth, kHeight);
    // The page's text in the face and size the page view draws it with (10 pt Arial), not the
    // platform's default font: the same glyphs to blit on both sides.
    FontSpec fontSpec;
    fontSpec.size = 10;
    edit.document()->setDefaultFont(FontMapping::ToQFont(fontSpec, FontMapping::ScreenDotsPerInch()));
    edit.setHtml(QString::fromStdString(g_html));
    edit.show();
    QApplication::processEvents();
    // QTextEdit lays a long document out lazily while it paints: finish that before timing,
    // as the page view finished its layout in SetPage.
    edit.document()->documentLayout()->documentSize();
    edit.verticalScrollBar()->setValue(edit.verticalScrollBar()->maximum());
    QApplication::processEvents();
    QImage target(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    PaintPositions(edit, target); // warm-up: whatever layout painting still does
    g_editSeconds = TimedPasses(state, edit, target);
}

void BM_SetPageToFirstPaint(benchmark::State& state) {
    TOVKset document;
    document.SetOVKFileName(g_samplePath);
    // The longest page of the sample.
    TOVKtesto* longest = nullptr;
    for (int i = 0; i < document.PageCount(); ++i) {
        auto* p = dynamic_cast<TOVKtesto*>(document.Object(TOggettiHel::testoHtml, i));
        if (p && (!longest || p->DataBytes().size() > longest->DataBytes().size())) longest = p;
    }
    TOVKpage view;
    view.SetDocument(&document);
    view.SetReadOnly(true);
    view.resize(kWidth, kHeight);
    view.show();
    QImage target(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.Clear();
        view.SetPage(longest);
        QPainter painter(&target);
        view.viewport()->render(&painter);
    }
}

BENCHMARK(BM_PageViewScroll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QTextEditScroll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetPageToFirstPaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    MakeInputs();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_editSeconds > 0 && g_viewSeconds > 0)
        std::printf("scroll paint ratio (page view / QTextEdit): %.3f  (goal <= 0.5)\n",
                    g_viewSeconds / g_editSeconds);
    return 0;
}
