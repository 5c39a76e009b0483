#include "views/ReportOptions.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/LocalTime.h"

const char* const filterOptionsUsage =
    "[--from T] [--to T] [--max N] [--direction first|last] [--level 1..5] "
    "[--config on|off] [--discrete on|off] [--relays on|off] [--weights 11111] [--out FILE]";

std::optional<int32_t> parseTimeArgument(const std::string& text) {
    unsigned d, mo, y, h, mi, s;
    char tail;
    if (std::sscanf(text.c_str(), "%u/%u/%u %u:%u:%u%c", &d, &mo, &y, &h, &mi, &s, &tail) == 6) {
        // Fields beyond these would overflow struct tm before mktime sees them.
        if (d > 31 || mo > 12 || y > 9999 || h > 24 || mi > 60 || s > 61) return std::nullopt;
        struct tm tmv {};
        tmv.tm_mday = int(d), tmv.tm_mon = int(mo) - 1, tmv.tm_year = int(y) - 1900;
        tmv.tm_hour = int(h), tmv.tm_min = int(mi), tmv.tm_sec = int(s), tmv.tm_isdst = -1;
        // Times are 32-bit: a date beyond them is refused like such a number.
        return secondsOfLocalIn32(tmv);
    }
    char* end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (end && *end == 0 && !text.empty() && v >= INT32_MIN && v <= INT32_MAX) return int32_t(v);
    return std::nullopt;
}

namespace {

std::optional<bool> onOff(const std::string& v) {
    if (v == "on") return true;
    if (v == "off") return false;
    return std::nullopt;
}

} // namespace

std::optional<std::string> parseReportOptions(const std::vector<std::string>& args,
                                              const std::vector<std::string>& extraNames,
                                              ReportOptions& o, bool& fromGiven, bool& toGiven,
                                              bool imageRequired) {
    fromGiven = toGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            if (!o.image.empty()) return "more than one image given: " + a;
            o.image = a;
            continue;
        }
        if (i + 1 >= args.size()) return "option " + a + " needs a value";
        const std::string v = args[++i];
        auto bad = [&] { return std::optional<std::string>("bad value for " + a + ": " + v); };
        bool extra = false;
        for (const auto& n : extraNames)
            if (a == n) extra = true;
        if (extra) {
            o.extra.push_back(a);
            o.extra.push_back(v);
        } else if (a == "--out") {
            o.out = v;
        } else if (a == "--from" || a == "--to") {
            auto t = parseTimeArgument(v);
            if (!t) return bad();
            (a == "--from" ? o.filter.rangeStart : o.filter.rangeEnd) = *t;
            (a == "--from" ? fromGiven : toGiven) = true;
        } else if (a == "--max") {
            char* end = nullptr;
            unsigned long n = std::strtoul(v.c_str(), &end, 10);
            if (v.empty() || *end || n > UINT32_MAX) return bad();
            o.filter.maxCount = uint32_t(n);
        } else if (a == "--direction") {
            if (v == "first")
                o.filter.direction = FilterSettings::fromStart;
            else if (v == "last")
                o.filter.direction = FilterSettings::toEnd;
            else
                return bad();
        } else if (a == "--level") {
            if (v.size() != 1 || v[0] < '1' || v[0] > '5') return bad();
            o.filter.detail = v[0] - '1';
        } else if (a == "--config" || a == "--discrete" || a == "--relays") {
            auto b = onOff(v);
            if (!b) return bad();
            (a == "--config"     ? o.filter.config
             : a == "--discrete" ? o.filter.discrete
                                 : o.filter.relays) = *b;
        } else if (a == "--weights") {
            if (v.size() != 5 || v.find_first_not_of("01") != std::string::npos) return bad();
            for (size_t k = 0; k < 5; ++k)
                o.filter.weights[k] = v[k] == '1';
        } else {
            return "unknown option " + a;
        }
    }
    if (o.image.empty() && imageRequired) return std::string("no image given");
    return std::nullopt;
}
