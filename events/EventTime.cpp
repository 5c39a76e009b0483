#include "events/EventTime.h"

#include <ctime>

#include "common/Format.h"
#include "common/LocalTime.h"

namespace {

// printf's %0<width>u.
char* putUnsigned(char* p, unsigned v, int width) {
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    for (int k = n; k < width; ++k)
        *p++ = '0';
    while (n)
        *p++ = digits[--n];
    return p;
}

} // namespace

std::string eventTimeText(int32_t seconds, uint8_t tenths) {
    const struct tm tmv = localTimeOf(seconds);
    // "%02u/%02u/%04u %02u:%02u:%02u.%1u", written out: every event's time
    // goes through here.
    char text[64];
    char* p = putUnsigned(text, unsigned(tmv.tm_mday), 2);
    *p++ = '/';
    p = putUnsigned(p, unsigned(tmv.tm_mon + 1), 2);
    *p++ = '/';
    p = putUnsigned(p, unsigned(tmv.tm_year + 1900), 4);
    *p++ = ' ';
    p = putUnsigned(p, unsigned(tmv.tm_hour), 2);
    *p++ = ':';
    p = putUnsigned(p, unsigned(tmv.tm_min), 2);
    *p++ = ':';
    p = putUnsigned(p, unsigned(tmv.tm_sec), 2);
    *p++ = '.';
    p = putUnsigned(p, unsigned(tenths), 1);
    return std::string(text, p);
}
