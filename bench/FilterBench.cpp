// Times the event filter on a full recorder memory against the analysis that
// made its events, measured in the same run: the filter the window applies
// after an analysis (level 4, 1000 rows) and the «everything» filter (level 1,
// every box ticked, no row limit), which refers to nearly every event from
// the journal and the graph's lists. Prints the ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>

#include "testsupport/BenchTimes.h"
#include "testsupport/FullMemory.h"
#include "views/RecorderSession.h"

namespace {

void BM_Analysis(benchmark::State& state) {
    RecorderImage image;
    synthesizeFullMemory(image);
    eventList events;
    for (auto _ : state)
        analyseImage(image, events, nullptr);
}

void BM_Filter(benchmark::State& state) {
    RecorderSession& s = analysedFullMemory();
    const FilterSettings f = fullMemoryFilter(state.range(0) != 0);
    for (auto _ : state)
        s.applyFilter(f);
    state.counters["rows"] = double(s.lists.journalList.size());
}

BENCHMARK(BM_Analysis)->Unit(benchmark::kMillisecond);
// 0: the window's first filter; 1: everything.
BENCHMARK(BM_Filter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    analysedFullMemory();
    TimesReporter reporter(TimesReporter::cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double analysis = reporter.times["BM_Analysis"];
    for (const char* name : {"BM_Filter/0", "BM_Filter/1"})
        if (analysis > 0 && reporter.times.count(name))
            std::printf("%s: %.1f ms CPU = %.2fx the analysis (%.1f ms)\n",
                        name[10] == '1' ? "the «everything» filter" : "the window's first filter",
                        reporter.times[name], reporter.times[name] / analysis, analysis);
    benchmark::Shutdown();
    return 0;
}
