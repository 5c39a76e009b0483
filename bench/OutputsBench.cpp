// Times the command line's big outputs on a full recorder memory, each in a
// process of its own so that its CPU time and peak memory are measured as
// `time` would: the events as text, CSV and JSON, and the journal of every
// event (level 1, no row limit) as Windows-1251 HTML, written to /dev/null.
// The floor of the same run: the same load and analysis followed by writing
// as many bytes as the output has (what `cat` of the output would add), and
// for memory the analysed session alone. Then the same outputs as the
// command line writes them into a file (`gruvik2-cli … --out FILE`, run from
// beside this program), the Russian CSV form among them, against the same
// floor writing into a file of the folder. Prints each output's ratios.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "common/OutputWriter.h"
#include "events/EventTime.h"
#include "testsupport/FullMemory.h"
#include "testsupport/TempDir.h"
#include "views/EventExport.h"
#include "views/JournalHtml.h"
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

// Writes to a descriptor, counting the bytes.
class FdSink : public ByteSink {
public:
    explicit FdSink(int fd) : fd_(fd) {}
    void write(const char* data, size_t size) override {
        while (size) {
            const ssize_t w = ::write(fd_, data, size);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) std::abort();
            data += w, size -= size_t(w), bytes += size_t(w);
        }
    }
    size_t bytes = 0;

private:
    int fd_;
};

struct Measure {
    double cpuSeconds = 0;
    double peakMb = 0;
    size_t bytes = 0;
};

// Runs work in a child process; its CPU time, peak memory and the bytes it
// says it wrote (through a pipe).
Measure inChild(const std::function<size_t()>& work) {
    int pipeFd[2];
    if (::pipe(pipeFd) != 0) std::abort();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFd[0]);
        const size_t bytes = work();
        (void)!::write(pipeFd[1], &bytes, sizeof bytes);
        ::_exit(0);
    }
    ::close(pipeFd[1]);
    Measure m;
    (void)!::read(pipeFd[0], &m.bytes, sizeof m.bytes);
    ::close(pipeFd[0]);
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    m.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    m.peakMb = double(usage.ru_maxrss) / 1024.0;
    return m;
}

void analysed(RecorderSession& s) {
    s.load(image().path);
    s.analyse(nullptr);
}

void writeTextLines(OutputWriter& w, const std::vector<const genericParser*>& events) {
    for (const genericParser* e : events) {
        w.append(eventTimeText(e->seconds, e->tenths));
        w.put('\t');
        w.number(e->importance);
        w.put('\t');
        w.append(e->className());
        w.put('\t');
        w.append(e->describe());
        w.put('\n');
    }
}

enum Output { text, csv, json, journal };
const char* const outputNames[] = {"events text", "events --format csv", "events --format json",
                                   "journal --level 1 --max 0"};

size_t produce(Output o) {
    RecorderSession s;
    analysed(s);
    const int fd = ::open("/dev/null", O_WRONLY);
    FdSink sink(fd);
    if (o == journal) {
        FilterSettings f = s.spanningFilter(FilterSettings{});
        f.detail = 0;
        f.maxCount = 0;
        s.applyFilter(f);
        Windows1251Sink converting(sink);
        OutputWriter w(converting);
        writeJournalHtml(w, s.lists.journalList);
        w.flush();
    } else {
        OutputWriter w(sink);
        const auto events = allEvents(s.events);
        if (o == text) writeTextLines(w, events);
        if (o == csv) writeEventsCsv(w, events);
        if (o == json) writeEventsJson(w, events);
        w.flush();
    }
    return sink.bytes;
}

// The analysis, then bytes written as they would be, from a buffer, into to.
size_t floorOf(size_t bytes, const std::string& to = "/dev/null") {
    RecorderSession s;
    analysed(s);
    const int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    FdSink sink(fd);
    const std::string piece(size_t(1) << 16, 'x');
    for (size_t left = bytes; left;) {
        const size_t n = std::min(left, piece.size());
        sink.write(piece.data(), n);
        left -= n;
    }
    return bytes;
}

struct Result {
    Measure work, floor, session;
};

// The machine is shared: of a few runs, the least CPU time of the work and of
// its floor are their own.
void keepLeast(Result& best, const Result& run, bool first) {
    if (first || run.work.cpuSeconds < best.work.cpuSeconds) best.work = run.work;
    if (first || run.floor.cpuSeconds < best.floor.cpuSeconds) best.floor = run.floor;
    best.session = run.session;
}
constexpr int Runs = 3;
std::map<int, Result> results;

void BM_Output(benchmark::State& state) {
    const auto o = Output(state.range(0));
    Result r;
    bool first = true;
    for (auto _ : state) {
        Result run;
        run.work = inChild([o] { return produce(o); });
        run.floor = inChild([&] { return floorOf(run.work.bytes); });
        run.session = inChild([] {
            RecorderSession s;
            analysed(s);
            return size_t(0);
        });
        keepLeast(r, run, first);
        first = false;
        state.SetIterationTime(run.work.cpuSeconds);
    }
    results[int(o)] = r;
    state.counters["MB"] = double(r.work.bytes) / 1e6;
    state.counters["time_x"] = r.work.cpuSeconds / r.floor.cpuSeconds;
    state.counters["memory_x"] = r.work.peakMb / r.session.peakMb;
    state.SetLabel(outputNames[o]);
}

BENCHMARK(BM_Output)->DenseRange(0, 3)->UseManualTime()->Iterations(Runs)->Unit(
    benchmark::kMillisecond);

// ---- the command line writing into a file -------------------------------------

struct CliOutput {
    const char* name;
    std::vector<std::string> args; // after the command's image
};
const CliOutput cliOutputs[] = {
    {"events --out", {"events"}},
    {"events --format csv --out", {"events", "--format", "csv"}},
    {"events --format csv --csv-form ru --out", {"events", "--format", "csv", "--csv-form", "ru"}},
    {"events --format json --out", {"events", "--format", "json"}},
    {"journal --level 1 --max 0 --out", {"journal", "--level", "1", "--max", "0"}},
};

std::string besideThisProgram(const std::string& name) {
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) std::abort();
    std::string path(self, size_t(n));
    return path.substr(0, path.find_last_of('/') + 1) + name;
}

// Runs gruvik2-cli with o's arguments into the file out; its CPU time, peak
// memory and the bytes of the file.
Measure cliInto(const CliOutput& o, const std::string& out) {
    std::vector<std::string> args{besideThisProgram("gruvik2-cli"), o.args[0], image().path};
    args.insert(args.end(), o.args.begin() + 1, o.args.end());
    args.insert(args.end(), {"--out", out});
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
    Measure m;
    m.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    m.peakMb = double(usage.ru_maxrss) / 1024.0;
    struct stat st {};
    ::stat(out.c_str(), &st);
    m.bytes = size_t(st.st_size);
    return m;
}

std::map<int, Result> cliResults;

void BM_OutToFile(benchmark::State& state) {
    const CliOutput& o = cliOutputs[state.range(0)];
    TempDir dir;
    const std::string out = dir.file("out"), copy = dir.file("copy");
    Result r;
    bool first = true;
    for (auto _ : state) {
        Result run;
        run.work = cliInto(o, out);
        run.floor = inChild([&] { return floorOf(run.work.bytes, copy); });
        run.session = inChild([] {
            RecorderSession s;
            analysed(s);
            return size_t(0);
        });
        keepLeast(r, run, first);
        first = false;
        state.SetIterationTime(run.work.cpuSeconds);
    }
    cliResults[int(state.range(0))] = r;
    state.counters["MB"] = double(r.work.bytes) / 1e6;
    state.counters["time_x"] = r.work.cpuSeconds / r.floor.cpuSeconds;
    state.counters["memory_x"] = r.work.peakMb / r.session.peakMb;
    state.SetLabel(o.name);
}

BENCHMARK(BM_OutToFile)
    ->DenseRange(0, int(std::size(cliOutputs)) - 1)
    ->UseManualTime()
    ->Iterations(Runs)
    ->Unit(benchmark::kMillisecond);

void report(const char* name, const Result& r) {
    std::printf("%s: %.0f MB in %.0f ms CPU, %.0f MB peak; floor %.0f ms CPU, session %.0f MB: "
                "%.2fx time, %.2fx memory\n",
                name, double(r.work.bytes) / 1e6, r.work.cpuSeconds * 1e3, r.work.peakMb,
                r.floor.cpuSeconds * 1e3, r.session.peakMb, r.work.cpuSeconds / r.floor.cpuSeconds,
                r.work.peakMb / r.session.peakMb);
}

} // namespace

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    image();
    benchmark::RunSpecifiedBenchmarks();
    for (const auto& [o, r] : results)
        report(outputNames[o], r);
    for (const auto& [o, r] : cliResults)
        report(cliOutputs[o].name, r);
    benchmark::Shutdown();
    return 0;
}
