#pragma once
// Calendar seconds and local time, both ways: the one place that calls
// localtime_r and mktime. Local time follows TZ; daylight saving is decided by
// the zone. Times are the recorder's 32-bit signed calendar seconds.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

// The broken-down local time of seconds; all fields 0 when it has none.
struct tm localTimeOf(int32_t seconds);

// mktime of fields as they stand (tm_isdst -1 leaves daylight saving to the
// zone); the fields may be out of range, mktime normalises them. A time that
// cannot be converted gives -1.
int32_t secondsOfLocal(struct tm fields);

// The same, for a time that must fit the recorder's 32 bits: nothing when it
// cannot be converted or lies outside them (a date after January 2038, say),
// rather than the time wrapped into another century.
std::optional<int32_t> secondsOfLocalIn32(struct tm fields);

// The broken-down local time of seconds beyond the recorder's 32 bits (a
// forecast decades ahead); false when the system has none for it.
bool localTimeOfWide(int64_t seconds, struct tm& out);

// strftime of the local time of seconds; empty when it cannot be broken down.
std::string localTimeText(int32_t seconds, const char* format);
