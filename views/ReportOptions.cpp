#include "views/ReportOptions.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/CommandLine.h"
#include "common/LocalTime.h"

const char* const filterOptionsUsage =
    "[--from T] [--to T] [--max N] [--direction first|last] [--level 1..5] "
    "[--config on|off] [--discrete on|off] [--relays on|off] [--weights 11111] [--out FILE]";

const char* const timeArgumentForms =
    "ДД/ММ/ГГГГ ЧЧ:ММ:СС, ДД.ММ.ГГГГ ЧЧ:ММ:СС, ГГГГ-ММ-ДДTЧЧ:ММ:СС[+ЧЧ:ММ], "
    "дата без времени — полночь, или секунды календаря";

namespace {

// A cursor over the text: digits, separators, the end.
struct Scan {
    const char* p;
    // n..m decimal digits as a number, or -1.
    int digits(int n, int m) {
        int v = 0, k = 0;
        while (k < m && *p >= '0' && *p <= '9')
            v = v * 10 + (*p++ - '0'), ++k;
        return k >= n ? v : -1;
    }
    bool take(char c) { return *p == c ? (++p, true) : false; }
    bool end() const { return *p == 0; }
};

bool leapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : days[m - 1];
}

struct Fields {
    int year = -1, month = -1, day = -1, hour = 0, minute = 0, second = 0;
    bool valid() const {
        return year >= 1 && month >= 1 && month <= 12 && day >= 1 &&
               day <= daysInMonth(year, month) && hour >= 0 && hour <= 23 && minute >= 0 &&
               minute <= 59 && second >= 0 && second <= 59;
    }
};

// " HH:MM:SS" or the end (midnight); after the date of the journal's forms.
bool clockOrEnd(Scan& s, Fields& f, char lead) {
    if (s.end()) return true;
    if (!s.take(lead)) return false;
    if (lead == ' ')
        while (s.take(' ')) {
        }
    f.hour = s.digits(1, 2);
    if (!s.take(':')) return false;
    f.minute = s.digits(1, 2);
    if (!s.take(':')) return false;
    f.second = s.digits(1, 2);
    return f.hour >= 0 && f.minute >= 0 && f.second >= 0;
}

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
long long daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * unsigned(m + (m > 2 ? -3 : 9)) + 2) / 5 + unsigned(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468;
}

std::optional<int32_t> localSeconds(const Fields& f) {
    struct tm tmv {};
    tmv.tm_mday = f.day, tmv.tm_mon = f.month - 1, tmv.tm_year = f.year - 1900;
    tmv.tm_hour = f.hour, tmv.tm_min = f.minute, tmv.tm_sec = f.second, tmv.tm_isdst = -1;
    // Times are 32-bit: a date beyond them is refused like such a number.
    auto t = secondsOfLocalIn32(tmv);
    if (!t) return std::nullopt;
    // A time the clocks skip (a daylight-saving gap) does not exist there.
    const struct tm back = localTimeOf(*t);
    if (back.tm_mday != f.day || back.tm_mon != f.month - 1 || back.tm_year != f.year - 1900 ||
        back.tm_hour != f.hour || back.tm_min != f.minute || back.tm_sec != f.second)
        return std::nullopt;
    return t;
}

} // namespace

std::optional<int32_t> parseTimeArgument(const std::string& text) {
    Fields f;
    // The journal's forms: DD/MM/YYYY and DD.MM.YYYY, then " HH:MM:SS" or nothing.
    for (char sep : {'/', '.'}) {
        Scan s{text.c_str()};
        f = Fields{};
        f.day = s.digits(1, 2);
        if (f.day < 0 || !s.take(sep)) continue;
        f.month = s.digits(1, 2);
        if (f.month < 0 || !s.take(sep)) return std::nullopt;
        f.year = s.digits(4, 4);
        if (f.year < 0 || !clockOrEnd(s, f, ' ') || !s.end() || !f.valid()) return std::nullopt;
        return localSeconds(f);
    }
    // ISO 8601: YYYY-MM-DD, then "THH:MM:SS" and an offset (Z, ±HH:MM, ±HHMM, ±HH) or nothing.
    {
        Scan s{text.c_str()};
        f = Fields{};
        f.year = s.digits(4, 4);
        if (f.year >= 0 && s.take('-')) {
            f.month = s.digits(2, 2);
            if (f.month < 0 || !s.take('-')) return std::nullopt;
            f.day = s.digits(2, 2);
            if (f.day < 0) return std::nullopt;
            if (!s.end()) {
                if (!s.take('T')) return std::nullopt;
                f.hour = s.digits(2, 2);
                if (f.hour < 0 || !s.take(':')) return std::nullopt;
                f.minute = s.digits(2, 2);
                if (f.minute < 0 || !s.take(':')) return std::nullopt;
                f.second = s.digits(2, 2);
                if (f.second < 0) return std::nullopt;
            }
            if (!s.end()) {
                const int sign = s.take('+') ? 1 : s.take('-') ? -1 : 0;
                if (sign == 0 && !s.take('Z')) return std::nullopt;
                int offset = 0;
                if (sign != 0) {
                    const int h = s.digits(2, 2);
                    s.take(':');
                    const int m = s.end() ? 0 : s.digits(2, 2);
                    if (h < 0 || h > 14 || m < 0 || m > 59) return std::nullopt;
                    offset = sign * (h * 3600 + m * 60);
                }
                if (!s.end() || !f.valid()) return std::nullopt;
                const long long t = daysFromCivil(f.year, f.month, f.day) * 86400 + f.hour * 3600 +
                                    f.minute * 60 + f.second - offset;
                if (t < INT32_MIN || t > INT32_MAX) return std::nullopt;
                return int32_t(t);
            }
            if (!s.end() || !f.valid()) return std::nullopt;
            return localSeconds(f);
        }
    }
    // Calendar seconds.
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (!text.empty() && (std::isdigit((unsigned char)text[0]) || text[0] == '-') && end &&
        *end == 0 && errno == 0 && v >= INT32_MIN && v <= INT32_MAX)
        return int32_t(v);
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
    std::vector<OptionSpec> specs = {{"from"},   {"to"},       {"max"},    {"direction"}, {"level"},
                                     {"config"}, {"discrete"}, {"relays"}, {"weights"},   {"out"}};
    for (const std::string& n : extraNames)
        specs.push_back({n.c_str() + 2});
    CommandLine line;
    if (auto error = parseCommandLine(args, specs, line)) return error;
    for (const auto& [name, v] : line.options) {
        const std::string a = "--" + name;
        bool extra = false;
        for (const auto& n : extraNames)
            if (a == n) extra = true;
        if (extra) {
            o.extra.push_back(a);
            o.extra.push_back(v);
        } else if (a == "--out") {
            // "-" is standard output, as no option at all.
            o.out = v == "-" ? std::string() : v;
            o.outGiven = true;
            if (v.empty()) return badValue(a, v, "имя файла или -");
        } else if (a == "--from" || a == "--to") {
            auto t = parseTimeArgument(v);
            if (!t) return badValue(a, v, timeArgumentForms);
            (a == "--from" ? o.filter.rangeStart : o.filter.rangeEnd) = *t;
            (a == "--from" ? fromGiven : toGiven) = true;
        } else if (a == "--max") {
            char* end = nullptr;
            unsigned long n = std::strtoul(v.c_str(), &end, 10);
            if (v.empty() || !std::isdigit((unsigned char)v[0]) || *end || n > UINT32_MAX)
                return badValue(a, v, "число строк, 0: все");
            o.filter.maxCount = uint32_t(n);
        } else if (a == "--direction") {
            if (v == "first")
                o.filter.direction = FilterSettings::fromStart;
            else if (v == "last")
                o.filter.direction = FilterSettings::toEnd;
            else
                return badValue(a, v, "first или last");
        } else if (a == "--level") {
            if (v.size() != 1 || v[0] < '1' || v[0] > '5') return badValue(a, v, "1..5");
            o.filter.detail = v[0] - '1';
        } else if (a == "--config" || a == "--discrete" || a == "--relays") {
            auto b = onOff(v);
            if (!b) return badValue(a, v, "on или off");
            (a == "--config"     ? o.filter.config
             : a == "--discrete" ? o.filter.discrete
                                 : o.filter.relays) = *b;
        } else if (a == "--weights") {
            if (v.size() != 5 || v.find_first_not_of("01") != std::string::npos)
                return badValue(a, v, "пять цифр 0 или 1, например 11111");
            for (size_t k = 0; k < 5; ++k)
                o.filter.weights[k] = v[k] == '1';
        }
    }
    for (const std::string& operand : line.operands) {
        if (!o.image.empty()) return "лишний аргумент: " + operand + " (образ уже указан)";
        o.image = operand;
    }
    if (o.image.empty() && imageRequired) return std::string("не указан файл образа");
    return std::nullopt;
}

const char* const filterOptionsHelp =
    "Фильтр (как в панели «Фильтр событий»):\n"
    "  --from T, --to T          начало и конец интервала; T: ДД/ММ/ГГГГ ЧЧ:ММ:СС,\n"
    "                            ДД.ММ.ГГГГ ЧЧ:ММ:СС, ГГГГ-ММ-ДДTЧЧ:ММ:СС[+ЧЧ:ММ],\n"
    "                            дата без времени (полночь) или секунды календаря\n"
    "  --max N                   число строк журнала (0: все)\n"
    "  --direction first|last    строки от начала или к концу интервала\n"
    "  --level 1..5              уровень детализации\n"
    "  --config on|off           события настройки\n"
    "  --discrete on|off         дискретные каналы\n"
    "  --relays on|off           реле\n"
    "  --weights 11111           весы групп 1..5 (1: показывать)\n";
