#include "common/LocalTime.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// localtime_r costs a microsecond or more (with a zone file, times after its
// last transition re-read the zone's rule every call), and the events come
// in time order: each thread keeps the offset of the last quarter of an hour
// it broke down, when the zone keeps one offset through all of it, and breaks
// down the times within it by that offset alone, as the library itself does.
// A change of TZ empties the cache.
constexpr int64_t Quarter = 900;

struct QuarterCache {
    bool valid = false;
    int64_t start = 0; // first second of the quarter
    long offset = 0;
    int isdst = 0;
    const char* zone = nullptr;
    std::string tz; // TZ when it was filled; unsetTz when TZ was not set
    bool tzSet = false;
};
thread_local QuarterCache cache;

bool sameTz(const QuarterCache& c) {
    const char* tz = std::getenv("TZ");
    return tz ? c.tzSet && c.tz == tz : !c.tzSet;
}

bool byOffset(time_t t, long offset, struct tm& out) {
    const time_t shifted = t + offset;
    return gmtime_r(&shifted, &out) != nullptr;
}

// Whether b is what a broken down by offset gives.
bool sameFields(const struct tm& a, const struct tm& b) {
    return a.tm_sec == b.tm_sec && a.tm_min == b.tm_min && a.tm_hour == b.tm_hour &&
           a.tm_mday == b.tm_mday && a.tm_mon == b.tm_mon && a.tm_year == b.tm_year &&
           a.tm_wday == b.tm_wday && a.tm_yday == b.tm_yday;
}

bool breakDown(int32_t seconds, struct tm& out) {
    const time_t t = seconds;
    const int64_t start = seconds - ((int64_t(seconds) % Quarter + Quarter) % Quarter);
    QuarterCache& c = cache;
    if (!(c.valid && c.start == start && sameTz(c))) {
        c.valid = false;
        struct tm first {
        }, last{}, check{};
        const time_t a = time_t(start), b = time_t(start + Quarter - 1);
        if (!localtime_r(&a, &first) || !localtime_r(&b, &last))
            return localtime_r(&t, &out) != nullptr;
        // One offset at both ends (no zone changes twice within minutes), and
        // the offset alone gives the library's fields (no leap seconds).
        if (first.tm_gmtoff != last.tm_gmtoff || first.tm_isdst != last.tm_isdst ||
            !first.tm_zone || !last.tm_zone || std::strcmp(first.tm_zone, last.tm_zone) != 0 ||
            !byOffset(a, first.tm_gmtoff, check) || !sameFields(first, check) ||
            !byOffset(b, last.tm_gmtoff, check) || !sameFields(last, check))
            return localtime_r(&t, &out) != nullptr;
        const char* tz = std::getenv("TZ");
        c.tzSet = tz != nullptr;
        c.tz = tz ? tz : "";
        c.start = start;
        c.offset = first.tm_gmtoff;
        c.isdst = first.tm_isdst;
        c.zone = first.tm_zone;
        c.valid = true;
    }
    if (!byOffset(t, c.offset, out)) return false;
    out.tm_isdst = c.isdst;
    out.tm_gmtoff = c.offset;
    out.tm_zone = c.zone;
    return true;
}

} // namespace

struct tm localTimeOf(int32_t seconds) {
    struct tm tmv {};
    if (!breakDown(seconds, tmv)) tmv = {};
    return tmv;
}

bool localTimeOfWide(int64_t seconds, struct tm& out) {
    if (seconds >= INT32_MIN && seconds <= INT32_MAX) return breakDown(int32_t(seconds), out);
    const time_t t = time_t(seconds);
    return int64_t(t) == seconds && localtime_r(&t, &out) != nullptr;
}

int32_t secondsOfLocal(struct tm fields) {
    return int32_t(std::mktime(&fields));
}

std::optional<int32_t> secondsOfLocalIn32(struct tm fields) {
    errno = 0;
    const time_t t = std::mktime(&fields);
    if ((t == time_t(-1) && errno != 0) || t < INT32_MIN || t > INT32_MAX) return std::nullopt;
    return int32_t(t);
}

std::string localTimeText(int32_t seconds, const char* format) {
    struct tm tmv {};
    if (!breakDown(seconds, tmv)) return {};
    char buf[64];
    const size_t n = std::strftime(buf, sizeof buf, format, &tmv);
    return std::string(buf, n);
}
