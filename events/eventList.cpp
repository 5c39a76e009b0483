#include "events/eventList.h"

#include <algorithm>
#include <map>
#include <vector>

// Why a search suffices: the position insertSorted wants, the first event later
// than t, is also the first event whose prefix maximum (the latest time among
// it and all events before it) exceeds t, and prefix maxima never decrease
// along the list. An event inserted there gets t as its own prefix maximum and
// changes no other event's, since all events before it are not later than t
// and all after it already have a larger maximum. So the events present when
// the index was built keep the prefix maxima recorded in `built`, and every
// event inserted since has its own time as prefix maximum; the insertion point
// is the earlier (in list order) of the first of each group above t.
struct eventList::SortIndex {
    uint64_t listChanges = 0;                        // the list's change count when in step
    std::vector<int64_t> builtMax;                   // prefix maxima, in list order
    std::vector<genericParser*> built;               // the events they belong to
    std::multimap<int64_t, genericParser*> inserted; // equal keys: insertion order

    void rebuild(const eventList& list) {
        builtMax.clear();
        built.clear();
        inserted.clear();
        int64_t runningMax = INT64_MIN;
        for (genericParser* e = list.front(); e; e = eventList::after(e)) {
            runningMax = std::max(runningMax, e->timeKey());
            builtMax.push_back(runningMax);
            built.push_back(e);
        }
        listChanges = list.changeCount();
    }

    // The event to insert before, or null for the end.
    genericParser* positionFor(int64_t t) const {
        auto b = std::upper_bound(builtMax.begin(), builtMax.end(), t);
        auto s = inserted.upper_bound(t);
        // An inserted event with the same prefix maximum as the built one went
        // in after it, so the built one wins a tie.
        if (s != inserted.end() && (b == builtMax.end() || s->first < *b)) return s->second;
        return b == builtMax.end() ? nullptr : built[size_t(b - builtMax.begin())];
    }
};

eventList::eventList() = default;
eventList::~eventList() = default;

void eventList::widen(int32_t t) {
    minSeconds = std::min(minSeconds, t);
    maxSeconds = std::max(maxSeconds, int32_t(uint32_t(t) + 1));
}

void eventList::append(genericParser* event) {
    const int32_t t = event->seconds;
    const int32_t t1 = int32_t(uint32_t(t) + 1);
    if (empty()) {
        firstSeconds = minSeconds = t;
        endSeconds = maxSeconds = t1;
    }
    widen(t);
    endSeconds = t1;
    pushBack(event);
}

void eventList::insertSorted(genericParser* event) {
    widen(event->seconds);
    if (!index_) index_ = std::make_unique<SortIndex>();
    if (index_->listChanges != changeCount()) index_->rebuild(*this);
    const int64_t t = event->timeKey();
    if (genericParser* pos = index_->positionFor(t))
        insertBefore(pos, event);
    else
        append(event);
    index_->inserted.emplace(t, event);
    index_->listChanges = changeCount();
}
