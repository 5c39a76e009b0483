#pragma once
// What the graph page does to the time window of its drawing, free of any
// window: the scale table, regeneration after filtering, the search for an
// event of a kind, and the scroll bar with its clamping.
#include <array>
#include <cstdint>
#include <optional>

#include "views/GraphDraw.h"

class eventList;
class genericParser;

struct GraphScale {
    const char* item;
    int32_t seconds;
};
extern const std::array<GraphScale, 11> graphScales;
constexpr int defaultGraphScale = 3; // "5 мин."

// Seconds of scale index; 1 for an index outside the table.
int32_t scaleSeconds(int index);

// Sets viewSpan to the scale of index keeping the centre of the window;
// index < 0 (nothing selected) changes nothing.
void applyScale(GraphDraw& draw, int index);

// Rebuilds the drawing's header view from its image, applies the scale, shows
// the newest viewSpan of its journal list and takes the load range from every
// group load of events within rangeStart..rangeEnd (0 always included). The
// drawing's lists and image are set by the caller.
void regenerateGraph(GraphDraw& draw, const eventList& events, int32_t rangeStart, int32_t rangeEnd,
                     int scaleIndex);

// The window's first view: when the newest window shows no piece of a ticked
// load curve (the crane stood still before the reader came), the window ends
// just after the latest piece instead, at the same scale and within the
// data; otherwise nothing changes.
void showLatestCurve(GraphDraw& draw);

// Kinds of the search control; any other kind matches nothing.
enum GraphSearchKind { searchCycle = 0, searchOverload = 1, searchPower = 2 };
bool matchesSearchKind(const genericParser& e, int kind, const std::array<bool, 5>& weights);

// Seconds of the latest matching event before centre (earlier) or of the
// first one after it (later), over all events.
std::optional<int32_t> findEvent(const eventList& events, int32_t centre, bool later, int kind,
                                 const std::array<bool, 5>& weights);

// Centres the window on the nearest matching event in one direction from the
// window's centre; false, and nothing changed, when there is none.
bool searchEvent(GraphDraw& draw, const eventList& events, bool later, int kind,
                 const std::array<bool, 5>& weights);

struct ScrollBarState {
    int position, thumb, range;
    bool operator==(const ScrollBarState&) const = default;
};
ScrollBarState scrollBarState(const GraphDraw& draw);

enum class GraphScroll { lineUp, lineDown, pageUp, pageDown, top, bottom, thumb, other };

// Seconds of one line step: 1, 10 or 600 by the length of the window.
int32_t lineStep(int32_t viewSpan);

// Moves the window for a horizontal scroll event (thumbPosition for the thumb
// events), keeps it within the data, and returns the scroll position to show.
int scrollGraph(GraphDraw& draw, GraphScroll action, int thumbPosition);
