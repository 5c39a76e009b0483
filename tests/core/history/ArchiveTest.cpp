#include <gtest/gtest.h>

#include "history/Archive.h"
#include "image/RecorderImage.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/ScopedTZ.h"
#include "testsupport/TempDir.h"

namespace {

constexpr int32_t kInstalled = 1293840000; // the builder's installation date
constexpr int64_t kDay = 86400;

// A recorder image read day days after the installation: a power-on at the
// start of that day and sensor failures after it, and the crane's counters.
std::string reading(const TempDir& dir, const std::string& name, int day, uint32_t cycles,
                    int failures = 0, uint8_t group = 5) {
    RecorderImage image;
    ImageBuilder b(image);
    b.header();
    ImageBuilder::Passport p;
    p.passportGroup = group;
    b.passport(p);
    CountersColumn c;
    c.modes[0] = cycles; // Q1: Кр 0.1
    c.spectrum = 0.1f * float(cycles);
    c.liftedKg = 1000.0f * float(cycles);
    b.countersPage(countersBody({c, c, c}, std::vector<uint32_t>(6, cycles * 10)));
    std::vector<GeneralRecord> records = {{5, 0, {0x80}}};
    for (int k = 0; k < failures; ++k)
        records.push_back({9, uint16_t(10 * (k + 1)), {0}});
    b.generalPage(stampAt(kInstalled + day * kDay), records);
    b.done();
    const std::string path = dir.file(name);
    image.save(path);
    return path;
}

} // namespace

TEST(Archive, PeriodsBetweenReadingsAndACounterReset) {
    ScopedTZ zone{"UTC"};
    TempDir dir;
    Archive archive(dir.file("archive"));
    // Filed out of time order: the history sorts them.
    archive.add(reading(dir, "b.rpd", 200, 3000, 2));
    archive.add(reading(dir, "a.rpd", 100, 1000));
    archive.add(reading(dir, "c.rpd", 300, 500, 1)); // counters reset

    const std::vector<HistoryRow> h = archive.history("0417");
    ASSERT_EQ(h.size(), 3u);
    EXPECT_EQ(h[0].period.state, Period::State::first);
    const Period& p = h[1].period;
    ASSERT_EQ(p.state, Period::State::known);
    ASSERT_EQ(p.columns.size(), 3u);
    EXPECT_EQ(p.columns[2].cyclesTotal, 2000u);
    EXPECT_EQ(p.columns[2].cyclesMode[0], 2000u);
    EXPECT_NEAR(*p.columns[2].kr, 0.1, 1e-6);
    EXPECT_NEAR(p.columns[2].liftedKg, 2e6, 1);
    EXPECT_EQ(p.operatingSeconds, std::vector<uint32_t>(6, 20000));
    EXPECT_EQ(p.powerOns, 1u);
    EXPECT_EQ(p.sensorFailures, 2u);
    // The later image's log does not reach back to the reading before it.
    EXPECT_FALSE(p.eventsComplete);

    const Period& reset = h[2].period;
    EXPECT_EQ(reset.state, Period::State::countersReset);
    EXPECT_TRUE(reset.columns.empty());
    EXPECT_EQ(reset.sensorFailures, 1u);

    // The fleet: the latest reading against the one before it.
    const std::vector<FleetRow> fleet = archive.fleet(kInstalled + 300 * kDay);
    ASSERT_EQ(fleet.size(), 1u);
    EXPECT_EQ(fleet[0].readings, 3u);
    EXPECT_EQ(fleet[0].latest.lastEventSeconds, h[2].reading.lastEventSeconds);
    EXPECT_TRUE(fleet[0].newSensorFailures);
    EXPECT_FALSE(fleet[0].newOverloads);
    EXPECT_FALSE(fleet[0].stale);
    EXPECT_FALSE(fleet[0].usedTwoThirds);
    EXPECT_TRUE(archive.fleet(kInstalled + 700 * kDay)[0].stale);
}

TEST(Archive, FleetFlagsTheUsedShareAndTheExhaustion) {
    ScopedTZ zone{"UTC"};
    TempDir dir;
    Archive archive(dir.file("archive"));
    // A1 with Q1: u 2, bound 63,000; 45,000 cycles in 100 days: 71.4 %,
    // exhausted 140 days after the installation.
    archive.add(reading(dir, "a.rpd", 100, 45000, 0, 1));
    const FleetRow row = archive.fleet(kInstalled + 100 * kDay)[0];
    EXPECT_TRUE(row.usedTwoThirds);
    EXPECT_NEAR(row.latest.columns.back().usedToDatePercent, 71.43, 0.01);
    EXPECT_TRUE(row.exhaustionSoon);
    EXPECT_EQ(row.latest.columns.back().exhaustionDate, "2011-05-21");
    EXPECT_FALSE(row.lifeEndSoon); // 2010 + 20 years
    EXPECT_EQ(row.flagTexts.size(), 2u);
}

TEST(Archive, TheSameImageOnceAndARebuildKeepsTheNotes) {
    ScopedTZ zone{"UTC"};
    TempDir dir;
    const std::string a = reading(dir, "a.rpd", 100, 1000), b = reading(dir, "b.rpd", 200, 2000);
    Archive archive(dir.file("archive"));
    const Archive::Added first = archive.add(a);
    EXPECT_FALSE(first.alreadyFiled);
    EXPECT_EQ(first.path, dir.file("archive") + "/0417/2011-04-11_000000.rpd");
    const Archive::Added again = archive.add(a);
    EXPECT_TRUE(again.alreadyFiled);
    EXPECT_EQ(again.path, first.path);
    archive.add(b);
    archive.setNotes(first.reading, "датчик 1 заменён\n");

    archive.rebuild();
    const std::vector<Reading> list = archive.list();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, first.path);
    EXPECT_EQ(list[0].sha256, first.reading.sha256);
    EXPECT_EQ(archive.notes(list[0]), "датчик 1 заменён\n");
    EXPECT_EQ(archive.notes(list[1]), "");
    EXPECT_TRUE(archive.check(false).consistent);
}
