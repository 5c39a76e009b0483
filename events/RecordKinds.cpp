#include "events/RecordKinds.h"

std::string hexBytes(const uint8_t* p, size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += strprintf(i ? " %02X" : "%02X", unsigned(p[i]));
    return s;
}
