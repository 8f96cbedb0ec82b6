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
    ovkbuild::BuildFromManifestFile(std::string(__FILE__).substr(0, std::string(__FILE__).rfind("/bench/")) +
                                    "/samples/welcome/manifest.json")
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
    for (auto _ : state) PaintPositions(view, target);
    g_viewSeconds = 0;
    const auto start = std::chrono::steady_clock::now();
    PaintPositions(view, target);
    g_viewSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_QTextEditScroll(benchmark::State& state) {
    QTextEdit edit;
    edit.setReadOnly(true);
    edit.resize(kWidth, kHeight);
    edit.setHtml(QString::fromStdString(g_html));
    edit.show();
    QApplication::processEvents();
    QImage target(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) PaintPositions(edit, target);
    const auto start = std::chrono::steady_clock::now();
    PaintPositions(edit, target);
    g_editSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
