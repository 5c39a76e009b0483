#include "cli/Pipeline.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "cli/Command.h"
#include "cli/TextProgress.h"
#include "common/SafeFile.h"
#include "common/Text1251.h"
#include "common/errorExc.h"
#include "events/Analysis.h"

const char* const filterOptionsUsage =
    "[--from T] [--to T] [--max N] [--direction first|last] [--level 1..5] "
    "[--config on|off] [--discrete on|off] [--relays on|off] [--weights 11111] [--out FILE]";

int loadAndAnalyse(const std::string& path, RecorderImage& image, eventList& events) {
    try {
        image.load(path, false);
    } catch (const std::exception& e) {
        printFailure(e);
        return 2;
    }
    AnalysisResult result;
    {
        TextProgress progress(10);
        result = analyseImage(image, events, &progress);
    }
    if (result == AnalysisResult::refused) return 2;
    if (result == AnalysisResult::interrupted) return 1;
    return 0;
}

int loadAndFilter(ReportOptions& o, bool fromGiven, bool toGiven, RecorderImage& image,
                  eventList& events, FilteredLists& lists) {
    if (int status = loadAndAnalyse(o.image, image, events)) return status;
    if (!fromGiven) o.filter.rangeStart = events.minSeconds;
    if (!toGiven) o.filter.rangeEnd = events.maxSeconds;
    filterEvents(events, o.filter, lists);
    return 0;
}

std::optional<int32_t> parseTimeArgument(const std::string& text) {
    unsigned d, mo, y, h, mi, s;
    char tail;
    if (std::sscanf(text.c_str(), "%u/%u/%u %u:%u:%u%c", &d, &mo, &y, &h, &mi, &s, &tail) == 6) {
        // Fields beyond these would overflow struct tm before mktime sees them.
        if (d > 31 || mo > 12 || y > 9999 || h > 24 || mi > 60 || s > 61) return std::nullopt;
        struct tm tmv {};
        tmv.tm_mday = int(d), tmv.tm_mon = int(mo) - 1, tmv.tm_year = int(y) - 1900;
        tmv.tm_hour = int(h), tmv.tm_min = int(mi), tmv.tm_sec = int(s), tmv.tm_isdst = -1;
        errno = 0;
        const time_t t = mktime(&tmv);
        // Times are 32-bit: a date beyond them is refused like such a number,
        // not wrapped into another century.
        if ((t == time_t(-1) && errno != 0) || t < INT32_MIN || t > INT32_MAX) return std::nullopt;
        return int32_t(t);
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
                                              ReportOptions& o, bool& fromGiven, bool& toGiven) {
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
    if (o.image.empty()) return std::string("no image given");
    return std::nullopt;
}

int writeWindows1251(const std::string& utf8, const std::string& out) {
    auto bytes = utf8ToCp1251(utf8);
    if (!bytes.ok) {
        std::fprintf(stderr, "the page holds a character without a Windows-1251 form: %s\n",
                     bytes.badChar.c_str());
        return 2;
    }
    if (out.empty()) {
        if (std::fwrite(bytes.bytes.data(), 1, bytes.bytes.size(), stdout) != bytes.bytes.size())
            return stdoutFailed(errno);
        return stdoutWritten() ? 0 : 2;
    }
    try {
        writeFileSafely(out, bytes.bytes.data(), bytes.bytes.size());
    } catch (const std::exception& e) {
        printFailure(e);
        return 2;
    }
    return 0;
}
