// Times one repaint of the graph page on a full recorder memory as the window
// paints it: through the wx canvas on a device context of the window on the
// screen (run it under a display, e.g. xvfb-run with a 1366 x 768 screen),
// at every scale, with the window at the end of the data as the page opens,
// with the filter the window applies after an analysis and the «everything»
// one. The reference of the same run is the same repaint with every circle
// left to the toolkit's DrawCircle, as the canvas drew before it stamped
// them. Prints the least CPU time of a repaint in five runs and the ratio, and how far apart the
// two pictures are on a bitmap of the window's size.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>

#include "gui/WxCanvas.h"
#include "testsupport/BenchTimes.h"
#include "testsupport/FullMemory.h"
#include "views/GraphDraw.h"
#include "views/GraphPage.h"
#include "views/RecorderSession.h"

namespace {

constexpr int Width = 1340, Height = 560;

// The wx canvas with its circles drawn by the DC itself, one by one.
class DirectCircles : public WxCanvas {
public:
    explicit DirectCircles(wxDC& dc) : WxCanvas(dc), dc_(dc) {}
    void drawCircle(int x, int y, int radius) override { dc_.DrawCircle(x, y, radius); }

private:
    wxDC& dc_;
};

wxFrame* frame = nullptr;

void prepare(GraphDraw& draw, int scale, bool everything) {
    RecorderSession& s = analysedFullMemory();
    s.applyFilter(fullMemoryFilter(everything));
    s.regenerateGraph(draw, scale);
    showLatestCurve(draw);
    draw.width = Width;
    draw.height = Height;
}

void paint(wxDC& dc, GraphDraw& draw, bool direct) {
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (direct) {
        DirectCircles canvas(dc);
        draw.paint(canvas);
    } else {
        WxCanvas canvas(dc);
        draw.paint(canvas);
    }
}

void repaint(benchmark::State& state, bool everything, bool direct) {
    GraphDraw draw;
    prepare(draw, int(state.range(0)), everything);
    for (auto _ : state) {
        wxClientDC dc(frame);
        paint(dc, draw, direct);
    }
}

void BM_Repaint(benchmark::State& state) {
    repaint(state, false, false);
}
void BM_RepaintDirect(benchmark::State& state) {
    repaint(state, false, true);
}
void BM_RepaintEverything(benchmark::State& state) {
    repaint(state, true, false);
}
void BM_RepaintEverythingDirect(benchmark::State& state) {
    repaint(state, true, true);
}

// The X server shares the machine: the least CPU time of a few runs is the
// repaint's own.
double least(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}
#define REPAINT(f)                                                                                 \
    BENCHMARK(f)                                                                                   \
        ->DenseRange(0, 10)                                                                        \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Repetitions(5)                                                                           \
        ->ComputeStatistics("least", least)                                                        \
        ->ReportAggregatesOnly(true)
REPAINT(BM_Repaint);
REPAINT(BM_RepaintDirect);
REPAINT(BM_RepaintEverything);
REPAINT(BM_RepaintEverythingDirect);

// The picture a repaint leaves on a bitmap of the window's size.
wxImage picture(int scale, bool everything, bool direct) {
    GraphDraw draw;
    prepare(draw, scale, everything);
    wxBitmap bitmap(Width, Height, 24);
    {
        wxMemoryDC dc(bitmap);
        paint(dc, draw, direct);
    }
    return bitmap.ConvertToImage();
}

} // namespace

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fputs("GraphWindowBench: no display\n", stderr);
        return 2;
    }
    frame = new wxFrame(nullptr, wxID_ANY, L"graph", wxDefaultPosition, wxSize(1366, 700));
    frame->Show();
    wxTheApp->Yield();
    analysedFullMemory();
    TimesReporter reporter(TimesReporter::cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* filter : {"", "Everything"}) {
        for (int scale = 0; scale <= 10; ++scale) {
            const std::string n = std::string("BM_Repaint") + filter;
            const std::string suffix = "/" + std::to_string(scale) + "/repeats:5_least";
            auto stamped = reporter.times.find(n + suffix);
            auto direct = reporter.times.find(n + "Direct" + suffix);
            if (stamped == reporter.times.end() || direct == reporter.times.end()) continue;
            const wxImage a = picture(scale, *filter, false), b = picture(scale, *filter, true);
            // Stamped and drawn, a pixel may differ by the rounding of one
            // level of one colour.
            int differing = 0, most = 0;
            for (size_t k = 0; k < size_t(Width) * Height * 3; ++k)
                if (const int d = std::abs(int(a.GetData()[k]) - int(b.GetData()[k]))) {
                    ++differing;
                    most = std::max(most, d);
                }
            std::printf("window repaint%s at «%s»: %.2f ms CPU, circles one by one %.2f ms, "
                        "ratio %.2fx; %d colour values differ, by at most %d\n",
                        *filter ? " (everything)" : "", graphScales[size_t(scale)].item,
                        stamped->second, direct->second, stamped->second / direct->second,
                        differing, most);
        }
    }
    benchmark::Shutdown();
    frame->Destroy();
    wxEntryCleanup();
    return 0;
}
