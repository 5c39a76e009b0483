// Times the analysis of a full recorder memory (every page and settings slot
// written, clock set back and forward) against the literal reference that
// converts every record's time with mktime and inserts every settings event by
// a linear search from the front, and prints the ratio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>

#include "events/Analysis.h"
#include "events/eventList.h"
#include "image/RecorderImage.h"
#include "testsupport/BenchTimes.h"
#include "testsupport/FullMemory.h"
#include "testsupport/LiteralAnalysis.h"

namespace {

RecorderImage& fullMemory() {
    static RecorderImage image;
    static bool made = false;
    if (!made) {
        synthesizeFullMemory(image);
        made = true;
    }
    return image;
}

size_t countOf(const eventList& events) {
    size_t n = 0;
    for (auto* e = events.front(); e; e = eventList::after(e))
        ++n;
    return n;
}

void BM_ProjectAnalysis(benchmark::State& state) {
    RecorderImage& image = fullMemory();
    eventList events;
    for (auto _ : state)
        analyseImage(image, events, nullptr);
    state.counters["events"] = double(countOf(events));
}

void BM_LiteralAnalysis(benchmark::State& state) {
    RecorderImage& image = fullMemory();
    eventList events;
    for (auto _ : state)
        analyseLiterally(image, events);
    state.counters["events"] = double(countOf(events));
}

BENCHMARK(BM_ProjectAnalysis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiteralAnalysis)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    fullMemory();
    TimesReporter reporter(TimesReporter::real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto project = reporter.times.find("BM_ProjectAnalysis");
    auto literal = reporter.times.find("BM_LiteralAnalysis/iterations:1");
    if (project != reporter.times.end() && literal != reporter.times.end()) {
        std::printf("project analysis: %.1f ms, literal reference: %.1f ms, ratio: %.1fx\n",
                    project->second, literal->second, literal->second / project->second);
    }
    benchmark::Shutdown();
    return 0;
}
