// Times what `gruvik2-cli archive fleet` and `archive history` do over an
// index of 10,000 readings of 1,000 recorders (rows made here, in the index
// only) against the reference of the same run: the analysis of one full
// recorder memory. Both open the archive, read the index and make their
// table as CSV; neither may take as long as the one analysis.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "common/Format.h"
#include "common/OutputWriter.h"
#include "events/Analysis.h"
#include "events/eventList.h"
#include "history/Archive.h"
#include "history/ArchiveTables.h"
#include "image/RecorderImage.h"
#include "testsupport/BenchTimes.h"
#include "testsupport/FullMemory.h"
#include "testsupport/TempDir.h"

namespace {

constexpr int Recorders = 1000, ReadingsEach = 10;
constexpr int32_t Installed = 1577836800; // 2020-01-01
constexpr int32_t Quarter = 91 * 86400;

Reading readingOf(int recorder, int k) {
    Reading r;
    r.serial = strprintf("%04d", recorder);
    r.sha256 = strprintf("%060d%04d", recorder, k);
    r.firstEventSeconds = Installed + k * Quarter - 60 * 86400;
    r.lastEventSeconds = Installed + (k + 1) * Quarter + recorder * 60;
    r.firmware = "РП-3 в.3.07 от 14.06.2022";
    r.commissioningDate = Installed - 3650 * 86400;
    r.installationDate = Installed;
    r.serviceLifeYears = 20;
    r.passportGroup = 5;
    r.serviceLifeEnd = "2030-01-01";
    r.countersWritten = true;
    for (int c = 0; c < 3; ++c) {
        ReadingColumn col;
        col.cyclesMode[1] = uint32_t(2000 * (k + 1) + recorder);
        col.cyclesOverload = uint32_t(10 * (k + 1));
        col.cyclesTotal = col.cyclesMode[1] + col.cyclesOverload;
        col.spectrumSum = 0.2 * col.cyclesTotal;
        col.liftedKg = 5000.0 * col.cyclesTotal;
        col.kr = 0.2;
        col.loadingMode = 2;
        col.usedToDatePercent = col.cyclesTotal * 100.0 / 500000;
        col.exhaustionDate = "2061-03-15";
        r.columns.push_back(col);
    }
    r.operatingSeconds.assign(6, uint32_t(36000 * (k + 1)));
    r.mechanismNames = {"Главный подъём", "Вспом. подъём", "Тележка", "Мост", "Стрела", "Поворот"};
    r.overloadStarts = uint32_t(5 * (k + 1));
    r.powerOns = uint32_t(200 * (k + 1));
    return r;
}

struct Fixture {
    TempDir dir;
    RecorderImage full;
    std::string folder = dir.file("archive");
    Fixture() {
        synthesizeFullMemory(full);
        Archive archive(folder);
        std::vector<Reading> rows;
        for (int r = 0; r < Recorders; ++r)
            for (int k = 0; k < ReadingsEach; ++k)
                rows.push_back(readingOf(r, k));
        archive.indexOnly(rows);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

size_t csvBytes(const std::vector<ExportRecord>& table) {
    std::string out;
    StringSink sink(out);
    OutputWriter w(sink);
    writeTableCsv(w, table);
    w.flush();
    return out.size();
}

void BM_AnalyseFullMemory(benchmark::State& state) {
    eventList events;
    for (auto _ : state)
        analyseImage(fixture().full, events, nullptr);
}

void BM_ArchiveFleet(benchmark::State& state) {
    size_t rows = 0;
    for (auto _ : state) {
        Archive archive(fixture().folder);
        const auto fleet = archive.fleet(Installed + 3 * 365 * 86400);
        rows = fleet.size();
        benchmark::DoNotOptimize(csvBytes(fleetTable(fleet)));
    }
    state.counters["recorders"] = double(rows);
}

void BM_ArchiveHistory(benchmark::State& state) {
    size_t rows = 0;
    for (auto _ : state) {
        Archive archive(fixture().folder);
        const auto history = archive.history("0500");
        rows = history.size();
        benchmark::DoNotOptimize(csvBytes(historyTable(history)));
    }
    state.counters["readings"] = double(rows);
}

BENCHMARK(BM_AnalyseFullMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchiveFleet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchiveHistory)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    fixture();
    TimesReporter reporter(TimesReporter::real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double reference = reporter.times["BM_AnalyseFullMemory"];
    for (const char* name : {"BM_ArchiveFleet", "BM_ArchiveHistory"}) {
        const auto it = reporter.times.find(name);
        if (it == reporter.times.end() || reference <= 0) continue;
        std::printf("%s over %d readings of %d recorders: %.1f ms = %.3f x the analysis of a "
                    "full memory (%.1f ms): %s\n",
                    name, Recorders * ReadingsEach, Recorders, it->second, it->second / reference,
                    reference, it->second < reference ? "within the target" : "OVER THE TARGET");
    }
    benchmark::Shutdown();
    return 0;
}
