#include "events/EventTime.h"

#include <ctime>

#include "common/Format.h"
#include "common/LocalTime.h"

std::string eventTimeText(int32_t seconds, uint8_t tenths) {
    const struct tm tmv = localTimeOf(seconds);
    return strprintf("%02u/%02u/%04u %02u:%02u:%02u.%1u", unsigned(tmv.tm_mday),
                     unsigned(tmv.tm_mon + 1), unsigned(tmv.tm_year + 1900), unsigned(tmv.tm_hour),
                     unsigned(tmv.tm_min), unsigned(tmv.tm_sec), unsigned(tenths));
}
