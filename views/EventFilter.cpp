#include "views/EventFilter.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "common/LocalTime.h"
#include "events/GL_records.h"
#include "events/SL_records1.h"
#include "events/SL_records2.h"
#include "events/eventList.h"

namespace {

constexpr int kSensorLoad = kindOf<GL_sensorLoad>();
constexpr int kGroupLoad = kindOf<GL_groupLoad>();
constexpr int kState = kindOf<GL_state>();
constexpr int kPowerOff = kindOf<GL_powerOff>();
constexpr int kCycleStart = kindOf<GL_cycleStart>();
constexpr int kCycleStop = kindOf<GL_cycleStop>();
constexpr int kConsoleMode = kindOf<GL_consoleMode>();
constexpr int kChannelState = kindOf<GL_channelState>();
constexpr int kOlStart = kindOf<SL_olStart>();
constexpr int kOlStop = kindOf<SL_olStop>();
constexpr int kSettingsUnknown = kindOf<SL_unknown>();

void add(EventRefs& list, const genericParser* e) {
    list.push_back(e);
}

// The group of a load, cycle or sensor-load event; -1 for any other event.
int weightGroup(const genericParser* e, int kind) {
    switch (kind) {
    case kGroupLoad:
        return static_cast<const GL_groupLoad*>(e)->group;
    case kCycleStart:
        return static_cast<const GL_cycleStart*>(e)->group;
    case kCycleStop:
        return static_cast<const GL_cycleStop*>(e)->group;
    case kSensorLoad:
        return static_cast<const GL_sensorLoad*>(e)->group;
    default:
        return -1;
    }
}

bool isConfigurationChange(int kind) {
    return kind > genericParser::SettingsKindBase && kind != kOlStart && kind != kOlStop &&
           kind != kSettingsUnknown;
}

bool removedByLevel(int kind, int level) {
    if (level >= 1 && kind == kSensorLoad) return true;
    if (level >= 2 && kind == kGroupLoad) return true;
    if (level >= 3 && (kind == kCycleStart || kind == kCycleStop || kind == kConsoleMode))
        return true;
    if (level >= 4 && (kind == kOlStart || kind == kOlStop)) return true;
    return false;
}

// The journal keeps at most maxCount rows (0: all): the latest ones counted
// back from the end of the range, or the earliest ones.
void keepJournalRows(EventRefs& journal, uint32_t maxCount, int direction) {
    if (maxCount == 0 || journal.size() <= maxCount) return;
    if (direction == FilterSettings::toEnd)
        journal.erase(journal.begin(), journal.end() - std::ptrdiff_t(maxCount));
    else
        journal.resize(maxCount);
}

} // namespace

void FilteredLists::clear() {
    timeOrdered = false;
    journalList.clear();
    forEachGraphList([](EventRefs& l) { l.clear(); });
}

size_t listSize(const aList& list) {
    size_t n = 0;
    for (const aLink* l = list.first; l; l = l->next)
        ++n;
    return n;
}

void dropPowerOffOnly(EventRefs& list) {
    for (const genericParser* e : list)
        if (e->kind() != kPowerOff) return;
    list.clear();
}

void filterEvents(const eventList& events, const FilterSettings& s, FilteredLists& lists) {
    lists.clear();
    // The journal's candidates; the row limit is applied at the end.
    EventRefs& journal = lists.journalList;
    bool ordered = true;
    int32_t latest = INT32_MIN;
    for (aLink* link = events.first; link; link = link->next) {
        auto* e = static_cast<genericParser*>(link);
        if (e->seconds < s.rangeStart || e->seconds > s.rangeEnd) continue;
        if (e->seconds < latest) ordered = false;
        latest = e->seconds;
        const int kind = e->kind();

        const int group = weightGroup(e, kind);
        if (group >= 0 && group <= 4 && !s.weights[size_t(group)]) continue;

        const bool powerOff = kind == kPowerOff;
        const bool groupEvent = kind == kGroupLoad || kind == kCycleStart || kind == kCycleStop;
        if (powerOff) {
            for (auto& l : lists.groupLists)
                add(l, e);
        } else if (groupEvent && group <= 4) {
            add(lists.groupLists[group], e);
        }

        if (s.relays) {
            if (kind == kConsoleMode || powerOff) add(lists.modeList, e);
            if (kind == kState) {
                uint8_t relay = static_cast<const GL_state*>(e)->relay;
                if (relay <= 9) add(lists.relayLists[relay], e);
            } else if (powerOff) {
                for (auto& l : lists.relayLists)
                    add(l, e);
            }
        }

        const bool channels = kind == kChannelState;
        if (s.discrete && (channels || powerOff)) {
            const int32_t bits = channels ? static_cast<const GL_channelState*>(e)->channels : 0;
            for (int c = 0; c < 6; ++c) {
                EventRefs& list = lists.channelLists[c];
                int32_t previous = 0;
                if (!list.empty() && list.back()->kind() == kChannelState)
                    previous = static_cast<const GL_channelState*>(list.back())->channels;
                if (channels && ((bits >> c) & 1) == ((previous >> c) & 1)) continue;
                add(list, e);
            }
        }

        if (removedByLevel(kind, s.detail)) continue;
        if (!s.discrete && channels) continue;
        if (!s.relays && kind == kState) continue;
        if (!s.config && isConfigurationChange(kind)) continue;
        journal.push_back(e);
    }
    lists.timeOrdered = ordered;
    lists.forEachGraphList(dropPowerOffOnly);
    keepJournalRows(journal, s.maxCount, s.direction);
}

long leadingNumber(const std::string& text) {
    return std::atol(text.c_str());
}

int32_t withTimeOfDay(int32_t base, long hour, long minute, long second) {
    struct tm tmv = localTimeOf(base);
    tmv.tm_hour = int(hour);
    tmv.tm_min = int(minute);
    tmv.tm_sec = int(second);
    tmv.tm_isdst = -1;
    return secondsOfLocal(tmv);
}

int32_t quickRangeStart(int32_t rangeEnd, QuickRange range) {
    struct tm tmv = localTimeOf(rangeEnd);
    switch (range) {
    case QuickRange::lastHour:
        tmv.tm_hour -= 1;
        break;
    case QuickRange::lastDay:
        tmv.tm_mday -= 1;
        break;
    case QuickRange::lastWeek:
        tmv.tm_mday -= 7;
        break;
    }
    tmv.tm_isdst = -1;
    return secondsOfLocal(tmv);
}

LocalFields localFields(int32_t t) {
    struct tm tmv = localTimeOf(t);
    return {
        static_cast<unsigned long>(tmv.tm_mday),        static_cast<unsigned long>(tmv.tm_mon + 1),
        static_cast<unsigned long>(tmv.tm_year + 1900), static_cast<unsigned long>(tmv.tm_hour),
        static_cast<unsigned long>(tmv.tm_min),         static_cast<unsigned long>(tmv.tm_sec)};
}

std::string recordBoundText(int32_t seconds) {
    LocalFields f = localFields(seconds);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02lu:%02lu:%02lu %02lu/%02lu/%04lu", f.hour, f.minute,
                  f.second, f.day, f.month, f.year);
    return buf;
}
