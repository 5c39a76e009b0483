#include "events/EventTime.h"

#include <ctime>

#include "common/Format.h"

std::string eventTimeText(int32_t seconds, uint8_t tenths) {
    time_t t = seconds;
    struct tm tmv = {};
    localtime_r(&t, &tmv);
    return strprintf("%02u/%02u/%04u %02u:%02u:%02u.%1u", unsigned(tmv.tm_mday),
                     unsigned(tmv.tm_mon + 1), unsigned(tmv.tm_year + 1900), unsigned(tmv.tm_hour),
                     unsigned(tmv.tm_min), unsigned(tmv.tm_sec), unsigned(tenths));
}
