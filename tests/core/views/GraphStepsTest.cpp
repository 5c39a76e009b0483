#include <gtest/gtest.h>

#include "testsupport/Errors.h"
#include "testsupport/ScopedTZ.h"
#include "views/GraphDraw.h"

namespace {

TEST(GraphSteps, TimeStepIsTheFirstNiceStepCoveringTheShare) {
    struct Case {
        int32_t span, count, step;
    } cases[] = {
        {5, 8, 1},         {20, 8, 2},         {60, 8, 10},        {300, 8, 60},
        {300, 300, 1},     {1200, 10, 120},    {1201, 10, 120},    {1300, 10, 300},
        {86400, 8, 14400}, {604800, 8, 86400}, {604800, 7, 86400}, {604800, 6, 604800},
        {43200, 1, 43200}, {43201, 1, 86400},
    };
    for (const auto& c : cases)
        EXPECT_EQ(niceTimeStep(c.span, c.count), c.step) << c.span << " / " << c.count;
}

TEST(GraphSteps, ValueStepRoundsItsOneDigitFormAndAlignsTheAxis) {
    struct Case {
        int64_t top, bottom;
        int32_t count;
        int64_t step, alignedTop, alignedBottom;
    } cases[] = {
        {16000, 0, 10, 2000, 16000, 0}, // 1600 -> "2e+03"
        {3000, 0, 10, 200, 3000, 0},    // "3" becomes 2
        {4000, 0, 10, 500, 4000, 0},    // "4" becomes 5
        {6100, 0, 10, 500, 6500, 0},    // "6" becomes 5, top rounded up
        {7000, 0, 10, 500, 7000, 0},    // "7" becomes 5
        {8000, 0, 10, 1000, 8000, 0},   // "8" becomes 1 times 10
        {9000, 0, 10, 1000, 9000, 0},   // "9" likewise
        {1000, 0, 10, 100, 1000, 0},    // "1" stays
        {1234, -130, 10, 100, 1300, -200},
        {100, -250, 7, 50, 100, -250}, // "5" stays
        {27, 0, 10, 2, 28, 0},         // 2.7 -> "3e+00" -> 2
        {5, 0, 10, 1, 5, 0},           // below 1 becomes 1
        {1, 0, 30, 1, 1, 0},           // the widened empty axis
    };
    for (const auto& c : cases) {
        int64_t top = c.top, bottom = c.bottom;
        EXPECT_EQ(niceValueStep(top, bottom, c.count), c.step) << c.top << " " << c.bottom;
        EXPECT_EQ(top, c.alignedTop) << c.top;
        EXPECT_EQ(bottom, c.alignedBottom) << c.bottom;
    }
}

TEST(GraphSteps, ValueStepOfAnEmptyRangeIsReportedAndStillUsable) {
    CollectedErrors log;
    int64_t top = 0, bottom = 0;
    EXPECT_EQ(niceValueStep(top, bottom, 5), 1);
    EXPECT_EQ(log.messages,
              std::vector<std::string>{"sprintf failure: 0.000000, [0.000000, 0.000000]"});
    EXPECT_EQ(top, 0);
    EXPECT_EQ(bottom, 0);
}

TEST(GraphSteps, FirstTickLiesOnAWholeStepOfLocalTime) {
    ScopedTZ tz("UTC");
    const int32_t viewStart = 1709547463; // 04/03/2024 10:17:43
    const int32_t midnight = 1709510400;
    struct Case {
        int32_t step, first;
        const char* format;
    } cases[] = {
        {5, midnight + 10 * 3600 + 17 * 60 + 40, "%M.%S"},
        {20, midnight + 10 * 3600 + 17 * 60 + 40, "%M.%S"},
        {30, midnight + 10 * 3600 + 17 * 60 + 30, "%M.%S"},
        {60, midnight + 10 * 3600 + 17 * 60, "%H:%M"},
        {300, midnight + 10 * 3600 + 15 * 60, "%H:%M"},
        {1200, midnight + 10 * 3600, "%H:%M"},
        {3600, midnight + 10 * 3600, "%H"},
        {14400, midnight + 8 * 3600, "%H"},
        {43200, midnight, "%H"},
        {86400, midnight, "%d/%m"},
        {604800, midnight, "%d/%m"},
    };
    for (const auto& c : cases) {
        TickStart t = alignTick(viewStart, c.step);
        EXPECT_EQ(t.first, c.first) << c.step;
        EXPECT_STREQ(t.format, c.format) << c.step;
    }
}

TEST(GraphSteps, TicksFollowTheLocalClock) {
    ScopedTZ tz("Europe/Moscow");                                         // 13:17:43 local
    EXPECT_EQ(alignTick(1709547463, 14400).first, 1709510400 + 9 * 3600); // 12:00 local
    EXPECT_EQ(alignTick(1709547463, 86400).first, 1709510400 - 3 * 3600); // local midnight
}

} // namespace
