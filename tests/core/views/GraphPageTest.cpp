#include <gtest/gtest.h>

#include "events/GL_records.h"
#include "events/SL_records2.h"
#include "events/eventList.h"
#include "testsupport/EventMaker.h"
#include "testsupport/ImageBuilder.h"
#include "views/EventFilter.h"
#include "views/GraphPage.h"

namespace {

constexpr int32_t t0 = 1709547300;

class GraphWindowLogic : public ::testing::Test {
protected:
    GraphWindowLogic() {
        ImageBuilder(image).header();
        draw.lists = &lists;
        draw.image = &image;
    }
    template <class T> T* at(int32_t seconds) { return addEvent<T>(events, seconds); }
    template <class T> T* load(int32_t seconds, uint8_t group, int32_t kg) {
        return addLoad<T>(events, seconds, group, kg);
    }
    void regenerate(int scale = defaultGraphScale) {
        FilterSettings s;
        s.rangeStart = events.minSeconds;
        s.rangeEnd = events.maxSeconds;
        s.maxCount = 0;
        s.detail = 0; // every event in the journal, so that it spans the data
        filterEvents(events, s, lists);
        regenerateGraph(draw, events, s.rangeStart, s.rangeEnd, scale);
    }

    RecorderImage image;
    eventList events;
    FilteredLists lists;
    GraphDraw draw;
};

TEST_F(GraphWindowLogic, EmptyJournalLeavesTheWindowAtZero) {
    draw.viewStart = 777;
    regenerate();
    EXPECT_EQ(draw.dataStart, 0);
    EXPECT_EQ(draw.dataEnd, 0);
    EXPECT_EQ(draw.viewStart, 0);
    EXPECT_EQ(draw.viewSpan, 300);
    EXPECT_EQ(scrollBarState(draw), (ScrollBarState{0, 10, 10}));
    ASSERT_TRUE(draw.headerInfo);
    EXPECT_EQ(draw.headerInfo->serialNumber, "0417");
}

TEST_F(GraphWindowLogic, RegenerateShowsTheNewestDataAndTheLoadRange) {
    at<GL_powerOn>(t0);
    load<GL_groupLoad>(t0 + 10, 0, 12000);
    load<GL_groupLoad>(t0 + 20, 2, -300);
    load<GL_cycleStart>(t0 + 30, 1, 50000); // cycle loads do not widen the axis
    at<GL_powerOff>(t0 + 1000);
    regenerate();
    EXPECT_EQ(draw.dataStart, t0);
    EXPECT_EQ(draw.dataEnd, t0 + 1001);
    EXPECT_EQ(draw.viewStart, t0 + 701);
    EXPECT_EQ(draw.maxLoad, 12000);
    EXPECT_EQ(draw.minLoad, -300);
    EXPECT_EQ(scrollBarState(draw), (ScrollBarState{701, 300, 1001}));

    regenerateGraph(draw, events, t0 + 15, t0 + 1000, defaultGraphScale); // range without the 12000
    EXPECT_EQ(draw.maxLoad, 0);
    EXPECT_EQ(draw.minLoad, -300);
}

// The journal's newest window holds a lone load point after a power-on and
// a reader: no curve. The first view ends just after the last piece of curve
// instead, at the same scale.
TEST_F(GraphWindowLogic, AnEmptyNewestWindowGivesWayToTheLatestCurve) {
    auto regenerate = [&] {
        GraphWindowLogic::regenerate();
        showLatestCurve(draw);
    };
    at<GL_powerOn>(t0);
    load<GL_groupLoad>(t0 + 4990, 1, 1000);
    load<GL_groupLoad>(t0 + 5000, 1, 2000);
    load<GL_cycleStop>(t0 + 5010, 1, 2000); // breaks the curve: the next point is alone
    load<GL_groupLoad>(t0 + 5020, 1, 0);
    at<GL_powerOff>(t0 + 9000);
    at<GL_powerOn>(t0 + 20000);
    load<GL_groupLoad>(t0 + 20000, 0, 0);
    regenerate();
    EXPECT_EQ(draw.viewSpan, 300);
    EXPECT_EQ(draw.dataEnd, t0 + 20001);
    EXPECT_EQ(draw.viewStart, t0 + 5001 - 300);
    EXPECT_EQ(scrollBarState(draw), (ScrollBarState{5001 - 300, 300, 20001}));

    // An unticked group's curve is not drawn: it does not count.
    draw.weightChecks[1] = false;
    regenerate();
    EXPECT_EQ(draw.viewStart, t0 + 20001 - 300);
    draw.weightChecks[1] = true;

    // A curve within the first window's length of the start: the window
    // starts with the data, as a short journal's does.
    lists.clear(); // the links first, then their events
    events.clear();
    at<GL_powerOn>(t0);
    load<GL_groupLoad>(t0 + 100, 0, 1000);
    load<GL_cycleStart>(t0 + 110, 0, 1000);
    at<GL_powerOff>(t0 + 9000);
    regenerate();
    EXPECT_EQ(draw.viewStart, t0);

    // No curve anywhere: the newest window stays.
    lists.clear();
    events.clear();
    at<GL_powerOn>(t0);
    load<GL_groupLoad>(t0 + 100, 0, 1000);
    at<GL_powerOff>(t0 + 9000);
    regenerate();
    EXPECT_EQ(draw.viewStart, t0 + 9001 - 300);
}

TEST_F(GraphWindowLogic, DataShorterThanTheWindowEndsAtItsRightEdgeAfterScrolling) {
    at<GL_powerOn>(t0);
    at<GL_powerOff>(t0 + 99);
    regenerate();
    EXPECT_EQ(draw.viewStart, t0);
    EXPECT_EQ(scrollGraph(draw, GraphScroll::lineUp, 0), 100 - 300);
    EXPECT_EQ(draw.viewStart, t0 + 100 - 300);
}

TEST_F(GraphWindowLogic, ScaleChangeKeepsTheCentre) {
    draw.viewStart = t0;
    draw.viewSpan = 300;
    applyScale(draw, 2); // "1 мин."
    EXPECT_EQ(draw.viewStart, t0 + 120);
    EXPECT_EQ(draw.viewSpan, 60);
    applyScale(draw, -1); // nothing selected
    EXPECT_EQ(draw.viewStart, t0 + 120);
    applyScale(draw, 10); // "1 неделя": (60 - 604800) / 2 truncates toward zero
    EXPECT_EQ(draw.viewStart, t0 + 120 - 302370);
    EXPECT_EQ(scaleSeconds(11), 1);
    EXPECT_STREQ(graphScales[defaultGraphScale].item, "5 мин.");
}

TEST_F(GraphWindowLogic, ScrollEventsMoveAndClamp) {
    draw.dataStart = t0;
    draw.dataEnd = t0 + 10000;
    draw.viewSpan = 1200;
    struct Case {
        GraphScroll action;
        int32_t from;
        int thumb;
        int position;
    } cases[] = {
        {GraphScroll::lineUp, 5000, 0, 4990},   {GraphScroll::lineDown, 5000, 0, 5010},
        {GraphScroll::pageUp, 5000, 0, 3800},   {GraphScroll::pageDown, 5000, 0, 6200},
        {GraphScroll::top, 5000, 0, 0},         {GraphScroll::bottom, 5000, 0, 8800},
        {GraphScroll::thumb, 5000, 1234, 1234}, {GraphScroll::pageUp, 700, 0, 0},
        {GraphScroll::pageDown, 8000, 0, 8800}, {GraphScroll::other, -50, 0, 0},
    };
    for (const auto& c : cases) {
        draw.viewStart = t0 + c.from;
        EXPECT_EQ(scrollGraph(draw, c.action, c.thumb), c.position)
            << int(c.action) << " " << c.from;
        EXPECT_EQ(draw.viewStart, t0 + c.position);
    }
}

TEST(GraphLineStep, DependsOnTheWindowLength) {
    struct Case {
        int32_t span, step;
    } cases[] = {{604800, 600}, {1200, 10}, {60, 1}, {99, 1}, {100, 10}, {5999, 10}, {6000, 600}};
    for (const auto& c : cases)
        EXPECT_EQ(lineStep(c.span), c.step) << c.span;
}

TEST_F(GraphWindowLogic, SearchSkipsUntickedGroupsAndStaysWithoutAMatch) {
    load<GL_cycleStart>(t0 + 50, 1, 0);
    load<GL_cycleStop>(t0 + 100, 2, 0);
    auto* ol = at<SL_olStart>(t0 + 400);
    ol->group = 3;
    at<GL_powerOn>(t0 + 500);
    draw.viewStart = t0 + 50;
    draw.viewSpan = 300; // centre t0 + 200
    std::array<bool, 5> weights{true, true, false, true, true};

    EXPECT_TRUE(searchEvent(draw, events, false, searchCycle, weights));
    EXPECT_EQ(draw.viewStart, t0 + 50 - 150); // group 2's stop skipped

    draw.viewStart = t0 + 50;
    EXPECT_FALSE(searchEvent(draw, events, true, searchCycle, weights));
    EXPECT_EQ(draw.viewStart, t0 + 50);

    EXPECT_TRUE(searchEvent(draw, events, true, searchOverload, weights));
    EXPECT_EQ(draw.viewStart, t0 + 400 - 150);
    weights[3] = false;
    draw.viewStart = t0 + 50;
    EXPECT_FALSE(searchEvent(draw, events, true, searchOverload, weights));

    EXPECT_EQ(findEvent(events, t0 + 200, true, searchPower, weights), t0 + 500);
    EXPECT_EQ(findEvent(events, t0 + 500, true, searchPower, weights),
              std::nullopt);                                                 // strictly later
    EXPECT_EQ(findEvent(events, t0 + 200, true, -1, weights), std::nullopt); // nothing selected
}

} // namespace
