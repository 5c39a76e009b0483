#pragma once
// The event filter: which decoded events the journal shows and which the graph
// draws from. One pass over the event list sorts non-owning references into the
// journal list and the 22 graph lists; nothing is filtered until it is applied.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class aList;
class eventList;
class genericParser;

// A filtered list: the events it refers to, in the order of the event list
// (time order), one pointer each; it never owns them. A vector, so that a
// list of half a million events is one block, and the graph can find the
// first event of its window by a search.
using EventRefs = std::vector<const genericParser*>;

struct FilterSettings {
    enum Direction { fromStart = 0, toEnd = 1 }; // "с указанной даты", "по указанную дату"

    int32_t rangeStart = 0; // both ends included
    int32_t rangeEnd = 0;
    uint32_t maxCount = 1000; // journal rows; 0 = no limit
    int direction = toEnd;
    int detail = 3; // index 0..4 of levels 1..5
    bool config = true;
    bool discrete = false;
    bool relays = false;
    std::array<bool, 5> weights{true, true, true, true, true}; // total, groups 1..4
};

struct FilteredLists {
    EventRefs journalList;
    EventRefs groupLists[5];
    EventRefs modeList;
    EventRefs relayLists[10];
    EventRefs channelLists[6];
    // Every list holds its events in order of their seconds (the clock ran
    // forward through the range): a view may then search them by time.
    bool timeOrdered = false;

    // Empties every list, never an event; the lists keep their room for the
    // next filter. Call it whenever the events go away.
    void clear();
    // The 22 graph lists in the order the filter empties power-off-only lists.
    template <class F> void forEachGraphList(F f) {
        for (auto& l : groupLists)
            f(l);
        f(modeList);
        for (auto& l : relayLists)
            f(l);
        for (auto& l : channelLists)
            f(l);
    }
};

size_t listSize(const aList& list);
inline size_t listSize(const EventRefs& list) {
    return list.size();
}

// Empties list when every event in it is a GL_powerOff.
void dropPowerOffOnly(EventRefs& list);

// Rebuilds all 23 lists from events. A load, cycle or sensor-load event of a
// group above 4 has no weight box: it passes the weight test and enters no group
// list; a relay state of a relay above 9 enters no relay list.
void filterEvents(const eventList& events, const FilterSettings& settings, FilteredLists& lists);

// The standard atol rule: leading blanks, an optional sign, digits; 0 when none.
long leadingNumber(const std::string& text);

// Local time of base with hour, minute and second replaced (mktime normalises).
int32_t withTimeOfDay(int32_t base, long hour, long minute, long second);

// Start of a quick range ending at rangeEnd: one hour, one day or seven days
// before it, by local calendar arithmetic.
enum class QuickRange { lastHour, lastDay, lastWeek };
int32_t quickRangeStart(int32_t rangeEnd, QuickRange range);

// "HH:MM:SS DD/MM/YYYY" in local time, as the record-bound buttons show it.
std::string recordBoundText(int32_t seconds);

// Local-time fields of t: day, month 1..12, year, hour, minute, second.
struct LocalFields {
    unsigned long day, month, year, hour, minute, second;
};
LocalFields localFields(int32_t t);
