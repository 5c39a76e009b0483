// Times the fleet summary over 50 full recorder memories against the
// reference of the same run: 50 protocol runs one after the other (load,
// analyse, build the protocol page), as a batch of `protocol` commands would.
// The summary runs on every core and once on one worker, which shows what the
// summary costs beyond the protocol and what the cores give back.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "testsupport/FullMemory.h"
#include "testsupport/TempDir.h"
#include "views/FleetSummary.h"
#include "views/RecorderSession.h"

namespace {

constexpr int Images = 50;

// One full memory on disk, named 50 times: the files of a round of visits
// (the page cache holds them all, as it would after the first read).
struct Fleet {
    TempDir dir;
    std::vector<std::string> paths;
    Fleet() {
        RecorderImage image;
        synthesizeFullMemory(image);
        const std::string path = dir.file("full.rpd");
        image.save(path);
        paths.assign(Images, path);
    }
};

Fleet& fleet() {
    static Fleet f;
    return f;
}

void BM_Protocol50(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::string& path : fleet().paths) {
            RecorderSession session;
            session.load(path);
            session.analyse(nullptr);
            benchmark::DoNotOptimize(session.protocolHtml());
        }
    }
}

void BM_Summary50(benchmark::State& state) {
    size_t failed = 0;
    for (auto _ : state) {
        const FleetSummary s = summarizeImages(fleet().paths, unsigned(state.range(0)));
        benchmark::DoNotOptimize(summaryCsv(s));
        failed = s.failed;
    }
    state.counters["failed"] = double(failed);
}

// Each a few seconds: one iteration, repeated, the median taken, so that a
// machine busy with other work skews one repetition rather than the ratio.
BENCHMARK(BM_Protocol50)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
// 0: one worker per core.
BENCHMARK(BM_Summary50)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs)
            if (r.aggregate_name == "median") times[r.run_name.str()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    fleet();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double reference = reporter.times["BM_Protocol50/iterations:1/repeats:3"];
    std::printf("cores: %u\n", std::thread::hardware_concurrency());
    for (const auto& [name, t] : reporter.times)
        if (name.rfind("BM_Summary50", 0) == 0 && reference > 0)
            std::printf("%s (median): %.0f ms = %.2f x 50 protocol runs (%.0f ms)\n", name.c_str(),
                        t, t / reference, reference);
    return 0;
}
