#include "views/ResourceFigures.h"

#include <algorithm>
#include <cmath>

#include "common/Format.h"
#include "common/LocalTime.h"
#include "image/WritableView.h"

namespace {

constexpr uint32_t kClassBounds[9] = {16000,  32000,   63000,   125000, 250000,
                                      500000, 1000000, 2000000, 4000000};

std::string isoDate(const struct tm& t) {
    return strprintf("%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}

bool leapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

uint32_t utilisationBound(unsigned u) {
    return kClassBounds[std::min(u, 8u)];
}

std::string usedToDateText(double percent) {
    return fixedDecimal(percent, 1);
}

ResourceFigures computeResource(const RecorderImage& image, const ProtocolFigures& figures,
                                const ProtocolPeriod& period) {
    PassportView passport(image);
    ResourceFigures r;
    const int32_t installed = passport.installation();
    const double T = double(period.lastEventSeconds) - double(installed);
    for (const ProtocolColumn& c : figures.columns) {
        ResourceColumn col;
        const int u = std::clamp(int(*passport.passportGroup) - int(c.q) + 2, 0, 8);
        const double bound = utilisationBound(unsigned(u));
        if (c.total != 0) col.usedToDatePercent = double(c.total) * 100.0 / bound;
        if (c.total != 0 && T > 0 && figures.countersWritten) {
            const double at = std::floor(double(installed) + T * bound / double(c.total));
            struct tm t {};
            // Past the year 9999 no date form holds it.
            if (at < 253402300800.0 && localTimeOfWide(int64_t(at), t))
                col.exhaustionDate = isoDate(t);
        }
        r.columns.push_back(std::move(col));
    }
    const int32_t commissioned = passport.commissioning();
    struct tm t {};
    if (localTimeOfWide(commissioned, t)) {
        t.tm_year += *passport.serviceLife;
        if (t.tm_mon == 1 && t.tm_mday == 29 && !leapYear(t.tm_year + 1900)) t.tm_mday = 28;
        r.serviceLifeEnd = isoDate(t);
    }
    return r;
}
