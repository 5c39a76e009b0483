// Times what "Наложить фильтр" and the end of an analysis cost on a full
// recorder memory: the filter pass over every event and the journal page, with
// the default settings (level 4, 1000 rows) and with everything shown (level 1,
// no row limit); and the protocol document. The analysis of the same memory is
// the reference the ratios are taken against.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "events/Analysis.h"
#include "events/eventList.h"
#include "image/RecorderImage.h"
#include "testsupport/FullMemory.h"
#include "views/EventFilter.h"
#include "views/JournalHtml.h"
#include "views/ProtocolDocument.h"

namespace {

struct Fixture {
    RecorderImage image;
    eventList events;
    Fixture() {
        synthesizeFullMemory(image);
        analyseImage(image, events, nullptr);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

FilterSettings defaults() {
    FilterSettings s;
    s.rangeStart = fixture().events.minSeconds;
    s.rangeEnd = fixture().events.maxSeconds;
    return s;
}

void BM_Analysis(benchmark::State& state) {
    eventList events;
    for (auto _ : state) analyseImage(fixture().image, events, nullptr);
}

void BM_FilterAndJournal(benchmark::State& state, bool everything) {
    FilterSettings s = defaults();
    if (everything) {
        s.detail = 0;
        s.maxCount = 0;
        s.discrete = s.relays = true;
    }
    FilteredLists lists;
    std::string html;
    for (auto _ : state) {
        filterEvents(fixture().events, s, lists);
        buildJournalHtml(lists.journalList, nullptr, html);
    }
    state.counters["rows"] = double(listSize(lists.journalList));
    state.counters["html_bytes"] = double(html.size());
}

void BM_Protocol(benchmark::State& state) {
    auto* last = static_cast<genericParser*>(fixture().events.last);
    ProtocolPeriod period{last->seconds, fixture().events.endSeconds};
    for (auto _ : state) benchmark::DoNotOptimize(buildProtocolHtml(fixture().image, period));
}

BENCHMARK(BM_Analysis)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterAndJournal, defaults, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterAndJournal, everything, true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Protocol)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs) times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    fixture();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double analysis = reporter.times["BM_Analysis"];
    for (const auto& [name, t] : reporter.times)
        if (name != "BM_Analysis" && analysis > 0)
            std::printf("%s: %.1f ms = %.2f x the analysis (%.1f ms)\n", name.c_str(), t, t / analysis,
                        analysis);
    benchmark::Shutdown();
    return 0;
}
