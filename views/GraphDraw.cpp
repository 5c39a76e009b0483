#include "views/GraphDraw.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <vector>

#include "common/ErrorLog.h"
#include "common/Format.h"
#include "common/LocalTime.h"
#include "events/GL_records.h"
#include "events/eventList.h"
#include "image/RecorderImage.h"
#include "image/WritableView.h"
#include "views/EventFilter.h"
#include "views/SharedTexts.h"

const std::array<GraphSeries, 5> graphSeries = {{
    {"Сумма", {0, 0, 204}},
    {"1-я группа", {0, 0, 102}},
    {"2-я группа", {0, 102, 0}},
    {"3-я группа", {102, 0, 102}},
    {"4-я группа", {0, 102, 102}},
}};

namespace {

constexpr Rgb titleColour{255, 0, 0};
constexpr Rgb gridColour{255, 0, 0};
constexpr Rgb axisColour{255, 64, 64};
constexpr Rgb legendTextColour{255, 255, 255};
// The red of the title, which the footer had whenever no legend entry was drawn.
constexpr Rgb footerColour = titleColour;

// Points far outside the plot are pulled in to a distance that every surface
// can still draw; lines and bars that leave the plot look the same.
constexpr int64_t pixelLimit = int64_t(1) << 22;
int toPixel(int64_t v) {
    return int(std::clamp(v, -pixelLimit, pixelLimit));
}

const char* const timeTitle = "Время";
const char* const noRoomText =
    "Для графика нет места: увеличьте окно или закройте панель «Фильтр событий»";

std::string localText(int32_t seconds, const char* format) {
    return localTimeText(seconds, format);
}

struct Extent {
    int w = 0, h = 0;
};
Extent measure(Canvas& canvas, const std::string& text) {
    Extent e;
    canvas.textExtent(text, e.w, e.h);
    return e;
}

} // namespace

struct GraphDraw::Layout {
    int m = 0, c = 0, v = 0;
    CanvasFont light, normal, bold, title, footer;
    std::string titleText, subtitle;
    int w1 = 0, w2 = 0, f1 = 0, f2 = 0;
    int titleFree = 0, footerFree = 0, titleBand = 0, footerBand = 0, stripBand = 0;
    int trackPitch = 0; // height of a state track's row
    CanvasFont trackFont;
    std::vector<int> legend; // series indexes with events
    std::vector<int> nameWidths;
    int legendWidth = 0, legendY = 0;
    int64_t timeStep = 0, valueStep = 0;
    TickStart tick{};
    std::vector<int64_t> ticks; // visible time ticks
    int midX = 0;
};

int GraphDraw::xAt(int64_t t) const {
    return toPixel(plotLeft +
                   (t - timeLeft) * (plotRight - plotLeft) / (int64_t(timeRight) - timeLeft));
}

int GraphDraw::xAt(const genericParser& e) const {
    double x = (e.seconds + e.tenths / 10.0 - timeLeft) * (plotRight - plotLeft) /
                   (double(timeRight) - timeLeft) +
               plotLeft;
    return int(std::clamp(std::trunc(x), double(-pixelLimit), double(pixelLimit)));
}

int GraphDraw::yAt(int64_t value) const {
    return toPixel(plotBottom +
                   (value - valueBottom) * (plotTop - plotBottom) / (valueTop - valueBottom));
}

bool GraphDraw::layOut(Canvas& canvas, Layout& l) {
    l.m = std::min(width, height);
    const int points = std::max(l.m / 48, minFontPoints);
    l.light = {points, CanvasFont::light};
    l.normal = {points, CanvasFont::normal};
    l.bold = {points, CanvasFont::bold};
    l.title = {4 * points / 3, CanvasFont::bold};
    l.c = l.m / 240;
    l.v = l.m / 320 + 1;

    canvas.setFont(l.title);
    titleTextHeight = measure(canvas, "0").h;
    canvas.setFont(l.bold);
    Extent zero = measure(canvas, "0");
    digitWidth = zero.w;
    textHeight = zero.h;
    // The footer's lines are kept within the margins: its font shrinks when
    // the longer line would not fit on the page.
    l.footer = l.light;
    const int footerRoom = width - marginLeft - marginRight - digitWidth;
    for (int tries = 0; tries < 8; ++tries) {
        canvas.setFont(l.footer);
        l.f1 = measure(canvas, printFooter).w;
        l.f2 = measure(canvas, noticeLine).w;
        const int widest = std::max(l.f1, l.f2);
        if (widest <= footerRoom || l.footer.points <= 1 || footerRoom <= 0) break;
        l.footer.points = std::max(1, int(int64_t(l.footer.points) * footerRoom / widest));
    }

    l.titleText =
        "График нагружения крана РП № " + (headerInfo ? headerInfo->serialNumber : "") + ".";
    l.subtitle = "Начало отсчета: " + localText(viewStart, "%d/%m/%Y %H:%M:%S") + ".";
    canvas.setFont(l.title);
    l.w1 = measure(canvas, l.titleText).w;
    l.w2 = measure(canvas, l.subtitle).w;

    l.titleFree = width - l.w1 - l.w2 - digitWidth - marginLeft - marginRight;
    l.footerFree = width - l.f1 - l.f2 - digitWidth - marginLeft - marginRight;
    l.footerBand = textHeight + 4;
    l.titleBand = titleTextHeight + 4;
    if (l.titleFree <= 0) l.titleBand += titleTextHeight + 2;

    for (int i = 0; i < 5; ++i) {
        if (lists->groupLists[i].empty()) continue;
        l.legend.push_back(i);
        l.nameWidths.push_back(measure(canvas, graphSeries[i].name).w);
        l.legendWidth = std::max(l.legendWidth, l.nameWidths.back());
    }
    l.legendY = l.titleBand + marginTop;
    l.titleBand += titleTextHeight + 8;
    if (l.footerFree <= 0) l.footerBand += textHeight + 2;

    timeLeft = viewStart;
    // Saturated, so that a window at the end of the 32-bit calendar still has a width.
    timeRight = int32_t(std::clamp<int64_t>(int64_t(viewStart) + viewSpan, INT32_MIN, INT32_MAX));
    if (timeRight == timeLeft) {
        if (timeLeft == INT32_MAX) --timeLeft;
        timeRight = timeLeft + 1;
    }
    valueBottom = minLoad;
    valueTop = maxLoad;
    if (valueTop == valueBottom) valueTop = valueBottom + 1;

    int rows = lists->modeList.empty() ? 0 : 1;
    for (const auto& list : lists->relayLists)
        rows += list.empty() ? 0 : 1;
    for (const auto& list : lists->channelLists)
        rows += list.empty() ? 0 : 1;
    // The state tracks leave the plot room for two load ticks (half the room
    // on a small surface): past that their rows get lower, with smaller
    // labels, down to a few pixels.
    l.trackPitch = textHeight;
    l.trackFont = l.bold;
    const int room = height - marginTop - marginBottom - l.titleBand - l.footerBand;
    const int wanted = std::min(8 * textHeight, room / 2);
    if (rows > 0 && room - (rows + 2) * textHeight < wanted && textHeight > 0) {
        const int lowest = std::min(textHeight, std::max(6, textHeight / 2));
        l.trackPitch = std::clamp((room - wanted - 2 * textHeight) / rows, lowest, textHeight);
        l.trackFont.points = std::max(1, l.bold.points * l.trackPitch / textHeight);
    }
    l.stripBand = 2 * textHeight + rows * l.trackPitch;

    plotLeft = 3 * digitWidth + textHeight + l.c + marginLeft;
    plotRight = width - marginRight - 1;
    plotBottom = height - l.stripBand - l.footerBand - marginBottom;
    plotTop = l.titleBand + marginTop;

    // A surface without room for one tick of each axis gets no plot.
    if (digitWidth <= 0 || textHeight <= 0) return false;
    const int32_t timeCount = ((plotRight - plotLeft) / digitWidth) / 12;
    const int32_t valueCount = ((plotBottom - plotTop) / textHeight) / 4;
    if (timeCount <= 0 || valueCount <= 0) return false;
    l.timeStep = niceTimeStep(viewSpan, timeCount);
    l.valueStep = niceValueStep(valueTop, valueBottom, valueCount);
    l.tick = alignTick(viewStart, int32_t(l.timeStep));
    for (int64_t t = l.tick.first;; t += l.timeStep) {
        int x = xAt(t);
        if (x < plotLeft) continue;
        if (x > plotRight) break;
        l.ticks.push_back(t);
    }
    return true;
}

void GraphDraw::drawTitle(Canvas& canvas, const Layout& l) {
    canvas.setFont(l.title);
    canvas.setTextColour(titleColour);
    if (l.titleFree > 0) {
        canvas.drawText(l.titleText, marginLeft + l.titleFree / 2, marginTop + 2);
        canvas.drawText(l.subtitle, marginLeft + l.w1 + digitWidth + l.titleFree / 2,
                        marginTop + 2);
    } else {
        canvas.drawText(l.titleText, marginLeft + (width - l.w1 - marginLeft - marginRight) / 2,
                        marginTop + 2);
        canvas.drawText(l.subtitle, marginLeft + (width - l.w2 - marginLeft - marginRight) / 2,
                        marginTop + titleTextHeight + 4);
    }
}

void GraphDraw::drawLegendAndFooter(Canvas& canvas, const Layout& l) {
    const int n = int(l.legend.size());
    const int c = l.c, boxWidth = 2 * c + l.legendWidth;
    const int x0 = (width - boxWidth * n - (n - 1) * c) / 2;
    for (int k = 0; k < n; ++k) {
        const GraphSeries& s = graphSeries[l.legend[k]];
        const int x = x0 + k * (3 * c + l.legendWidth);
        canvas.setPen(s.colour, 1, Canvas::solid);
        canvas.setBrush(s.colour);
        canvas.drawRectangle(x, l.legendY, boxWidth, titleTextHeight + 4);
        canvas.setTextColour(legendTextColour);
        canvas.drawText(s.name, x + (l.legendWidth - l.nameWidths[k]) / 2 + c, l.legendY + 2);
    }
    canvas.clearBrush();

    canvas.setFont(l.footer);
    canvas.setTextColour(footerColour);
    if (l.footerFree > 0) {
        const int y = height - marginBottom - textHeight - 2;
        canvas.drawText(printFooter, marginLeft + l.footerFree / 2, y);
        canvas.drawText(noticeLine, marginLeft + l.f1 + digitWidth + l.footerFree / 2, y);
    } else {
        canvas.drawText(printFooter, marginLeft + (width - l.f1 - marginLeft - marginRight) / 2,
                        height - marginBottom - 2 * textHeight - 4);
        canvas.drawText(noticeLine, marginLeft + (width - l.f2 - marginLeft - marginRight) / 2,
                        height - marginBottom - textHeight - 2);
    }
}

void GraphDraw::drawAxes(Canvas& canvas, Layout& l) {
    const int c = l.c, v = l.v;
    const int64_t step = l.valueStep;
    auto forEachValueTick = [&](auto f) {
        for (int64_t b = valueBottom; b < valueTop - step / 2; b += step)
            f(b);
    };

    canvas.setPen(gridColour, 1, Canvas::dotDash);
    for (int64_t t : l.ticks)
        canvas.drawLine(xAt(t), plotBottom + l.stripBand, xAt(t), plotTop);
    forEachValueTick([&](int64_t b) { canvas.drawLine(plotLeft, yAt(b), plotRight, yAt(b)); });

    canvas.setPen(axisColour, 1, Canvas::solid);
    canvas.setTextColour(axisColour);
    canvas.setFont(l.light);
    for (int64_t t : l.ticks) {
        canvas.drawLine(xAt(t), plotBottom - c, xAt(t), plotBottom + c);
        // The last label is moved left to end at the plot's edge, not past it.
        const std::string label = localText(int32_t(t), l.tick.format);
        const int x = std::min(xAt(t) + c, plotRight - measure(canvas, label).w);
        canvas.drawText(label, x, plotBottom);
    }
    const bool tonnes = step > 999;
    forEachValueTick([&](int64_t b) {
        canvas.drawLine(plotLeft - c, yAt(b), plotLeft + c, yAt(b));
        const std::string label = strprintf("%lli", (long long)(tonnes ? b / 1000 : b));
        const int lw = measure(canvas, label).w;
        int y = yAt(b) - textHeight - c;
        if (b > valueBottom + step / 2) y += textHeight / 2 + c;
        canvas.drawText(label, plotLeft - lw - c, y);
    });

    canvas.setFont(l.bold);
    const int titleWidth = measure(canvas, timeTitle).w;
    const int target = (plotLeft + plotRight) / 2 - titleWidth / 2;
    int labelX = 0;
    l.midX = 0;
    for (int64_t t : l.ticks) {
        if (std::abs(labelX - target) > std::abs(target - xAt(t))) {
            l.midX = xAt(t + l.timeStep / 2);
            labelX = l.midX - titleWidth / 2;
        }
    }
    canvas.drawText(timeTitle, labelX, plotBottom + textHeight - c / 2);
    const std::string loadTitle = tonnes ? "Нагрузка, т" : "Нагрузка, кг";
    canvas.drawRotatedText(loadTitle, marginLeft + 1,
                           yAt((valueBottom + valueTop) / 2) + measure(canvas, loadTitle).w / 2,
                           90);

    canvas.drawLine(plotLeft - 8 * c, plotBottom, plotRight, plotBottom);
    canvas.drawLine(plotLeft, plotBottom + l.stripBand, plotLeft, plotTop);
    canvas.drawLine(plotRight - 3 * v, plotBottom - v, plotRight, plotBottom);
    canvas.drawLine(plotRight - 3 * v, plotBottom + v, plotRight, plotBottom);
    canvas.drawLine(plotLeft - v, plotTop + 3 * v, plotLeft, plotTop);
    canvas.drawLine(plotLeft + v, plotTop + 3 * v, plotLeft, plotTop);
}

namespace {

// A pair of events is drawn when either lies in the window or they enclose it.
struct Window {
    int32_t left, right;
    bool holds(int32_t t) const { return t >= left && t <= right; }
    bool pairVisible(int32_t a, int32_t b) const {
        return holds(b) || holds(a) || (b >= right && a <= left) || (a >= right && b <= left);
    }
};

// The part of a list that can draw in the window: in a list in time order
// no pair of events before the first one at or after the window's left edge
// is visible, nor any after the first one past its right edge (that one
// still closes a pair). A list out of order is walked whole.
struct Span {
    size_t begin, end;
};
Span spanIn(const EventRefs& list, const Window& window, bool ordered) {
    if (!ordered) return {0, list.size()};
    const auto first =
        std::lower_bound(list.begin(), list.end(), window.left,
                         [](const genericParser* e, int32_t t) { return e->seconds < t; });
    const auto past =
        std::upper_bound(first, list.end(), window.right,
                         [](int32_t t, const genericParser* e) { return t < e->seconds; });
    return {size_t(first - list.begin()), size_t(past - list.begin()) + (past != list.end())};
}

} // namespace

void GraphDraw::drawCurves(Canvas& canvas, const Layout& l) {
    const Window window{timeLeft, timeRight};
    const int v = l.v;
    const int groups = std::min<int>(image ? image->groupCount() : 4, 4);
    for (int i = 0; i <= groups; ++i) {
        if (!weightChecks[i]) continue;
        canvas.setPen(graphSeries[i].colour, v, Canvas::solid);
        const EventRefs& list = lists->groupLists[i];
        const Span span = spanIn(list, window, lists->timeOrdered);
        auto loadPoint = [i](const genericParser* e, int32_t& value) {
            if (const auto* load = eventAs<GL_groupLoad>(e); load && load->group == i) {
                value = load->load;
                return true;
            }
            if (const auto* start = eventAs<GL_cycleStart>(e); start && start->group == i) {
                value = start->load;
                return true;
            }
            return false;
        };
        auto breaks = [i](const genericParser* e) {
            const auto* stop = eventAs<GL_cycleStop>(e);
            return (stop && stop->group == i) || eventAs<GL_powerOff>(e);
        };
        // A window holding more of the list's events than the plot has pixels
        // (the widest scales) draws no more than the pixels show: the lines
        // that follow one another within a pixel column are one line, and a
        // mark drawn again where the last one is, is not drawn again.
        const bool dense = span.end - span.begin > size_t(std::max(plotRight - plotLeft, 1));
        struct Column {
            int x, top, bottom;
        };
        std::optional<Column> column;
        std::optional<std::array<int, 3>> lastCircle, lastBox;
        auto flush = [&] {
            if (column) canvas.drawLine(column->x, column->top, column->x, column->bottom);
            column.reset();
        };
        auto line = [&](int x1, int y1, int x2, int y2) {
            if (!dense) return canvas.drawLine(x1, y1, x2, y2);
            if (x1 != x2) {
                flush();
                return canvas.drawLine(x1, y1, x2, y2);
            }
            const int top = std::min(y1, y2), bottom = std::max(y1, y2);
            if (column && column->x == x1 && top <= column->bottom && bottom >= column->top) {
                column->top = std::min(column->top, top);
                column->bottom = std::max(column->bottom, bottom);
                return;
            }
            flush();
            column = Column{x1, top, bottom};
        };
        auto circle = [&](int x, int y, int r) {
            if (dense && lastCircle == std::array<int, 3>{x, y, r}) return;
            flush();
            canvas.drawCircle(x, y, r);
            lastCircle = std::array<int, 3>{x, y, r};
        };
        auto box = [&](int x, int y, int side) {
            if (dense && lastBox == std::array<int, 3>{x, y, side}) return;
            flush();
            canvas.drawRectangle(x, y, side, side);
            lastBox = std::array<int, 3>{x, y, side};
        };
        // The point the first event of the span continues from.
        const genericParser* prev = nullptr;
        int32_t prevValue = 0;
        for (size_t k = span.begin; k-- > 0;) {
            if (loadPoint(list[k], prevValue)) {
                prev = list[k];
                break;
            }
            if (breaks(list[k])) break;
        }
        for (size_t k = span.begin; k < span.end; ++k) {
            const genericParser* e = list[k];
            int32_t value = 0;
            if (loadPoint(e, value)) {
                if (prev && window.pairVisible(prev->seconds, e->seconds)) {
                    const int x1 = xAt(*prev), x2 = xAt(*e), y1 = yAt(prevValue), y2 = yAt(value);
                    if (e->seconds - int64_t(prev->seconds) > 2) {
                        line(x1, y1, x2, y1);
                        line(x2, y1, x2, y2);
                    } else {
                        line(x1, y1, x2, y2);
                    }
                }
                prev = e;
                prevValue = value;
                if (eventAs<GL_cycleStart>(e) && window.holds(e->seconds))
                    circle(xAt(*e), yAt(value), v + 2);
            } else if (breaks(e)) {
                if (prev && window.holds(prev->seconds))
                    box(xAt(*prev) - v - 2, yAt(prevValue) - v - 2, 2 * v + 4);
                prev = nullptr;
            }
        }
        flush();
    }
}

namespace {

// +1 for an event that switches the track on, 0 for one that switches it off,
// -1 for any other; a power-off always switches off. draw(on, off) for each
// interval that can show in the window.
template <class F>
void forEachInterval(const EventRefs& list, const Window& window, bool ordered, F state,
                     auto draw) {
    const Span span = spanIn(list, window, ordered);
    auto stateOf = [&](const genericParser* e) { return eventAs<GL_powerOff>(e) ? 0 : state(e); };
    // The interval open where the span begins: the last switch before it.
    const genericParser* open = nullptr;
    for (size_t k = span.begin; k-- > 0;) {
        const int s = stateOf(list[k]);
        if (s == 0) break;
        if (s > 0) open = list[k]; // an earlier "on" of the same interval opened it
    }
    // An interval still open past the span closes later and shows all the same.
    for (size_t k = span.begin; k < list.size() && (k < span.end || open); ++k) {
        const genericParser* e = list[k];
        const int s = stateOf(e);
        if (s > 0 && !open) open = e;
        if (s == 0 && open) {
            draw(*open, *e);
            open = nullptr;
        }
    }
}

} // namespace

void GraphDraw::drawTracks(Canvas& canvas, const Layout& l) {
    const Window window{timeLeft, timeRight};
    const int c = l.c;
    int r = 0;
    if (l.trackPitch < textHeight) canvas.setFont(l.trackFont);
    const int barHeight = std::max(1, l.trackPitch - 2 * c);
    auto track = [&](const EventRefs& list, Rgb bar, Rgb label, const std::string& text,
                     auto state) {
        if (list.empty()) return;
        canvas.setPen(bar, 1, Canvas::solid);
        canvas.setBrush(bar);
        const int rowTop = plotBottom + 2 * textHeight + r * l.trackPitch;
        const int y = rowTop + c, h = barHeight;
        // A window holding more of the list's events than the plot has
        // pixels (the widest scales) draws the bars that meet or overlap as
        // one: no more bars than pixels.
        const Span span = spanIn(list, window, lists->timeOrdered);
        const bool dense = span.end - span.begin > size_t(std::max(plotRight - plotLeft, 1));
        std::optional<std::pair<int, int>> pending; // x and last pixel of bars joined
        auto flush = [&] {
            if (pending)
                canvas.drawRectangle(pending->first, y, pending->second - pending->first + 1, h);
            pending.reset();
        };
        forEachInterval(list, window, lists->timeOrdered, state,
                        [&](const genericParser& on, const genericParser& off) {
                            if (!window.pairVisible(on.seconds, off.seconds)) return;
                            const int x1 = xAt(on), width = xAt(off) - x1;
                            if (!dense || width < 0 || h < 1) {
                                flush();
                                canvas.drawRectangle(x1, y, width, h);
                                return;
                            }
                            const int last = x1 + std::max(width - 1, 0);
                            if (pending && x1 >= pending->first && x1 <= pending->second + 1) {
                                pending->second = std::max(pending->second, last);
                                return;
                            }
                            flush();
                            pending.emplace(x1, last);
                        });
        flush();
        canvas.setTextColour(label);
        canvas.drawText(text, l.midX - measure(canvas, text).w / 2 + c, rowTop - c / 2);
        ++r;
        canvas.clearBrush();
    };

    track(lists->modeList, {0, 192, 192}, {0, 64, 64}, "Режим работы", [](const genericParser* e) {
        const auto* m = eventAs<GL_consoleMode>(e);
        return m ? (m->console ? 1 : 0) : -1;
    });
    for (unsigned k = 0; k < 10; ++k) {
        track(lists->relayLists[k], k ? Rgb{0, 192, 0} : Rgb{96, 192, 0},
              k ? Rgb{0, 64, 0} : Rgb{32, 64, 0}, k ? strprintf("Реле №%u", k) : "Сирена",
              [](const genericParser* e) {
                  const auto* s = eventAs<GL_state>(e);
                  return s ? (s->on ? 1 : 0) : -1;
              });
    }
    std::optional<PassportView> passport;
    for (unsigned j = 0; j < 6; ++j) {
        if (lists->channelLists[j].empty()) continue;
        if (!passport && image) passport.emplace(*image);
        track(lists->channelLists[j], {64, 64, 176}, {0, 0, 64},
              passport ? passport->mechanismName(j) : std::string(), [j](const genericParser* e) {
                  const auto* s = eventAs<GL_channelState>(e);
                  return s ? (s->channelOn(j) ? 1 : 0) : -1;
              });
    }
}

void GraphDraw::paint(Canvas& canvas) {
    if (!lists || lists->journalList.empty()) return;
    Layout l;
    const bool plot = layOut(canvas, l);
    drawTitle(canvas, l);
    if (!plot) {
        // Words rather than an empty page, where a line of text still fits.
        if (textHeight > 0 && height - marginBottom - l.titleBand - marginTop >= textHeight) {
            canvas.setFont(l.bold);
            canvas.setTextColour(titleColour);
            const int w = measure(canvas, noRoomText).w;
            canvas.drawText(noRoomText,
                            marginLeft + std::max(0, (width - marginLeft - marginRight - w) / 2),
                            marginTop + l.titleBand);
        }
        return;
    }
    drawLegendAndFooter(canvas, l);
    drawAxes(canvas, l);
    // Curves and bars of events outside the window are cut at the plot's edges.
    canvas.clip(plotLeft, marginTop, plotRight - plotLeft + 1, height - marginTop - marginBottom);
    drawCurves(canvas, l);
    drawTracks(canvas, l);
    canvas.unclip();
}

int32_t niceTimeStep(int32_t viewSpan, int32_t count) {
    static const int32_t steps[] = {1,   2,    5,    10,   20,   30,    60,    120,   300,
                                    600, 1200, 1800, 3600, 7200, 14400, 28800, 43200, 86400};
    const int32_t a = viewSpan / std::max(count, 1);
    for (int32_t s : steps)
        if (s >= a) return s;
    return 604800;
}

int64_t niceValueStep(int64_t& top, int64_t& bottom, int32_t count) {
    const float r = float(top - bottom) / float(std::max(count, 1));
    char text[32];
    std::snprintf(text, sizeof text, "%.0e", double(r));
    double multiplier = 1;
    switch (text[0]) {
    case '3':
        text[0] = '2';
        break;
    case '4':
    case '6':
    case '7':
        text[0] = '5';
        break;
    case '8':
    case '9':
        text[0] = '1';
        multiplier = 10;
        break;
    case '0':
        logError(
            strprintf("sprintf failure: %f, [%f, %f]", double(r), double(bottom), double(top)));
        break;
    }
    double step = std::strtod(text, nullptr) * multiplier;
    if (step < 1) step = 1;
    top = int64_t(std::ceil(double(top) / step) * step);
    bottom = int64_t(std::floor(double(bottom) / step) * step);
    return int64_t(step);
}

TickStart alignTick(int32_t viewStart, int32_t step) {
    step = std::max(step, 1);
    struct tm tmv = localTimeOf(viewStart);
    const char* format;
    if (step < 60) {
        tmv.tm_sec = step * (tmv.tm_sec / step);
        format = "%M.%S";
    } else {
        tmv.tm_sec = 0;
        if (step < 3600) {
            tmv.tm_min = (step / 60) * (tmv.tm_min / (step / 60));
            format = "%H:%M";
        } else {
            tmv.tm_min = 0;
            if (step <= 86399) {
                tmv.tm_hour = (step / 3600) * (tmv.tm_hour / (step / 3600));
                format = "%H";
            } else {
                tmv.tm_hour = 0;
                format = "%d/%m";
            }
        }
    }
    return {secondsOfLocal(tmv), format};
}
