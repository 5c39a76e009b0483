#include <gtest/gtest.h>

#include "image/RecorderImage.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/ScopedTZ.h"
#include "views/ResourceFigures.h"

namespace {

constexpr int32_t kInstalled = 1262304000; // 2010-01-01 03:00 in Moscow
constexpr int32_t kYear = 365 * 86400;

struct Case {
    const char* what;
    uint8_t group;
    uint32_t cycles; // in the mode kr chooses
    float kr;
    int32_t lastEvent;
    bool countersWritten;
    const char* used;
    const char* exhaustion;
};

// Worked by hand: bound(u) with u = group − Q + 2, used = total × 100 / bound,
// exhaustion = installation + T × bound / total.
const Case cases[] = {
    // A5, Q2: bound 500,000; 60,000 cycles in a year: 12 %, 8⅓ years.
    {"a fair share", 5, 60000, 0.2f, kInstalled + kYear, true, "12.0", "2018-04-30"},
    // A1, Q4: u −1 limited to 0, bound 16,000: past the bound, not limited to 100.
    {"over the bound", 1, 20000, 0.6f, kInstalled + kYear, true, "125.0", "2010-10-20"},
    {"no cycles", 5, 0, 0, kInstalled + kYear, true, "0.0", ""},
    {"installed after the last event", 5, 60000, 0.2f, kInstalled - 1, true, "12.0", ""},
    {"installed at the last event", 5, 60000, 0.2f, kInstalled, true, "12.0", ""},
    {"counters never written", 5, 60000, 0.2f, kInstalled + kYear, false, "12.0", ""},
};

} // namespace

TEST(ResourceFigures, OneReadingAgainstHandComputedValues) {
    ScopedTZ zone{"Europe/Moscow"};
    for (const Case& c : cases) {
        RecorderImage image;
        ImageBuilder b(image);
        ImageBuilder::Header h;
        h.groups = 1;
        b.header(h);
        ImageBuilder::Passport p;
        p.installationDate = kInstalled;
        p.passportGroup = c.group;
        p.commissioningDate = 951771600; // 2000-02-29
        p.serviceLife = 10;
        b.passport(p);
        CountersColumn col;
        col.modes[c.kr < 0.125f ? 0 : c.kr < 0.25f ? 1 : 3] = c.cycles;
        col.spectrum = c.kr * float(c.cycles);
        if (c.countersWritten) b.countersPage(countersBody({col, col}, std::vector<uint32_t>(6)));
        b.done();
        const ProtocolPeriod period{c.lastEvent, c.lastEvent + 1};
        const ProtocolFigures f = computeProtocol(image, period);
        ASSERT_EQ(f.countersWritten, c.countersWritten) << c.what;
        // The figures of erased counters are not shown; the used share is
        // checked on the written ones only.
        if (!c.countersWritten) {
            ProtocolFigures written = f;
            written.columns[0].total = written.columns[1].total = c.cycles;
            written.columns[0].q = written.columns[1].q = 2;
            const ResourceFigures r = computeResource(image, written, period);
            EXPECT_EQ(r.columns[1].exhaustionDate, c.exhaustion) << c.what;
            continue;
        }
        const ResourceFigures r = computeResource(image, f, period);
        ASSERT_EQ(r.columns.size(), 2u);
        for (const auto& rc : r.columns) {
            EXPECT_EQ(usedToDateText(rc.usedToDatePercent), c.used) << c.what;
            EXPECT_EQ(rc.exhaustionDate, c.exhaustion) << c.what;
        }
        // 29 February and ten years: a common year ends it on the 28th.
        EXPECT_EQ(r.serviceLifeEnd, "2010-02-28") << c.what;
    }
}
