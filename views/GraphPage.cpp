#include "views/GraphPage.h"

#include <algorithm>
#include <climits>
#include <iterator>

#include "events/GL_records.h"
#include "events/SL_records2.h"
#include "events/eventList.h"
#include "views/EventFilter.h"

const std::array<GraphScale, 11> graphScales = {{
    {"5 сек.", 5},
    {"20 сек.", 20},
    {"1 мин.", 60},
    {"5 мин.", 300},
    {"20 мин.", 1200},
    {"1 час", 3600},
    {"4 часа", 14400},
    {"8 часов", 28800},
    {"12 часов", 43200},
    {"24 часа", 86400},
    {"1 неделя", 604800},
}};

namespace {

// The window's arithmetic is done in 64 bits and saturated: the events of a
// damaged image may lie at both ends of the 32-bit calendar.
int32_t saturated(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Seconds of the latest end of a load curve's segment before end: a load
// point (a load or a cycle's start) joined to an earlier one, as the drawing
// joins them, with no cycle's stop or power-off between. A lone point draws
// nothing.
std::optional<int32_t> latestSegmentEnd(const GraphDraw& draw, int32_t end) {
    std::optional<int32_t> latest;
    for (size_t i = 0; i < std::size(draw.lists->groupLists); ++i) {
        if (!draw.weightChecks[i]) continue;
        std::optional<int32_t> later; // a point after the one looked at, none broken off
        const EventRefs& list = draw.lists->groupLists[i];
        for (size_t k = list.size(); k-- > 0;) {
            const genericParser& e = *list[k];
            if (e.seconds >= end) continue;
            // Nothing further back ends later than the segment already found.
            if (latest && later.value_or(e.seconds) <= *latest) break;
            if (eventAs<GL_groupLoad>(&e) || eventAs<GL_cycleStart>(&e)) {
                if (later) {
                    latest = std::max(latest.value_or(INT32_MIN), *later);
                    break;
                }
                later = e.seconds;
            } else if (eventAs<GL_cycleStop>(&e) || eventAs<GL_powerOff>(&e)) {
                later.reset();
            }
        }
    }
    return latest;
}

} // namespace

int32_t scaleSeconds(int index) {
    return index >= 0 && index < int(graphScales.size()) ? graphScales[size_t(index)].seconds : 1;
}

void applyScale(GraphDraw& draw, int index) {
    if (index < 0) return;
    const int32_t span = scaleSeconds(index);
    draw.viewStart = saturated(draw.viewStart + (int64_t(draw.viewSpan) - span) / 2);
    draw.viewSpan = span;
}

void regenerateGraph(GraphDraw& draw, const eventList& events, int32_t rangeStart, int32_t rangeEnd,
                     int scaleIndex) {
    draw.headerInfo.reset();
    if (draw.image) draw.headerInfo = std::make_unique<HeaderView>(*draw.image);
    applyScale(draw, scaleIndex);
    const EventRefs* journal = draw.lists ? &draw.lists->journalList : nullptr;
    if (journal && !journal->empty()) {
        draw.dataStart = journal->front()->seconds;
        draw.dataEnd = saturated(journal->back()->seconds + 1ll);
        draw.viewStart = std::max(saturated(int64_t(draw.dataEnd) - draw.viewSpan), draw.dataStart);
    } else {
        draw.dataStart = draw.dataEnd = draw.viewStart = 0;
    }
    draw.maxLoad = draw.minLoad = 0;
    for (const genericParser* e = events.front(); e; e = eventList::after(e)) {
        if (e->seconds < rangeStart || e->seconds > rangeEnd) continue;
        if (const auto* g = eventAs<GL_groupLoad>(e)) {
            draw.maxLoad = std::max(draw.maxLoad, g->load);
            draw.minLoad = std::min(draw.minLoad, g->load);
        }
    }
}

void showLatestCurve(GraphDraw& draw) {
    if (!draw.lists || draw.lists->journalList.empty()) return;
    const auto latest = latestSegmentEnd(draw, draw.dataEnd);
    if (latest && *latest < draw.viewStart && *latest >= draw.dataStart)
        draw.viewStart = std::max(saturated(int64_t(*latest) + 1 - draw.viewSpan), draw.dataStart);
}

bool matchesSearchKind(const genericParser& e, int kind, const std::array<bool, 5>& weights) {
    auto ticked = [&](unsigned group) { return group < weights.size() && weights[group]; };
    switch (kind) {
    case searchCycle:
        if (const auto* s = eventAs<GL_cycleStart>(&e)) return ticked(s->group);
        if (const auto* s = eventAs<GL_cycleStop>(&e)) return ticked(s->group);
        return false;
    case searchOverload:
        if (const auto* s = eventAs<SL_olStart>(&e)) return ticked(s->group);
        if (const auto* s = eventAs<SL_olStop>(&e)) return ticked(s->group);
        return false;
    case searchPower:
        return eventAs<GL_powerOn>(&e) || eventAs<GL_powerOff>(&e);
    default:
        return false;
    }
}

std::optional<int32_t> findEvent(const eventList& events, int32_t centre, bool later, int kind,
                                 const std::array<bool, 5>& weights) {
    if (later) {
        for (const aLink* l = events.first; l; l = l->next) {
            const auto& e = static_cast<const genericParser&>(*l);
            if (e.seconds > centre && matchesSearchKind(e, kind, weights)) return e.seconds;
        }
    } else {
        for (const aLink* l = events.last; l; l = l->prev) {
            const auto& e = static_cast<const genericParser&>(*l);
            if (e.seconds < centre && matchesSearchKind(e, kind, weights)) return e.seconds;
        }
    }
    return std::nullopt;
}

bool searchEvent(GraphDraw& draw, const eventList& events, bool later, int kind,
                 const std::array<bool, 5>& weights) {
    auto target = findEvent(events, saturated(draw.viewStart + int64_t(draw.viewSpan) / 2), later,
                            kind, weights);
    if (!target) return false;
    draw.viewStart = saturated(*target - int64_t(draw.viewSpan) / 2);
    return true;
}

ScrollBarState scrollBarState(const GraphDraw& d) {
    if (d.dataStart < 1 || d.dataEnd < 1 || d.viewSpan < 1) return {0, 10, 10};
    return {saturated(int64_t(d.viewStart) - d.dataStart), d.viewSpan,
            saturated(int64_t(d.dataEnd) - d.dataStart)};
}

int32_t lineStep(int32_t viewSpan) {
    const int32_t hundredth = viewSpan / 100;
    return hundredth <= 0 ? 1 : hundredth <= 59 ? 10 : 600;
}

int scrollGraph(GraphDraw& d, GraphScroll action, int thumbPosition) {
    int64_t start = d.viewStart;
    switch (action) {
    case GraphScroll::lineUp:
        start -= lineStep(d.viewSpan);
        break;
    case GraphScroll::lineDown:
        start += lineStep(d.viewSpan);
        break;
    case GraphScroll::pageUp:
        start -= d.viewSpan;
        break;
    case GraphScroll::pageDown:
        start += d.viewSpan;
        break;
    case GraphScroll::top:
        start = d.dataStart;
        break;
    case GraphScroll::bottom:
        start = int64_t(d.dataEnd) - d.viewSpan;
        break;
    case GraphScroll::thumb:
        start = int64_t(d.dataStart) + thumbPosition;
        break;
    case GraphScroll::other:
        break;
    }
    if (start < d.dataStart) start = d.dataStart;
    if (start > int64_t(d.dataEnd) - d.viewSpan) start = int64_t(d.dataEnd) - d.viewSpan;
    d.viewStart = saturated(start);
    return saturated(int64_t(d.viewStart) - d.dataStart);
}
