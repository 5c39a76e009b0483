// Times what the window does to open a full recorder memory with filter
// options (`gruvik2 --level 1 --max 0 FILE.rpd`), without the window: load,
// analyse, filter, and build what the pages show (the journal's rows, the
// protocol page, the graph's window). Once as it is done now, filtered once
// with the options, and once as it was, filtered first with the span the
// analysis leaves and then again with the options, each page built twice.
// The floor of the same run is the load and the analysis. Prints the ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>

#include "testsupport/BenchTimes.h"
#include "testsupport/FullMemory.h"
#include "testsupport/TempDir.h"
#include "views/GraphDraw.h"
#include "views/GraphPage.h"
#include "views/RecorderSession.h"

namespace {

struct Image {
    TempDir dir;
    std::string path;
    Image() {
        RecorderImage image;
        synthesizeFullMemory(image);
        path = dir.file("full.rpd");
        image.save(path);
    }
};
Image& image() {
    static Image i;
    return i;
}

FilterSettings options(const RecorderSession& s) {
    FilterSettings f = s.spanningFilter(FilterSettings{});
    f.detail = 0;
    f.maxCount = 0;
    return f;
}

void pages(RecorderSession& s) {
    JournalRows rows;
    s.journalRows(nullptr, rows);
    benchmark::DoNotOptimize(s.protocolHtml());
    GraphDraw draw;
    s.regenerateGraph(draw, defaultGraphScale);
    showLatestCurve(draw);
    benchmark::DoNotOptimize(rows.data());
}

void BM_LoadAndAnalyse(benchmark::State& state) {
    for (auto _ : state) {
        RecorderSession s;
        s.load(image().path);
        s.analyse(nullptr);
    }
}

void BM_OpenWithOptions(benchmark::State& state) {
    const bool twice = state.range(0) != 0;
    for (auto _ : state) {
        RecorderSession s;
        s.load(image().path);
        s.analyse(nullptr);
        if (twice) {
            s.applyFilter(s.filter);
            pages(s);
        }
        s.applyFilter(options(s));
        pages(s);
    }
}

BENCHMARK(BM_LoadAndAnalyse)->Unit(benchmark::kMillisecond);
// 0: filtered once; 1: twice, as before.
BENCHMARK(BM_OpenWithOptions)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    image();
    TimesReporter reporter(TimesReporter::cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double floor = reporter.times["BM_LoadAndAnalyse"];
    for (const char* name : {"BM_OpenWithOptions/0", "BM_OpenWithOptions/1"})
        if (floor > 0 && reporter.times.count(name))
            std::printf("open with filter options, %s: %.1f ms CPU = %.2fx the load and "
                        "analysis (%.1f ms)\n",
                        name[19] == '0' ? "filtered once" : "filtered twice (before)",
                        reporter.times[name], reporter.times[name] / floor, floor);
    benchmark::Shutdown();
    return 0;
}
