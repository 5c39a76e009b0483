#include <cstdlib>
#include <gtest/gtest.h>

#include "events/GL_records.h"
#include "events/SL_records1.h"
#include "events/SL_records2.h"
#include "events/eventList.h"
#include "testsupport/EventMaker.h"
#include "testsupport/ScopedTZ.h"
#include "views/EventFilter.h"

namespace {

template <class T> T* at(eventList& events, int32_t seconds, uint8_t importance = 0) {
    return appendEvent<T>(events, seconds, importance);
}

std::vector<const genericParser*> contents(const EventRefs& list) {
    std::vector<const genericParser*> v;
    for (const genericParser* e : list)
        v.push_back(e);
    return v;
}

FilterSettings everything(const eventList& events) {
    FilterSettings s;
    s.rangeStart = events.minSeconds;
    s.rangeEnd = events.maxSeconds;
    s.maxCount = 0;
    s.detail = 0;
    s.discrete = s.relays = true;
    return s;
}

TEST(EventFilter, RangeEndsAreIncluded) {
    eventList events;
    auto* a = at<GL_powerOn>(events, 100);
    auto* b = at<GL_powerOn>(events, 200);
    at<GL_powerOn>(events, 201);
    FilteredLists lists;
    FilterSettings s = everything(events);
    s.rangeStart = 100;
    s.rangeEnd = 200;
    filterEvents(events, s, lists);
    EXPECT_EQ(contents(lists.journalList), (std::vector<const genericParser*>{a, b}));
    s.rangeStart = 300; // start after end: nothing, and no failure
    filterEvents(events, s, lists);
    EXPECT_TRUE(lists.journalList.empty());
}

TEST(EventFilter, RowLimitInBothDirections) {
    eventList events;
    for (int i = 0; i < 1500; ++i)
        at<GL_powerOn>(events, 1000 + i);
    FilteredLists lists;
    FilterSettings s = everything(events);
    struct Case {
        uint32_t max;
        int direction;
        size_t rows;
        int32_t first, last;
    };
    const Case cases[] = {
        {1000, FilterSettings::toEnd, 1000, 1500, 2499},
        {1000, FilterSettings::fromStart, 1000, 1000, 1999},
        {1500, FilterSettings::toEnd, 1500, 1000, 2499},
        {0, FilterSettings::toEnd, 1500, 1000, 2499},
        {1, FilterSettings::toEnd, 1, 2499, 2499},
    };
    for (const auto& c : cases) {
        s.maxCount = c.max;
        s.direction = c.direction;
        filterEvents(events, s, lists);
        auto rows = contents(lists.journalList);
        ASSERT_EQ(rows.size(), c.rows) << c.max;
        EXPECT_EQ(rows.front()->seconds, c.first);
        EXPECT_EQ(rows.back()->seconds, c.last);
    }
}

TEST(EventFilter, UntickedWeightRemovesTheGroupEverywhere) {
    eventList events;
    auto* g2 = at<GL_groupLoad>(events, 10);
    g2->group = 2;
    auto* s2 = at<GL_sensorLoad>(events, 11);
    s2->group = 2;
    auto* c1 = at<GL_cycleStart>(events, 12);
    c1->group = 1;
    auto* total = at<GL_groupLoad>(events, 13);
    total->group = 0;
    auto* far = at<GL_groupLoad>(events, 14);
    far->group = 7; // no box and no list: kept in the journal only
    FilteredLists lists;
    FilterSettings s = everything(events);
    s.weights[2] = false;
    filterEvents(events, s, lists);
    EXPECT_EQ(contents(lists.journalList), (std::vector<const genericParser*>{c1, total, far}));
    EXPECT_TRUE(lists.groupLists[2].empty());
    EXPECT_EQ(contents(lists.groupLists[1]), std::vector<const genericParser*>{c1});
    EXPECT_EQ(contents(lists.groupLists[0]), std::vector<const genericParser*>{total});
    s.weights = {false, false, false, false, false};
    filterEvents(events, s, lists);
    EXPECT_EQ(contents(lists.journalList), std::vector<const genericParser*>{far});
}

TEST(EventFilter, PowerOffEntersEveryListAndAloneIsDropped) {
    eventList events;
    auto* off = at<GL_powerOff>(events, 10);
    FilteredLists lists;
    FilterSettings s = everything(events);
    filterEvents(events, s, lists);
    EXPECT_EQ(contents(lists.journalList), std::vector<const genericParser*>{off});
    size_t nonEmpty = 0;
    lists.forEachGraphList([&](EventRefs& l) { nonEmpty += !l.empty(); });
    EXPECT_EQ(nonEmpty, 0u); // nothing else of any list's kind

    auto* r3 = at<GL_state>(events, 11);
    r3->relay = 3;
    auto* mode = at<GL_consoleMode>(events, 12);
    auto* load = at<GL_groupLoad>(events, 13);
    load->group = 4;
    auto* far = at<GL_state>(events, 14);
    far->relay = 12; // beyond the ten relay lists
    s.rangeEnd = events.maxSeconds;
    filterEvents(events, s, lists);
    EXPECT_EQ(contents(lists.relayLists[3]), (std::vector<const genericParser*>{off, r3}));
    EXPECT_TRUE(lists.relayLists[2].empty());
    EXPECT_EQ(contents(lists.modeList), (std::vector<const genericParser*>{off, mode}));
    EXPECT_EQ(contents(lists.groupLists[4]), (std::vector<const genericParser*>{off, load}));
    EXPECT_TRUE(lists.groupLists[0].empty());
    s.relays = false;
    filterEvents(events, s, lists);
    EXPECT_TRUE(lists.modeList.empty());
    EXPECT_TRUE(lists.relayLists[3].empty());
    EXPECT_EQ(contents(lists.journalList), (std::vector<const genericParser*>{off, mode, load}));
}

TEST(EventFilter, ChannelChanges) {
    eventList events;
    auto ch = [&](int32_t t, int32_t bits) {
        auto* e = at<GL_channelState>(events, t);
        e->channels = bits;
        e->channelCount = 6;
        return e;
    };
    auto* a = ch(1, 0b000001);
    ch(2, 0b000001);
    auto* c = ch(3, 0b000011);
    auto* off = at<GL_powerOff>(events, 4);
    auto* d = ch(5, 0b000010);
    FilteredLists lists;
    FilterSettings s = everything(events);
    filterEvents(events, s, lists);
    EXPECT_EQ(contents(lists.channelLists[0]), (std::vector<const genericParser*>{a, off}));
    EXPECT_EQ(contents(lists.channelLists[1]), (std::vector<const genericParser*>{c, off, d}));
    EXPECT_TRUE(lists.channelLists[2].empty()); // only the power-off: dropped
    s.discrete = false;
    filterEvents(events, s, lists);
    EXPECT_EQ(contents(lists.journalList), std::vector<const genericParser*>{off});
    EXPECT_TRUE(lists.channelLists[1].empty());
}

TEST(EventFilter, DetailLevelsAndConfigurationChanges) {
    eventList events;
    auto* sensor = at<GL_sensorLoad>(events, 1);
    sensor->group = 1;
    auto* group = at<GL_groupLoad>(events, 2);
    group->group = 1;
    auto* cycle = at<GL_cycleStop>(events, 3);
    cycle->group = 1;
    auto* console = at<GL_consoleMode>(events, 4);
    auto* ol = at<SL_olStart>(events, 5);
    auto* on = at<GL_powerOn>(events, 6);
    auto* unknown = at<SL_unknown>(events, 7);
    auto* key = at<SL_updateKey>(events, 8);
    auto* fail = at<GL_sensFail>(events, 9);
    FilteredLists lists;
    FilterSettings s = everything(events);
    using V = std::vector<const genericParser*>;
    const V expected[] = {
        {sensor, group, cycle, console, ol, on, unknown, key, fail},
        {group, cycle, console, ol, on, unknown, key, fail},
        {cycle, console, ol, on, unknown, key, fail},
        {ol, on, unknown, key, fail},
        {on, unknown, key, fail},
    };
    for (int level = 0; level < 5; ++level) {
        s.detail = level;
        filterEvents(events, s, lists);
        EXPECT_EQ(contents(lists.journalList), expected[level]) << "level " << level + 1;
    }
    s.config = false;
    filterEvents(events, s, lists);
    EXPECT_EQ(contents(lists.journalList), (V{on, unknown, fail}));
}

TEST(EventFilterTime, QuickRangesAndTypedTime) {
    ScopedTZ tz("Europe/Moscow");
    struct tm m {};
    m.tm_year = 124, m.tm_mon = 2, m.tm_mday = 1, m.tm_hour = 0, m.tm_min = 30, m.tm_isdst = -1;
    int32_t march1 = int32_t(mktime(&m)); // 01/03/2024 00:30
    EXPECT_EQ(recordBoundText(quickRangeStart(march1, QuickRange::lastDay)), "00:30:00 29/02/2024");
    EXPECT_EQ(recordBoundText(quickRangeStart(march1, QuickRange::lastHour)),
              "23:30:00 29/02/2024");
    EXPECT_EQ(recordBoundText(quickRangeStart(march1, QuickRange::lastWeek)),
              "00:30:00 23/02/2024");
    EXPECT_EQ(recordBoundText(withTimeOfDay(march1, 7, 0, 0)), "07:00:00 01/03/2024");
    EXPECT_EQ(recordBoundText(withTimeOfDay(march1, 25, 75, 0)), "02:15:00 02/03/2024");
    EXPECT_EQ(leadingNumber("  12ab"), 12);
    EXPECT_EQ(leadingNumber("x"), 0);
    EXPECT_EQ(leadingNumber("-3"), -3);
}

} // namespace
