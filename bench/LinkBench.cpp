// The device link's own cost per page against the reader emulator on a
// pseudo-terminal, unpaced, as ratios against a bare request/answer round trip
// over a pseudo-terminal measured in the same run.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <random>
#include <thread>
#include <unistd.h>

#include "device/Crc16.h"
#include "device/Link.h"
#include "device/linux/TermiosLine.h"
#include "testsupport/LinkFakes.h"

namespace {

// The emulator in page-request mode, reached through the program's link layer.
struct Session {
    Session() {
        std::mt19937 random(7);
        for (uint32_t i = 0; i < RecorderImage::ImageSize; ++i)
            recorder.data()[i] = uint8_t(random());
        emulator = std::make_unique<EmulatorThread>(recorder);
        TermiosLine::open(emulator->path(), line);
        configureLine(*line);
        applyTimeouts(*line, TransferTimeouts);
        sendByte(*line, wire::StartRead);
        if (receiveByte(*line) != wire::Ready) std::abort();
        for (uint32_t p = 0; p < RecorderImage::PageCount; ++p)
            crcs[p] = crc.compute(recorder.page(p), RecorderImage::PageSize);
    }
    // One step of the page loop: request, status, and the page when it differs.
    uint8_t page(uint32_t p, uint16_t ourCrc) {
        auto request = pageRequest(uint16_t(p), ourCrc);
        sendAll(*line, request.data(), request.size());
        uint8_t status = receiveByte(*line);
        if (status == wire::PageDiffers) {
            uint8_t sent[2];
            receiveAll(*line, sent, 2);
            receiveAll(*line, buffer, RecorderImage::PageSize);
            crc.compute(buffer, RecorderImage::PageSize);
        }
        return status;
    }

    RecorderImage recorder;
    std::unique_ptr<EmulatorThread> emulator;
    std::unique_ptr<TermiosLine> line;
    Crc16 crc;
    uint16_t crcs[RecorderImage::PageCount];
    uint8_t buffer[RecorderImage::PageSize];
};

Session& session() {
    static Session s;
    return s;
}

// Reference: 4 bytes out, 1 byte back over a bare pseudo-terminal with an echo thread.
void BM_PtyRoundTrip(benchmark::State& state) {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(master);
    ::unlockpt(master);
    std::unique_ptr<TermiosLine> line;
    TermiosLine::open(::ptsname(master), line);
    line->setCommTimeouts(TransferTimeouts);
    std::thread echo([master] {
        uint8_t frame[4];
        size_t have = 0;
        for (;;) {
            ssize_t n = ::read(master, frame + have, sizeof frame - have);
            if (n <= 0) return;
            have += size_t(n);
            if (have == 4) {
                if (frame[0] == 0xFF) return;
                have = 0;
                [[maybe_unused]] ssize_t w = ::write(master, "0", 1);
            }
        }
    });
    for (auto _ : state) {
        auto request = pageRequest(1, 2);
        sendAll(*line, request.data(), request.size());
        benchmark::DoNotOptimize(receiveByte(*line));
    }
    const uint8_t quit[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    sendAll(*line, quit, 4);
    echo.join();
    line.reset();
    ::close(master);
}

void BM_PageSkipped(benchmark::State& state) {
    Session& s = session();
    uint32_t p = 0;
    for (auto _ : state) {
        if (s.page(p, s.crcs[p]) != wire::PageSame) state.SkipWithError("page sent");
        p = (p + 1) % RecorderImage::PageCount;
    }
}

void BM_PageSent(benchmark::State& state) {
    Session& s = session();
    uint32_t p = 0;
    for (auto _ : state) {
        if (s.page(p, uint16_t(s.crcs[p] ^ 1)) != wire::PageDiffers) state.SkipWithError("no page");
        p = (p + 1) % RecorderImage::PageCount;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 535);
}

void BM_Crc16Page(benchmark::State& state) {
    Crc16 crc;
    uint8_t page[RecorderImage::PageSize];
    std::memset(page, 0x5A, sizeof page);
    for (auto _ : state)
        benchmark::DoNotOptimize(crc.compute(page, sizeof page));
}

BENCHMARK(BM_PtyRoundTrip)->UseRealTime();
BENCHMARK(BM_PageSkipped)->UseRealTime();
BENCHMARK(BM_PageSent)->UseRealTime();
BENCHMARK(BM_Crc16Page);

// Prints the usual table, then each page's cost against the bare round trip
// and against the line's own time at 125000 bit/s.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred)
                seconds_[run.benchmark_name()] = run.GetAdjustedRealTime() * 1e-9;
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        double reference = seconds_["BM_PtyRoundTrip/real_time"];
        if (reference <= 0) return;
        for (const char* name : {"BM_PageSkipped/real_time", "BM_PageSent/real_time"}) {
            double t = seconds_[name];
            std::printf("%-26s %.2f × bare round trip; %.1f us a page, %.0f us for a full memory\n",
                        name, t / reference, t * 1e6, t * 8192 * 1e6);
        }
        std::printf("line at 125000 bit/s: a skipped page 400 us (5 bytes), a sent page 42800 us "
                    "(535 bytes)\n");
    }

private:
    std::map<std::string, double> seconds_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
