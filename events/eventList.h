#pragma once
// The list of all decoded events, in the order the analysis builds (time order
// as long as the recorder's clock ran forward), with the time bounds that the
// event filter starts from.
#include <cstdint>
#include <memory>

#include "events/aList.h"
#include "events/genericParser.h"

class eventList : public aList {
public:
    eventList();
    ~eventList() override;

    // Seconds of the first event appended to the empty list, and one second
    // after the last one appended.
    int32_t firstSeconds = 0;
    int32_t endSeconds = 0;
    // Earliest event time, and one second after the latest.
    int32_t minSeconds = 0;
    int32_t maxSeconds = 0;

    // Widens the bounds and puts event at the end.
    void append(genericParser* event);
    // Widens the bounds and puts event right before the first event of the
    // list, counted from the front, whose (seconds, tenths) is later; at the end
    // if there is none. Events of equal time keep their order of insertion.
    // Runs in logarithmic time while nothing else changes the list (an index
    // is kept beside it and rebuilt after any other change); an event's time
    // must not change while it is in the list.
    void insertSorted(genericParser* event);
    // minSeconds = min(minSeconds, t), maxSeconds = max(maxSeconds, t + 1).
    void widen(int32_t seconds);

    genericParser* front() const { return static_cast<genericParser*>(first); }
    static genericParser* after(const genericParser* e) {
        return static_cast<genericParser*>(e->next);
    }

private:
    struct SortIndex;
    std::unique_ptr<SortIndex> index_;
};
