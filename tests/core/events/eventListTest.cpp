#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "events/eventList.h"
#include "testsupport/LiteralAnalysis.h"

namespace {

genericParser* at(int32_t seconds, uint8_t tenths, uint8_t tag = 0) {
    auto* e = new genericParser;
    e->seconds = seconds;
    e->tenths = tenths;
    e->importance = tag;
    return e;
}

std::vector<int> tags(const eventList& l) {
    std::vector<int> v;
    for (auto* e = l.front(); e; e = eventList::after(e))
        v.push_back(e->importance);
    return v;
}

TEST(eventList, AppendSetsBoundsFromTheFirstEventAndWidens) {
    eventList l;
    l.minSeconds = -999; // left over from an earlier list
    l.maxSeconds = 999999;
    l.append(at(1000, 0));
    EXPECT_EQ(l.firstSeconds, 1000);
    EXPECT_EQ(l.minSeconds, 1000);
    EXPECT_EQ(l.endSeconds, 1001);
    EXPECT_EQ(l.maxSeconds, 1001);
    l.append(at(900, 0));
    EXPECT_EQ(l.minSeconds, 900);
    EXPECT_EQ(l.endSeconds, 901);
    EXPECT_EQ(l.maxSeconds, 1001);
    l.insertSorted(at(2000, 0));
    EXPECT_EQ(l.maxSeconds, 2001);
    EXPECT_EQ(l.endSeconds, 2001); // appended: no event is later
    l.insertSorted(at(500, 0));
    EXPECT_EQ(l.minSeconds, 500);
    EXPECT_EQ(l.endSeconds, 2001);
    l.clear();
    EXPECT_EQ(l.minSeconds, 500); // clear keeps the bounds
}

TEST(eventList, InsertSortedGoesBeforeTheFirstLaterEventFromTheFront) {
    eventList l;
    // A clock set back: 10.0, 20.0, 5.0, 20.0
    l.append(at(10, 0, 1));
    l.append(at(20, 0, 2));
    l.append(at(5, 0, 3));
    l.append(at(20, 0, 4));
    l.insertSorted(at(20, 0, 5)); // nothing later: the end
    l.insertSorted(at(10, 0, 6)); // equal times stay after: before 20.0
    l.insertSorted(at(10, 0, 7)); // and after the one inserted before it
    l.insertSorted(at(7, 5, 8));  // before the very first (10.0)
    l.insertSorted(at(20, 1, 9)); // later than all: the end
    l.insertSorted(at(19, 9, 10));
    EXPECT_EQ(tags(l), (std::vector<int>{8, 1, 6, 7, 10, 2, 3, 4, 5, 9}));
}

// The index beside the list must place every event where the search from the
// front would, however the list was built or changed in between.
TEST(eventList, InsertSortedMatchesTheLinearSearchOnRandomLists) {
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        eventList fast, slow;
        int tag = 0;
        auto pair = [&](int32_t s, uint8_t t) {
            const auto k = uint8_t(tag++);
            return std::pair(at(s, t, k), at(s, t, k));
        };
        const int ops = 1 + int(rng() % 60);
        for (int i = 0; i < ops; ++i) {
            int32_t s = int32_t(rng() % 8);
            uint8_t t = uint8_t(rng() % 3);
            unsigned what = rng() % 10;
            if (what < 2) {
                auto [a, b] = pair(s, t);
                fast.append(a);
                slow.append(b);
            } else if (what == 2 && fast.first) {
                fast.remove(fast.first);
                slow.remove(slow.first);
            } else {
                auto [a, b] = pair(s, t);
                fast.insertSorted(a);
                insertSortedLinearly(slow, b);
            }
        }
        ASSERT_EQ(tags(fast), tags(slow)) << "round " << round;
        EXPECT_EQ(fast.minSeconds, slow.minSeconds);
        EXPECT_EQ(fast.maxSeconds, slow.maxSeconds);
        EXPECT_EQ(fast.endSeconds, slow.endSeconds);
    }
}

} // namespace
