// Reading and laying out a 1 MB page with screen fonts, against QTextDocument laying out the
// same text given as HTML at the same width, in the same run. Also re-layout at a new width
// alone (both sides) and reading alone in MB/s.

#include "document/TOVKset.h"
#include "platform/CodePage.h"
#include "platform/Messages.h"
#include "text/TextModel.h"
#include "text/qt/FontMapping.h"
#include "text/qt/QtMeasurer.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

namespace {

constexpr int kParagraphs = 2000;
constexpr std::size_t kTargetBytes = 1'000'000;
constexpr int kWidth = 800;
constexpr int kOtherWidth = 640;

struct Sample {
    std::string stream; // paragraph stream, windows-1252
    QString html;       // the same text and looks as HTML
};

// Paragraphs of plain words with bold, italic, bigger and linked runs between them, the two
// texts built side by side so they hold the same characters in the same looks.
Sample MakeSample() {
    static const char* const kWords[] = {
        "lorem",  "ipsum", "dolor",   "sit",      "amet",       "consectetur", "adipiscing", "elit",
        "sed",    "do",    "eiusmod", "tempor",   "incididunt", "ut",          "labore",     "et",
        "dolore", "magna", "aliqua",  "caff\xE8", "perch\xE9",  "citt\xE0",    "wavy",       "AVATAR"};
    std::mt19937 rng(7);
    auto word = [&] { return std::string(kWords[rng() % std::size(kWords)]); };
    Sample s;
    std::string html = "<html><body>";
    const std::size_t perParagraph = kTargetBytes / kParagraphs;
    for (int p = 0; p < kParagraphs; ++p) {
        s.stream += "<Z S0 s10 >";
        html += "<p>";
        const std::size_t start = s.stream.size();
        int n = 0;
        while (s.stream.size() - start < perParagraph - 40) {
            std::string w = word();
            const std::string wHtml = morvell::CodePage::ToUtf8(w, "windows-1252");
            switch (++n % 11) {
            case 3:
                s.stream += "<Y y1 >" + w + "<Y > ";
                html += "<b>" + wHtml + "</b> ";
                break;
            case 5:
                s.stream += "<Y y2 >" + w + " " + w + "<Y > ";
                html += "<i>" + wHtml + " " + wHtml + "</i> ";
                break;
            case 7:
                s.stream += "<Y s14 >" + w + "<Y > ";
                html += "<span style=\"font-size:14pt\">" + wHtml + "</span> ";
                break;
            case 9:
                s.stream += "<$00000001>" + w + " " + w + "<%> ";
                html += "<a href=\"#p1\">" + wHtml + " " + wHtml + "</a> ";
                break;
            default:
                s.stream += w + " ";
                html += wHtml + " ";
            }
        }
        html += "</p>";
    }
    s.stream += '\0';
    html += "</body></html>";
    s.html = QString::fromStdString(html);
    return s;
}

const Sample& TheSample() {
    static const Sample sample = MakeSample();
    return sample;
}

morvell::TOVKset& Document() {
    static morvell::TOVKset doc;
    static bool made = false;
    if (!made) {
        doc.New();
        made = true;
    }
    return doc;
}

QFont PeerFont() {
    morvell::FontSpec fontSpec;
    fontSpec.size = 10;
    return morvell::FontMapping::ToQFont(fontSpec, morvell::FontMapping::ScreenDotsPerInch());
}

// The peer lays out lazily; asking for the last block's rectangle and the size makes it
// lay out everything.
double ForceLayout(QTextDocument& doc) {
    const QRectF last = doc.documentLayout()->blockBoundingRect(doc.lastBlock());
    return doc.documentLayout()->documentSize().height() + last.bottom();
}

void BM_MorvellReadAndLayOut(benchmark::State& state) {
    const Sample& s = TheSample();
    for (auto _ : state) {
        morvell::QtMeasurer measurer("windows-1252");
        morvell::TextModel model(&Document(), &measurer);
        model.SetLayoutWidth(kWidth);
        model.Load(s.stream);
        benchmark::DoNotOptimize(model.LayOut());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(s.stream.size()));
}
BENCHMARK(BM_MorvellReadAndLayOut)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_PeerReadAndLayOut(benchmark::State& state) {
    const Sample& s = TheSample();
    for (auto _ : state) {
        QTextDocument doc;
        doc.setDefaultFont(PeerFont());
        doc.setDocumentMargin(0);
        doc.setHtml(s.html);
        doc.setTextWidth(kWidth);
        benchmark::DoNotOptimize(ForceLayout(doc));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(s.stream.size()));
}
BENCHMARK(BM_PeerReadAndLayOut)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_MorvellRelayout(benchmark::State& state) {
    const Sample& s = TheSample();
    morvell::QtMeasurer measurer("windows-1252");
    morvell::TextModel model(&Document(), &measurer);
    model.SetLayoutWidth(kWidth);
    model.Load(s.stream);
    model.LayOut();
    bool other = false;
    for (auto _ : state) {
        other = !other;
        model.SetLayoutWidth(other ? kOtherWidth : kWidth);
        benchmark::DoNotOptimize(model.LayOut());
    }
}
BENCHMARK(BM_MorvellRelayout)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_PeerRelayout(benchmark::State& state) {
    const Sample& s = TheSample();
    QTextDocument doc;
    doc.setDefaultFont(PeerFont());
    doc.setDocumentMargin(0);
    doc.setHtml(s.html);
    doc.setTextWidth(kWidth);
    ForceLayout(doc);
    bool other = false;
    for (auto _ : state) {
        other = !other;
        doc.setTextWidth(other ? kOtherWidth : kWidth);
        benchmark::DoNotOptimize(ForceLayout(doc));
    }
}
BENCHMARK(BM_PeerRelayout)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_MorvellReadOnly(benchmark::State& state) {
    const Sample& s = TheSample();
    morvell::QtMeasurer measurer("windows-1252");
    for (auto _ : state) {
        morvell::TextModel model(&Document(), &measurer);
        model.Load(s.stream);
        benchmark::DoNotOptimize(model.Paragraphs().size());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(s.stream.size()));
}
BENCHMARK(BM_MorvellReadOnly)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Keeps the mean real and CPU time per iteration of every run for the ratios below.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.iterations > 0 && run.run_type == Run::RT_Iteration) {
                m_seconds[run.benchmark_name()] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
                m_cpu[run.benchmark_name()] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
            }
        ConsoleReporter::ReportRuns(runs);
    }
    static double Of(const std::map<std::string, double>& times, const std::string& prefix) {
        for (const auto& [name, seconds] : times)
            if (name.rfind(prefix, 0) == 0) return seconds;
        return 0;
    }
    std::map<std::string, double> m_seconds, m_cpu;
};

void PrintRatio(const char* what, const RatioReporter& r, const char* ours, const char* peer,
                const char* goal) {
    const double a = RatioReporter::Of(r.m_cpu, ours), b = RatioReporter::Of(r.m_cpu, peer);
    const double ra = RatioReporter::Of(r.m_seconds, ours), rb = RatioReporter::Of(r.m_seconds, peer);
    if (a > 0 && b > 0)
        std::printf(
            "%s: Morvell %.1f ms, QTextDocument %.1f ms (cpu), ratio Morvell/peer %.3f%s; wall %.3f\n", what,
            a * 1e3, b * 1e3, a / b, goal, rb > 0 ? ra / rb : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    morvell::StderrMessages messages;
    morvell::ScopedMessages scoped(messages);
    std::printf("page: %d paragraphs, %.2f MB of stream, %.2f MB of HTML, width %d px\n", kParagraphs,
                static_cast<double>(TheSample().stream.size()) / 1e6,
                static_cast<double>(TheSample().html.size()) / 1e6, kWidth);

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n");
    PrintRatio("read + lay out", reporter, "BM_MorvellReadAndLayOut", "BM_PeerReadAndLayOut",
               " (goal <= 0.5)");
    PrintRatio("re-layout at a new width", reporter, "BM_MorvellRelayout", "BM_PeerRelayout", "");
    const double read = RatioReporter::Of(reporter.m_cpu, "BM_MorvellReadOnly");
    if (read > 0)
        std::printf("reading alone: %.1f ms, %.1f MB/s (cpu)\n", read * 1e3,
                    static_cast<double>(TheSample().stream.size()) / 1e6 / read);
    return 0;
}
