// What the journal page costs on a full recorder memory at level 1 with every
// box ticked and no row limit (the longest journal there is): the filter
// with the view's rows (what the page holds: a pointer a row) and one screen
// of rows laid out as HTML, against the filter with the whole HTML document
// (what the command line writes and the page prints) in the same run. The
// resident memory each leaves behind is read from /proc/self/statm.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include <unistd.h>

#include "testsupport/FullMemory.h"
#include "views/JournalHtml.h"
#include "views/RecorderSession.h"

namespace {

constexpr size_t rowsOnAScreen = 40;

double residentMb() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

std::map<std::string, double> memoryGrowth; // MB kept while the benchmark's result lives

void BM_ViewRows(benchmark::State& state) {
    RecorderSession& s = analysedFullMemory();
    const FilterSettings settings = fullMemoryFilter(true);
    const double before = residentMb();
    JournalRows rows;
    std::string screen;
    for (auto _ : state) {
        s.applyFilter(settings);
        s.journalRows(nullptr, rows);
        // The rows the view lays out first: the top of the journal.
        screen.clear();
        for (size_t k = 0; k < rowsOnAScreen && k < rows.size(); ++k)
            screen += journalItemHtml(*rows[k], 140);
        benchmark::DoNotOptimize(screen.data());
    }
    memoryGrowth["BM_ViewRows"] = residentMb() - before;
    state.counters["rows"] = double(rows.size());
}

void BM_WholeDocument(benchmark::State& state) {
    RecorderSession& s = analysedFullMemory();
    const FilterSettings settings = fullMemoryFilter(true);
    const double before = residentMb();
    std::string html;
    for (auto _ : state) {
        s.applyFilter(settings);
        s.journalHtml(nullptr, html);
        benchmark::DoNotOptimize(html.data());
    }
    memoryGrowth["BM_WholeDocument"] = residentMb() - before;
    state.counters["html_MB"] = double(html.size()) / (1024.0 * 1024.0);
}

// Scrolling to a row: the rows of the screen there, laid out.
void BM_ScreenAtTheEnd(benchmark::State& state) {
    RecorderSession& s = analysedFullMemory();
    s.applyFilter(fullMemoryFilter(true));
    JournalRows rows;
    s.journalRows(nullptr, rows);
    std::string screen;
    for (auto _ : state) {
        screen.clear();
        for (size_t k = rows.size() - rowsOnAScreen; k < rows.size(); ++k)
            screen += journalItemHtml(*rows[k], 140);
        benchmark::DoNotOptimize(screen.data());
    }
}

// The view first, so that the memory it keeps is not hidden in what the
// document's run left to the allocator.
BENCHMARK(BM_ViewRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenAtTheEnd)->Unit(benchmark::kMicrosecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs)
            times[r.benchmark_name()] =
                r.GetAdjustedRealTime() * (r.time_unit == benchmark::kMicrosecond ? 1e-3 : 1.0);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times; // milliseconds
};

} // namespace

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    analysedFullMemory();
    const double base = residentMb();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double document = reporter.times["BM_WholeDocument"];
    std::printf("resident with the analysed full memory: %.0f MB\n", base);
    for (const auto& [name, t] : reporter.times) {
        std::printf("%s: %.3f ms", name.c_str(), t);
        if (document > 0)
            std::printf(" = %.4f x the whole document (%.1f ms)", t / document, document);
        if (memoryGrowth.count(name)) std::printf(", kept %+.0f MB", memoryGrowth[name]);
        std::printf("\n");
    }
    benchmark::Shutdown();
    return 0;
}
