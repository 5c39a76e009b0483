#include "views/ExportTable.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "common/Format.h"
#include "common/LocalTime.h"
#include "common/OutputWriter.h"

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

// Whether text is UTF-8 as the JSON library accepts it (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool validUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        size_t n;
        unsigned lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            n = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (size_t(end - p) <= n) return false;
        if (p[1] < lo || p[1] > hi) return false;
        for (size_t k = 2; k <= n; ++k)
            if ((p[k] & 0xC0) != 0x80) return false;
        p += n + 1;
    }
    return true;
}

} // namespace

void writeJsonString(OutputWriter& w, std::string_view text) {
    if (!validUtf8(text)) {
        // The library's own replacement of what is not UTF-8 (none should be).
        w.append(jsonText(nlohmann::ordered_json(std::string(text)), -1));
        return;
    }
    w.put('"');
    size_t plain = 0; // start of the bytes not yet written
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\') continue;
        w.append(text.substr(plain, i - plain));
        plain = i + 1;
        switch (c) {
        case '\b':
            w.append("\\b");
            break;
        case '\t':
            w.append("\\t");
            break;
        case '\n':
            w.append("\\n");
            break;
        case '\f':
            w.append("\\f");
            break;
        case '\r':
            w.append("\\r");
            break;
        case '"':
            w.append("\\\"");
            break;
        case '\\':
            w.append("\\\\");
            break;
        default: {
            static const char hex[] = "0123456789abcdef";
            const char escaped[6] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
            w.append(escaped, sizeof escaped);
        }
        }
    }
    w.append(text.substr(plain));
    w.put('"');
}

void writeJsonDecimal(OutputWriter& w, std::string_view printed) {
    const char* begin = printed.data();
    const char* end = begin + printed.size();
    long long whole = 0;
    auto r = std::from_chars(begin, end, whole);
    if (r.ec == std::errc() && r.ptr == end) {
        w.number(whole);
        return;
    }
    double d = 0;
    auto f = std::from_chars(begin, end, d);
    if (f.ec != std::errc() || f.ptr != end || !std::isfinite(d)) {
        w.append("null");
        return;
    }
    // The library's shortest form of the double, so that the bytes are its.
    char digits[64];
    char* last = nlohmann::detail::to_chars(digits, digits + sizeof digits, d);
    w.append(digits, size_t(last - digits));
}

void writeJsonValue(OutputWriter& w, const ExportValue& v) {
    switch (v.kind) {
    case ExportValue::none:
        w.append("null");
        break;
    case ExportValue::integer:
        w.number(v.number);
        break;
    case ExportValue::text:
        writeJsonString(w, v.printed);
        break;
    case ExportValue::decimal:
        writeJsonDecimal(w, v.printed);
        break;
    }
}

bool repeatsAName(const ExportRecord& record) {
    for (size_t i = 0; i < record.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (record[i].first == record[j].first) return true;
    return false;
}

void writeJsonIndent(OutputWriter& w, int depth) {
    w.put('\n');
    for (int k = 0; k < depth; ++k)
        w.append("  ");
}

void writeJsonMembers(OutputWriter& w, const ExportRecord& record, int depth) {
    for (size_t i = 0; i < record.size(); ++i) {
        if (i) w.put(',');
        writeJsonIndent(w, depth + 1);
        writeJsonString(w, record[i].first);
        w.append(": ");
        writeJsonValue(w, record[i].second);
    }
}

void writeJsonObjects(OutputWriter& w, const std::vector<ExportRecord>& records, int depth) {
    if (records.empty()) {
        w.append("[]");
        return;
    }
    w.put('[');
    for (size_t i = 0; i < records.size(); ++i) {
        if (i) w.put(',');
        writeJsonIndent(w, depth + 1);
        if (records[i].empty()) {
            w.append("{}");
            continue;
        }
        w.put('{');
        writeJsonMembers(w, records[i], depth + 1);
        writeJsonIndent(w, depth + 1);
        w.put('}');
    }
    writeJsonIndent(w, depth);
    w.put(']');
}

void writeJsonObject(OutputWriter& w, const ExportRecord& record) {
    // Like the library's object, a name given twice keeps its first place
    // and its last value.
    if (repeatsAName(record)) {
        w.append(jsonText(jsonObject(record), -1));
        return;
    }
    w.put('{');
    for (size_t i = 0; i < record.size(); ++i) {
        if (i) w.put(',');
        writeJsonString(w, record[i].first);
        w.put(':');
        writeJsonValue(w, record[i].second);
    }
    w.put('}');
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
    const long offset = t.tm_gmtoff;
    const long minutes = std::labs(offset) / 60;
    const int year = t.tm_year + 1900;
    if (year < 0 || year > 9999 || minutes / 60 > 99)
        return strprintf("%04d-%02d-%02dT%02d:%02d:%02d", year, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                         t.tm_min, t.tm_sec) +
               (tenths >= 0 && tenths <= 9 ? strprintf(".%d", tenths) : std::string()) +
               strprintf("%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    // Every exported event's time: "%04d-%02d-%02dT%02d:%02d:%02d[.%d]%c%02ld:%02ld"
    // written out.
    char text[40];
    char* p = text;
    auto two = [&p](int v) {
        *p++ = char('0' + v / 10);
        *p++ = char('0' + v % 10);
    };
    two(year / 100);
    two(year % 100);
    *p++ = '-';
    two(t.tm_mon + 1);
    *p++ = '-';
    two(t.tm_mday);
    *p++ = 'T';
    two(t.tm_hour);
    *p++ = ':';
    two(t.tm_min);
    *p++ = ':';
    two(t.tm_sec);
    if (tenths >= 0 && tenths <= 9) {
        *p++ = '.';
        *p++ = char('0' + tenths);
    }
    *p++ = offset < 0 ? '-' : '+';
    two(int(minutes / 60));
    *p++ = ':';
    two(int(minutes % 60));
    return std::string(text, p);
}

std::string isoLocalDate(int32_t seconds) {
    struct tm t {};
    if (!brokenDown(seconds, t)) return {};
    return strprintf("%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}
