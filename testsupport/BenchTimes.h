#pragma once
// The benchmarks' console reporter that also keeps each run's time by name,
// so that a benchmark can print its ratio against a floor of the same run.
// For the benchmark programs only (Google Benchmark).
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

class TimesReporter : public benchmark::ConsoleReporter {
public:
    enum Clock { cpu, real };
    explicit TimesReporter(Clock clock) : clock_(clock) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs)
            times[r.benchmark_name()] =
                clock_ == cpu ? r.GetAdjustedCPUTime() : r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;

private:
    Clock clock_;
};
