#include "common/LocalTime.h"

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

std::string localTimeText(int32_t seconds, const char* format) {
    struct tm tmv {};
    if (!breakDown(seconds, tmv)) return {};
    char buf[64];
    const size_t n = std::strftime(buf, sizeof buf, format, &tmv);
    return std::string(buf, n);
}
