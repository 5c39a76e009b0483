#pragma once
// Events stated directly in tests, without a recorder image behind them.
#include <cstdint>

#include "events/eventList.h"

// A new T at seconds and tenths, put into events in time order.
template <class T> T* addEvent(eventList& events, int32_t seconds, uint8_t tenths = 0) {
    auto* e = new T;
    e->seconds = seconds;
    e->tenths = tenths;
    events.insertSorted(e);
    return e;
}

// A new T at seconds with importance, appended as a walk of the logs
// appends, whatever the time of the events before it.
template <class T> T* appendEvent(eventList& events, int32_t seconds, uint8_t importance = 0) {
    auto* e = new T;
    e->seconds = seconds;
    e->importance = importance;
    events.append(e);
    return e;
}

// A load or cycle event of a group (0: the total load).
template <class T>
T* addLoad(eventList& events, int32_t seconds, uint8_t group, int32_t kg, uint8_t tenths = 0) {
    T* e = addEvent<T>(events, seconds, tenths);
    e->group = group;
    e->load = kg;
    return e;
}
