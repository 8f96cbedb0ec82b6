// Opening a large ebook against reading its bytes into memory, the physical floor of any
// open. The ebook (20 000 pages with a few KB of text each and 100 000 other objects, about
// 80 MB) is written once into $TMPDIR by a child process, so that building it does not
// count in this process's peak memory.

#include "document/TOVKset.h"
#include "ovkbuild/Builder.h"
#include "ovkbuild/Templates.h"
#include "platform/Messages.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using morvell::TOggettiHel;

constexpr int kPages = 20000;
constexpr int kKeywords = 40000;
constexpr int kLinks = 30000;
constexpr int kSpecLinks = 20000;
constexpr int kMarkers = 10000; // shortObj comments with a small text

std::string BenchPath() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/morvell_bench_open.ovk";
}

std::string PageText(int page) {
    std::string text = "<Z S0 >Pagina " + std::to_string(page) + ". ";
    static const std::string sentence = "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do "
                                        "eiusmod tempor incididunt ut labore. ";
    while (text.size() < 2900) text += sentence;
    return text;
}

void BuildEbook(const std::string& path) {
    ovkbuild::Builder b;
    for (int i = 0; i < kPages; ++i) ovkbuild::AddPage(b, "Pagina " + std::to_string(i), PageText(i));

    b.SetRecordSize(TOggettiHel::keyword, 80);
    for (int i = 0; i < kKeywords; ++i) {
        ovkbuild::Record r(80, 0);
        r.Str(0, 79, "parola" + std::to_string(i));
        b.AddRecord(TOggettiHel::keyword, r);
    }
    b.SetRecordSize(TOggettiHel::internetLink, 133);
    for (int i = 0; i < kLinks; ++i) {
        ovkbuild::Record r(133, 0);
        r.U8(4, 7).Str(5, 127, "http://example.org/" + std::to_string(i));
        b.AddRecord(TOggettiHel::internetLink, r);
    }
    b.SetRecordSize(TOggettiHel::speclink, 48);
    for (int i = 0; i < kSpecLinks; ++i) {
        ovkbuild::Record r(48, 0);
        r.U8(4, 1).I32(5, 0).I32(9, -1).I32(13, i % kPages).I32(39, 0).I32(43, 0);
        b.AddRecord(TOggettiHel::speclink, r);
    }
    b.SetRecordSize(TOggettiHel::shortObj, 32);
    for (int i = 0; i < kMarkers; ++i) {
        ovkbuild::DataBlock block = b.AddData("Commento numero " + std::to_string(i) + " della pagina.");
        ovkbuild::Record r(32, 0);
        r.I32(0, static_cast<std::int32_t>(block.offset))
            .U8(4, 10)
            .I32(13, static_cast<std::int32_t>(block.length));
        b.AddRecord(TOggettiHel::shortObj, r);
    }
    b.Write(path);
}

// Written by a child, so the builder's own copies of 80 MB never touch our peak memory.
void EnsureEbook(const std::string& path) {
    pid_t child = ::fork();
    if (child == 0) {
        try {
            BuildEbook(path);
            std::_Exit(0);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bench_open: %s\n", e.what());
            std::_Exit(1);
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_open: could not write %s\n", path.c_str());
        std::exit(1);
    }
}

long PeakRssKb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::string g_path;
long g_peakAfterOpenKb = 0;
std::int64_t g_keptBytes = 0;
int g_objects = 0;

void BM_Open(benchmark::State& state) {
    morvell::RecordingMessages messages;
    morvell::ScopedMessages scope(messages);
    morvell::TOVKset doc;
    for (auto _ : state) {
        if (!doc.SetOVKFileName(g_path)) state.SkipWithError("open failed");
        state.PauseTiming();
        g_keptBytes = doc.KeptBytes();
        g_objects = 0;
        for (int k = 0; k < morvell::kKindCount; ++k) g_objects += doc.Count(static_cast<TOggettiHel>(k));
        doc.Close();
        state.ResumeTiming();
    }
    g_peakAfterOpenKb = PeakRssKb();
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(g_path)));
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadFile(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(std::filesystem::file_size(g_path));
    for (auto _ : state) {
        std::string bytes(size, '\0');
        std::FILE* f = std::fopen(g_path.c_str(), "rb");
        std::size_t got = f ? std::fread(bytes.data(), 1, size, f) : 0;
        if (f) std::fclose(f);
        if (got != size) state.SkipWithError("short read");
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}
BENCHMARK(BM_ReadFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps the mean time per iteration of every run, so the ratio is printed from this run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.iterations > 0 && run.run_type == Run::RT_Iteration) {
                m_seconds[run.benchmark_name()] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
                m_cpuSeconds[run.benchmark_name()] =
                    run.cpu_accumulated_time / static_cast<double>(run.iterations);
            }
        ConsoleReporter::ReportRuns(runs);
    }
    static double Of(const std::map<std::string, double>& times, const std::string& prefix) {
        for (const auto& [name, seconds] : times)
            if (name.rfind(prefix, 0) == 0) return seconds;
        return 0;
    }
    std::map<std::string, double> m_seconds, m_cpuSeconds;
};

} // namespace

int main(int argc, char** argv) {
    g_path = BenchPath();
    EnsureEbook(g_path);
    const long baseKb = PeakRssKb();

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double open = RatioReporter::Of(reporter.m_seconds, "BM_Open");
    const double read = RatioReporter::Of(reporter.m_seconds, "BM_ReadFile");
    const double openCpu = RatioReporter::Of(reporter.m_cpuSeconds, "BM_Open");
    const double readCpu = RatioReporter::Of(reporter.m_cpuSeconds, "BM_ReadFile");
    const double fileMb = static_cast<double>(std::filesystem::file_size(g_path)) / 1e6;
    std::printf("\nfile %.1f MB, %d objects\n", fileMb, g_objects);
    if (open > 0 && read > 0)
        std::printf("open %.1f ms, read %.1f ms, ratio open/read %.2f (goal <= 1.5)\n", open * 1e3,
                    read * 1e3, open / read);
    // On a shared, loaded machine the wall clock mostly measures waiting; CPU time does not.
    if (openCpu > 0 && readCpu > 0)
        std::printf("cpu: open %.1f ms, read %.1f ms, ratio open/read %.2f\n", openCpu * 1e3, readCpu * 1e3,
                    openCpu / readCpu);
    std::printf("peak RSS after the opens %.1f MB (%.1f MB before them); the document keeps %.1f MB\n",
                static_cast<double>(g_peakAfterOpenKb) / 1024.0, static_cast<double>(baseKb) / 1024.0,
                static_cast<double>(g_keptBytes) / (1024.0 * 1024.0));
    std::filesystem::remove(g_path);
    return 0;
}
