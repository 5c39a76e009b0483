#include "common/Format.h"

#include <charconv>
#include <cstdio>
#include <vector>

std::string vstrprintf(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    char small[256];
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n <= 0) return {};
    if (size_t(n) < sizeof small) return std::string(small, size_t(n));
    std::vector<char> buf(size_t(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), format, args);
    return std::string(buf.data(), size_t(n));
}

std::string strprintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string s = vstrprintf(format, args);
    va_end(args);
    return s;
}

std::string fixedDecimal(double v, int places) {
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, places);
    return r.ec == std::errc() ? std::string(buf, r.ptr) : strprintf("%.*f", places, v);
}
