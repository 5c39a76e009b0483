#pragma once
// The crane's resource as of one reading, beside the protocol's projection:
// the share of the passport's cycle bound used to date, the date the bound is
// reached at the rate seen since the recorder's installation, and the end of
// the service life. Cycles before the installation are not counted: the
// recorder never saw them.
#include <cstdint>
#include <string>
#include <vector>

#include "views/ProtocolDocument.h"

class RecorderImage;

struct ResourceColumn {
    // total × 100 / bound(u), u = passport group − Q + 2 limited to 0..8;
    // 0 without cycles; not limited to 100.
    double usedToDatePercent = 0;
    // installation date + T × bound(u) / total as a local "YYYY-MM-DD";
    // empty without cycles, when T (last event − installation) is not
    // positive, when the counters were never written, or past the year 9999.
    std::string exhaustionDate;
};

struct ResourceFigures {
    std::vector<ResourceColumn> columns; // as figures.columns
    // commissioning date + service life in years, a local "YYYY-MM-DD" (29
    // February gives the 28th in a common year); empty when the commissioning
    // date has no local time.
    std::string serviceLifeEnd;
};

// The cycle bound of utilisation class u (0..8).
uint32_t utilisationBound(unsigned u);

ResourceFigures computeResource(const RecorderImage& image, const ProtocolFigures& figures,
                                const ProtocolPeriod& period);

// The used share as printed: one decimal, a point.
std::string usedToDateText(double percent);
