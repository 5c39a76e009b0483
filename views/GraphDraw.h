#pragma once
// The load graph: title, legend, plot with time and load axes, one load curve
// per ticked group, a bar row per state track and the footer, laid out from the
// size of the surface alone so that a window and a printer page look alike.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "image/HeaderView.h"
#include "views/Canvas.h"

class RecorderImage;
class genericParser;
struct FilteredLists;

class GraphDraw {
public:
    // Working values; every painting recomputes them.
    int32_t plotLeft = 0, plotRight = 0, plotBottom = 0, plotTop = 0;
    int32_t timeLeft = 0, timeRight = 0;
    // Wider than the loads so that the outward alignment of the axis cannot overflow.
    int64_t valueBottom = 0, valueTop = 0;
    int32_t width = 0, height = 0;
    int32_t digitWidth = 0, textHeight = 0, titleTextHeight = 0;
    int32_t marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0;

    // The time window, set by the graph page.
    int32_t dataStart = 0;                  // first event of the journal list
    int32_t dataEnd = 0;                    // last event of the journal list + 1
    int32_t viewStart = 0;                  // at plotLeft
    int32_t viewSpan = 0;                   // seconds shown
    std::unique_ptr<HeaderView> headerInfo; // serial number of the title

    // What is drawn, owned by the caller. Nothing is painted without lists.
    const FilteredLists* lists = nullptr;
    const RecorderImage* image = nullptr; // group count and mechanism names
    std::array<bool, 5> weightChecks{true, true, true, true, true};
    int32_t minLoad = 0, maxLoad = 0; // the page's load range
    // The smallest text in points: a window on screen sets it so that a small
    // window keeps legible text; 0 (a printer page) follows the surface alone.
    int32_t minFontPoints = 0;

    // Paints on a surface whose size and margins are already in the fields.
    void paint(Canvas& canvas);

    // Pixel of a calendar second, of an event (with its tenths) and of a load.
    int xAt(int64_t seconds) const;
    int xAt(const genericParser& e) const;
    int yAt(int64_t value) const;

private:
    struct Layout;
    bool layOut(Canvas& canvas, Layout& l);
    void drawTitle(Canvas& canvas, const Layout& l);
    void drawLegendAndFooter(Canvas& canvas, const Layout& l);
    void drawAxes(Canvas& canvas, Layout& l);
    void drawCurves(Canvas& canvas, const Layout& l);
    void drawTracks(Canvas& canvas, const Layout& l);
};

// Seconds between time ticks for viewSpan / count seconds per tick.
int32_t niceTimeStep(int32_t viewSpan, int32_t count);

// Load step (1, 2 or 5 times a power of ten, at least 1) for about count steps
// from bottom to top; moves top up and bottom down to whole steps.
int64_t niceValueStep(int64_t& top, int64_t& bottom, int32_t count);

// The first time tick for a step (at or left of viewStart, on a whole step of
// local time) and the strftime format of the tick labels.
struct TickStart {
    int32_t first;
    const char* format;
};
TickStart alignTick(int32_t viewStart, int32_t step);

// Names and colours of the load series: the total, then groups 1 to 4.
struct GraphSeries {
    const char* name;
    Rgb colour;
};
extern const std::array<GraphSeries, 5> graphSeries;
