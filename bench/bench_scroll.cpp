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

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace morvell;

constexpr int kWidth = 800, kHeight = 600, kPositions = 20;
constexpr std::size_t kPageBytes = 1 << 20;

std::string g_bigPath, g_html, g_samplePath;
double g_viewSeconds = 0, g_editSeconds = 0, g_coldFirstPaint = 0;
double g_viewFirstPass = 0, g_editFirstPass = 0;

// Words of a made-up language: a vocabulary of kVocabulary words of 1 to 4 syllables, drawn
// with Zipf frequencies (the k-th most common word k times rarer than the first), as words are
// in books. A page of one sentence repeated would flatter anything that remembers words.
constexpr int kVocabulary = 6000;

class Prose {
public:
    Prose() {
        const char* const syllables[] = {"ka", "mor", "vel",  "li", "tan", "se", "ro",  "qui", "de",  "fa",
                                         "ne", "lu",  "stra", "ob", "pe",  "ri", "gon", "ta",  "ven", "su"};
        for (int i = 0; i < kVocabulary; ++i) {
            std::string w;
            for (int n = 1 + static_cast<int>(Next() % 4); n > 0; --n) w += syllables[Next() % 20];
            m_words.push_back(w);
            m_weights.push_back((m_weights.empty() ? 0.0 : m_weights.back()) + 1.0 / (i + 1));
        }
    }
    const std::string& Word() {
        const double r = static_cast<double>(Next() % 1000000) / 1000000.0 * m_weights.back();
        const auto it = std::lower_bound(m_weights.begin(), m_weights.end(), r);
        return m_words[static_cast<std::size_t>(it - m_weights.begin())];
    }
    unsigned Next() { return m_seed = m_seed * 1103515245u + 12345u, (m_seed >> 8) & 0xFFFFFF; }

private:
    unsigned m_seed = 20261210u;
    std::vector<std::string> m_words;
    std::vector<double> m_weights;
};

void MakeInputs() {
    const auto dir = std::filesystem::temp_directory_path() / "morvell-bench-scroll";
    std::filesystem::create_directories(dir);
    std::string text, html = "<html><body>";
    Prose prose;
    for (int i = 0; text.size() < kPageBytes; ++i) {
        // A paragraph of 20 to 80 words, a few of them bold, in the same bytes on both sides.
        std::string plain, marked, tagged;
        const int count = 20 + static_cast<int>(prose.Next() % 61);
        for (int w = 0; w < count; ++w) {
            const std::string& word = prose.Word();
            const bool bold = prose.Next() % 16 == 0;
            const std::string end = w + 1 == count ? "." : (prose.Next() % 9 == 0 ? ", " : " ");
            tagged += bold ? "<Y y1 >" + word + "<Y >" + end : word + end;
            marked += bold ? "<b>" + word + "</b>" + end : word + end;
        }
        text += "<Z S0 A" + std::to_string(i % 4) + " >" + tagged;
        // No space between paragraphs, as on the page: both sides show the same lines.
        html += "<p style=\"margin:0\" align=\"" +
                std::string(i % 4 == 0   ? "left"
                            : i % 4 == 1 ? "right"
                            : i % 4 == 2 ? "center"
                                         : "justify") +
                "\">" + marked + "</p>";
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

// Paints the viewport at evenly spread positions of the vertical bar. Each pass starts at
// another fraction of the spacing (golden-ratio steps), so the passes spread over the whole
// page instead of painting the same 20 viewports again and again.
void PaintPositions(QAbstractScrollArea& area, QImage& target, int pass) {
    QScrollBar* bar = area.verticalScrollBar();
    const double shift = std::fmod(pass * 0.6180339887, 1.0);
    for (int i = 0; i < kPositions; ++i) {
        bar->setValue(static_cast<int>(bar->maximum() * ((i + shift) / kPositions)));
        QPainter painter(&target);
        area.viewport()->render(&painter);
    }
}

// The warm-up pass, timed: the first time each side paints this text, with no word of it
// drawn before (the page view's word images are all made in this pass). With
// MORVELL_BENCH_SNAPSHOTS set to a folder, the last viewport of this pass is saved there as
// <name>.png: the same pass on both sides, to see that both show the same text.
double FirstPass(QAbstractScrollArea& area, QImage& target, const char* name) {
    const auto start = std::chrono::steady_clock::now();
    PaintPositions(area, target, 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (const char* dir = std::getenv("MORVELL_BENCH_SNAPSHOTS"))
        target.save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
    return seconds;
}

double TimedPasses(benchmark::State& state, QAbstractScrollArea& area, QImage& target) {
    const auto start = std::chrono::steady_clock::now();
    int pass = 1; // pass 0 was the warm-up
    for (auto _ : state) PaintPositions(area, target, pass++);
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
    g_viewFirstPass = FirstPass(view, target, "page-view"); // warm-up, as for the peer
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
    g_editFirstPass = FirstPass(edit, target, "qtextedit"); // warm-up: what layout painting still does
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
    // The first time in the program, before any word of the page was measured or drawn (this
    // benchmark runs first).
    if (g_coldFirstPaint == 0) {
        const auto start = std::chrono::steady_clock::now();
        view.SetPage(longest);
        QPainter painter(&target);
        view.viewport()->render(&painter);
        g_coldFirstPaint = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    for (auto _ : state) {
        view.Clear();
        view.SetPage(longest);
        QPainter painter(&target);
        view.viewport()->render(&painter);
    }
}

BENCHMARK(BM_SetPageToFirstPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageViewScroll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QTextEditScroll)->Unit(benchmark::kMillisecond);

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
    if (g_editFirstPass > 0 && g_viewFirstPass > 0)
        std::printf("first pass, nothing drawn before: page view %.1f ms, QTextEdit %.1f ms, ratio %.3f\n",
                    g_viewFirstPass * 1000, g_editFirstPass * 1000, g_viewFirstPass / g_editFirstPass);
    if (g_coldFirstPaint > 0)
        std::printf("SetPage to first paint, first time in the program: %.2f ms\n", g_coldFirstPaint * 1000);
    return 0;
}
