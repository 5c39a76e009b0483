#include "views/ExportTable.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "common/Format.h"
#include "common/LocalTime.h"

namespace {

// "nan", "-nan", "inf": what printf makes of a figure that has no value.
bool undefinedDecimal(const std::string& printed) {
    return printed.find_first_of("0123456789") == std::string::npos;
}

} // namespace

std::string csvText(const ExportValue& v) {
    switch (v.kind) {
    case ExportValue::none:
        return {};
    case ExportValue::integer:
        return std::to_string(v.number);
    case ExportValue::decimal:
        return undefinedDecimal(v.printed) ? std::string() : v.printed;
    default:
        return v.printed;
    }
}

nlohmann::ordered_json jsonValue(const ExportValue& v) {
    switch (v.kind) {
    case ExportValue::none:
        return nullptr;
    case ExportValue::integer:
        return v.number;
    case ExportValue::text:
        return v.printed;
    case ExportValue::decimal:
        break;
    }
    // The printed digits read back: a whole number stays one ("28"), and of a
    // fraction JSON writes the shortest form of that double, so 0.260 leaves
    // as 0.26, the same number.
    const char* begin = v.printed.data();
    const char* end = begin + v.printed.size();
    long long whole = 0;
    auto w = std::from_chars(begin, end, whole);
    if (w.ec == std::errc() && w.ptr == end) return whole;
    double d = 0;
    auto r = std::from_chars(begin, end, d);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(d)) return nullptr;
    return d;
}

nlohmann::ordered_json jsonObject(const ExportRecord& record) {
    nlohmann::ordered_json j = nlohmann::ordered_json::object();
    for (const auto& [name, value] : record)
        j[name] = jsonValue(value);
    return j;
}

std::string jsonText(const nlohmann::ordered_json& j, int indent) {
    return j.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

namespace {

// The broken-down time, or false when there is none.
bool brokenDown(int32_t seconds, struct tm& t) {
    t = localTimeOf(seconds);
    return t.tm_mday != 0;
}

} // namespace

std::string isoLocalTime(int32_t seconds, int tenths) {
    struct tm t {};
    if (!brokenDown(seconds, t)) return {};
    std::string s = strprintf("%04d-%02d-%02dT%02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1,
                              t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    if (tenths >= 0 && tenths <= 9) s += strprintf(".%d", tenths);
    const long offset = t.tm_gmtoff;
    const long minutes = std::labs(offset) / 60;
    return s + strprintf("%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
}

std::string isoLocalDate(int32_t seconds) {
    struct tm t {};
    if (!brokenDown(seconds, t)) return {};
    return strprintf("%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}
