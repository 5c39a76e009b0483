#include "common/LocalTime.h"

#include <cerrno>
#include <climits>

namespace {
bool breakDown(int32_t seconds, struct tm& out) {
    const time_t t = seconds;
    return localtime_r(&t, &out) != nullptr;
}
} // namespace

struct tm localTimeOf(int32_t seconds) {
    struct tm tmv {};
    if (!breakDown(seconds, tmv)) tmv = {};
    return tmv;
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
