// Times one repaint of the graph page on a full recorder memory, at every
// scale, with the window at the end of the data as the page opens: the
// filter the window applies after an analysis (and the «everything» one,
// with the relay and channel tracks), painted with cairo on a surface of the
// page's size on a 1366 x 768 screen. The reference of the same run is the
// same repaint of lists cut down to the events the window shows (and their
// neighbours): what painting the window alone costs. Prints the CPU time of
// a repaint and the ratio.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>

#include "events/genericParser.h"
#include "testsupport/BenchTimes.h"
#include "testsupport/FullMemory.h"
#include "views/CairoCanvas.h"
#include "views/GraphDraw.h"
#include "views/GraphPage.h"
#include "views/RecorderSession.h"

namespace {

constexpr int Width = 1340, Height = 560;

// Passes every call on to a cairo canvas, counting the drawing calls.
class CountingCanvas : public Canvas {
public:
    explicit CountingCanvas(Canvas& to) : to_(to) {}
    void setFont(const CanvasFont& f) override { to_.setFont(f); }
    void setTextColour(Rgb c) override { to_.setTextColour(c); }
    void setPen(Rgb c, int w, PenStyle s) override { to_.setPen(c, w, s); }
    void setBrush(Rgb c) override { to_.setBrush(c); }
    void clearBrush() override { to_.clearBrush(); }
    void textExtent(const std::string& t, int& w, int& h) override { to_.textExtent(t, w, h); }
    void drawText(const std::string& t, int x, int y) override {
        ++calls;
        to_.drawText(t, x, y);
    }
    void drawRotatedText(const std::string& t, int x, int y, double d) override {
        ++calls;
        to_.drawRotatedText(t, x, y, d);
    }
    void drawLine(int x1, int y1, int x2, int y2) override {
        ++calls;
        to_.drawLine(x1, y1, x2, y2);
    }
    void drawRectangle(int x, int y, int w, int h) override {
        ++calls;
        to_.drawRectangle(x, y, w, h);
    }
    void drawCircle(int x, int y, int r) override {
        ++calls;
        to_.drawCircle(x, y, r);
    }
    void clip(int x, int y, int w, int h) override { to_.clip(x, y, w, h); }
    void unclip() override { to_.unclip(); }
    long calls = 0;

private:
    Canvas& to_;
};

// The events of list in [left, right] and the ones next to them.
EventRefs cut(const EventRefs& list, int32_t left, int32_t right) {
    EventRefs kept;
    auto inside = [&](size_t k) {
        return k < list.size() && list[k]->seconds >= left && list[k]->seconds <= right;
    };
    for (size_t k = 0; k < list.size(); ++k)
        if (inside(k) || (k > 0 && inside(k - 1)) || inside(k + 1)) kept.push_back(list[k]);
    return kept;
}

void repaint(benchmark::State& state, bool everything, bool reference) {
    RecorderSession& s = analysedFullMemory();
    s.applyFilter(fullMemoryFilter(everything));
    GraphDraw draw;
    s.regenerateGraph(draw, int(state.range(0)));
    showLatestCurve(draw);
    FilteredLists window;
    if (reference) {
        const int32_t left = draw.viewStart, right = int32_t(draw.viewStart + draw.viewSpan);
        window.timeOrdered = s.lists.timeOrdered;
        window.journalList = s.lists.journalList;
        for (int i = 0; i < 5; ++i)
            window.groupLists[i] = cut(s.lists.groupLists[i], left, right);
        window.modeList = cut(s.lists.modeList, left, right);
        for (int i = 0; i < 10; ++i)
            window.relayLists[i] = cut(s.lists.relayLists[i], left, right);
        for (int i = 0; i < 6; ++i)
            window.channelLists[i] = cut(s.lists.channelLists[i], left, right);
        draw.lists = &window;
    }
    draw.width = Width;
    draw.height = Height;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, Width, Height);
    long calls = 0;
    for (auto _ : state) {
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        CairoCanvas cairo(cr);
        CountingCanvas canvas(cairo);
        draw.paint(canvas);
        calls = canvas.calls;
        cairo_destroy(cr);
    }
    cairo_surface_destroy(surface);
    state.counters["calls"] = double(calls);
}

void BM_Repaint(benchmark::State& state) {
    repaint(state, false, false);
}
void BM_RepaintWindowOnly(benchmark::State& state) {
    repaint(state, false, true);
}
void BM_RepaintEverything(benchmark::State& state) {
    repaint(state, true, false);
}
void BM_RepaintEverythingWindowOnly(benchmark::State& state) {
    repaint(state, true, true);
}

BENCHMARK(BM_Repaint)->DenseRange(0, 10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintWindowOnly)->DenseRange(0, 10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintEverything)->DenseRange(0, 10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintEverythingWindowOnly)->DenseRange(0, 10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    analysedFullMemory();
    TimesReporter reporter(TimesReporter::cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* filter : {"", "Everything"}) {
        for (int scale = 0; scale <= 10; ++scale) {
            const std::string n = std::string("BM_Repaint") + filter;
            const std::string suffix = "/" + std::to_string(scale);
            auto all = reporter.times.find(n + suffix);
            auto window = reporter.times.find(n + "WindowOnly" + suffix);
            if (all == reporter.times.end() || window == reporter.times.end()) continue;
            std::printf("repaint%s at «%s»: %.2f ms CPU, window-only lists %.2f ms, ratio %.2fx\n",
                        *filter ? " (everything)" : "", graphScales[size_t(scale)].item,
                        all->second, window->second, all->second / window->second);
        }
    }
    benchmark::Shutdown();
    return 0;
}
