// Times what "Наложить фильтр" and the end of an analysis cost on a full
// recorder memory: the filter pass over every event and the journal page, with
// the default settings (level 4, 1000 rows) and with everything shown (level 1,
// no row limit); the protocol document; and one painting of the graph with
// every list filled. The analysis of the same memory is
// the reference the ratios are taken against.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "testsupport/BenchTimes.h"
#include "testsupport/FullMemory.h"
#include "testsupport/RecordingCanvas.h"
#include "views/GraphDraw.h"
#include "views/RecorderSession.h"

namespace {

// The analysed full memory; each benchmark filters its own session.
struct Fixture {
    RecorderSession session;
    Fixture() {
        synthesizeFullMemory(session.image);
        session.analyse(nullptr);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

FilterSettings defaults() {
    return fixture().session.spanningFilter(FilterSettings());
}

void BM_Analysis(benchmark::State& state) {
    RecorderSession session;
    synthesizeFullMemory(session.image);
    for (auto _ : state)
        session.analyse(nullptr);
}

void BM_FilterAndJournal(benchmark::State& state, bool everything) {
    FilterSettings s = defaults();
    if (everything) {
        s.detail = 0;
        s.maxCount = 0;
        s.discrete = s.relays = true;
    }
    RecorderSession& session = fixture().session;
    std::string html;
    for (auto _ : state) {
        session.applyFilter(s);
        session.journalHtml(nullptr, html);
    }
    state.counters["rows"] = double(listSize(session.lists.journalList));
    state.counters["html_bytes"] = double(html.size());
}

void BM_Protocol(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(fixture().session.protocolHtml());
}

// Measures texts like the recording canvas but keeps no drawing call.
struct CountingCanvas : RecordingCanvas {
    long calls = 0;
    void drawText(const std::string&, int, int) override { ++calls; }
    void drawRotatedText(const std::string&, int, int, double) override { ++calls; }
    void drawLine(int, int, int, int) override { ++calls; }
    void drawRectangle(int, int, int, int) override { ++calls; }
    void drawCircle(int, int, int) override { ++calls; }
};

void BM_GraphPaint(benchmark::State& state) {
    FilterSettings s = defaults();
    s.discrete = s.relays = true;
    RecorderSession& session = fixture().session;
    session.applyFilter(s);
    GraphDraw draw;
    session.regenerateGraph(draw, 10); // one week
    draw.width = 1920;
    draw.height = 1080;
    long calls = 0;
    for (auto _ : state) {
        CountingCanvas canvas;
        draw.paint(canvas);
        calls = canvas.calls;
    }
    state.counters["drawing_calls"] = double(calls);
}

BENCHMARK(BM_Analysis)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterAndJournal, defaults, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilterAndJournal, everything, true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Protocol)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphPaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    fixture();
    TimesReporter reporter(TimesReporter::real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double analysis = reporter.times["BM_Analysis"];
    for (const auto& [name, t] : reporter.times)
        if (name != "BM_Analysis" && analysis > 0)
            std::printf("%s: %.1f ms = %.2f x the analysis (%.1f ms)\n", name.c_str(), t,
                        t / analysis, analysis);
    benchmark::Shutdown();
    return 0;
}
