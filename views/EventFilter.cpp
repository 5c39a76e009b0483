#include "views/EventFilter.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "events/GL_records.h"
#include "events/SL_records1.h"
#include "events/SL_records2.h"
#include "events/eventList.h"

namespace {

template <class T> bool is(const genericParser* e) { return dynamic_cast<const T*>(e) != nullptr; }

const genericParser* eventOf(const aLink* link) {
    return static_cast<const filteredEventLink*>(link)->event;
}

void add(aList& list, genericParser* e) { list.pushBack(new filteredEventLink(e)); }

// The group of a load, cycle or sensor-load event; -1 for any other event.
int weightGroup(const genericParser* e) {
    if (auto g = dynamic_cast<const GL_groupLoad*>(e)) return g->group;
    if (auto c = dynamic_cast<const GL_cycleStart*>(e)) return c->group;
    if (auto c = dynamic_cast<const GL_cycleStop*>(e)) return c->group;
    if (auto s = dynamic_cast<const GL_sensorLoad*>(e)) return s->group;
    return -1;
}

bool isConfigurationChange(const genericParser* e) {
    return is<SL_parser>(e) && !is<SL_olStart>(e) && !is<SL_olStop>(e) && !is<SL_unknown>(e);
}

bool removedByLevel(const genericParser* e, int level) {
    if (level >= 1 && is<GL_sensorLoad>(e)) return true;
    if (level >= 2 && is<GL_groupLoad>(e)) return true;
    if (level >= 3 && (is<GL_cycleStart>(e) || is<GL_cycleStop>(e) || is<GL_consoleMode>(e)))
        return true;
    if (level >= 4 && (is<SL_olStart>(e) || is<SL_olStop>(e))) return true;
    return false;
}

void cutJournal(aList& journal, uint32_t maxCount, int direction) {
    if (journal.empty() || maxCount == 0) return;
    if (direction == FilterSettings::toEnd) {
        aLink* keep = journal.last;
        for (uint32_t n = 1; n < maxCount && keep; ++n) keep = keep->prev;
        if (!keep) return;
        while (journal.first != keep) journal.remove(journal.first);
    } else {
        aLink* keep = journal.first;
        for (uint32_t n = 1; n < maxCount && keep; ++n) keep = keep->next;
        if (!keep) return;
        while (journal.last != keep) journal.remove(journal.last);
    }
}

struct tm localTm(int32_t t) {
    time_t tt = t;
    struct tm tmv {};
    localtime_r(&tt, &tmv);
    return tmv;
}

}  // namespace

void FilteredLists::clear() {
    journalList.clear();
    forEachGraphList([](aList& l) { l.clear(); });
}

size_t listSize(const aList& list) {
    size_t n = 0;
    for (const aLink* l = list.first; l; l = l->next) ++n;
    return n;
}

void dropPowerOffOnly(aList& list) {
    for (const aLink* l = list.first; l; l = l->next)
        if (!is<GL_powerOff>(eventOf(l))) return;
    list.clear();
}

void filterEvents(const eventList& events, const FilterSettings& s, FilteredLists& lists) {
    lists.clear();
    for (aLink* link = events.first; link; link = link->next) {
        auto* e = static_cast<genericParser*>(link);
        if (e->seconds < s.rangeStart || e->seconds > s.rangeEnd) continue;

        const int group = weightGroup(e);
        if (group >= 0 && group <= 4 && !s.weights[size_t(group)]) continue;

        const bool powerOff = is<GL_powerOff>(e);
        const bool groupEvent = is<GL_groupLoad>(e) || is<GL_cycleStart>(e) || is<GL_cycleStop>(e);
        if (powerOff) {
            for (auto& l : lists.groupLists) add(l, e);
        } else if (groupEvent && group <= 4) {
            add(lists.groupLists[group], e);
        }

        if (s.relays) {
            if (is<GL_consoleMode>(e) || powerOff) add(lists.modeList, e);
            if (auto r = dynamic_cast<const GL_state*>(e)) {
                if (r->relay <= 9) add(lists.relayLists[r->relay], e);
            } else if (powerOff) {
                for (auto& l : lists.relayLists) add(l, e);
            }
        }

        auto* channels = dynamic_cast<const GL_channelState*>(e);
        if (s.discrete && (channels || powerOff)) {
            for (int c = 0; c < 6; ++c) {
                aList& list = lists.channelLists[c];
                int32_t previous = 0;
                if (list.last)
                    if (auto p = dynamic_cast<const GL_channelState*>(eventOf(list.last)))
                        previous = p->channels;
                if (channels && ((channels->channels >> c) & 1) == ((previous >> c) & 1)) continue;
                add(list, e);
            }
        }

        if (removedByLevel(e, s.detail)) continue;
        if (!s.discrete && channels) continue;
        if (!s.relays && is<GL_state>(e)) continue;
        if (!s.config && isConfigurationChange(e)) continue;
        add(lists.journalList, e);
    }
    lists.forEachGraphList(dropPowerOffOnly);
    cutJournal(lists.journalList, s.maxCount, s.direction);
}

long leadingNumber(const std::string& text) { return std::atol(text.c_str()); }

int32_t withTimeOfDay(int32_t base, long hour, long minute, long second) {
    struct tm tmv = localTm(base);
    tmv.tm_hour = int(hour);
    tmv.tm_min = int(minute);
    tmv.tm_sec = int(second);
    tmv.tm_isdst = -1;
    return int32_t(mktime(&tmv));
}

int32_t quickRangeStart(int32_t rangeEnd, QuickRange range) {
    struct tm tmv = localTm(rangeEnd);
    switch (range) {
    case QuickRange::lastHour: tmv.tm_hour -= 1; break;
    case QuickRange::lastDay: tmv.tm_mday -= 1; break;
    case QuickRange::lastWeek: tmv.tm_mday -= 7; break;
    }
    tmv.tm_isdst = -1;
    return int32_t(mktime(&tmv));
}

LocalFields localFields(int32_t t) {
    struct tm tmv = localTm(t);
    return {static_cast<unsigned long>(tmv.tm_mday), static_cast<unsigned long>(tmv.tm_mon + 1),
            static_cast<unsigned long>(tmv.tm_year + 1900), static_cast<unsigned long>(tmv.tm_hour),
            static_cast<unsigned long>(tmv.tm_min), static_cast<unsigned long>(tmv.tm_sec)};
}

std::string recordBoundText(int32_t seconds) {
    LocalFields f = localFields(seconds);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02lu:%02lu:%02lu %02lu/%02lu/%04lu", f.hour, f.minute, f.second,
                  f.day, f.month, f.year);
    return buf;
}
