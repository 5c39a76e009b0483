// The graph page's window over events at both ends of the 32-bit calendar,
// as a damaged image gives them: scroll positions saturate instead of
// overflowing.
#include <gtest/gtest.h>

#include "events/GL_records.h"
#include "events/eventList.h"
#include "testsupport/EventMaker.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/RecordingCanvas.h"
#include "testsupport/ScopedTZ.h"
#include "views/EventFilter.h"
#include "views/GraphPage.h"

namespace {

class GraphWindowExtremes : public ::testing::Test {
protected:
    GraphWindowExtremes() {
        ImageBuilder(image).header();
        draw.lists = &lists;
        draw.image = &image;
        draw.width = 1280;
        draw.height = 800;
    }
    void regenerate(int scale) {
        FilterSettings s;
        s.rangeStart = events.minSeconds;
        s.rangeEnd = INT32_MAX;
        s.maxCount = 0;
        s.detail = 0;
        filterEvents(events, s, lists);
        regenerateGraph(draw, events, s.rangeStart, s.rangeEnd, scale);
    }
    void paints() {
        RecordingCanvas canvas;
        draw.paint(canvas);
        EXPECT_FALSE(canvas.ops.empty());
    }

    ScopedTZ tz{"UTC"};
    RecorderImage image;
    eventList events;
    FilteredLists lists;
    GraphDraw draw;
};

// Found by the fuzzer: a journal from 1919 to 2024 spans more seconds than an
// int holds, and the scroll position overflowed.
TEST_F(GraphWindowExtremes, DataLongerThanAnIntSaturatesTheScrollPosition) {
    const int32_t first = -1592461696, last = 1710492891;
    addEvent<GL_powerOn>(events, first);
    addEvent<GL_cycleStart>(events, 0);
    addEvent<GL_powerOff>(events, last);
    regenerate(defaultGraphScale);
    EXPECT_EQ(draw.viewStart, last + 1 - 300);

    EXPECT_EQ(scrollGraph(draw, GraphScroll::bottom, 0), INT32_MAX);
    EXPECT_EQ(draw.viewStart, last + 1 - 300);
    EXPECT_EQ(scrollGraph(draw, GraphScroll::lineDown, 0), INT32_MAX);
    EXPECT_EQ(scrollGraph(draw, GraphScroll::top, 0), 0);
    EXPECT_EQ(draw.viewStart, first);
    EXPECT_EQ(scrollGraph(draw, GraphScroll::lineUp, 0), 0);
    EXPECT_EQ(scrollGraph(draw, GraphScroll::thumb, INT32_MAX), INT32_MAX);
    EXPECT_EQ(draw.viewStart, int32_t(int64_t(first) + INT32_MAX));
    EXPECT_EQ(scrollGraph(draw, GraphScroll::pageDown, 0), INT32_MAX);
    EXPECT_EQ(draw.viewStart, int32_t(int64_t(first) + INT32_MAX + 300));
    paints();

    ASSERT_TRUE(searchEvent(draw, events, false, searchPower, draw.weightChecks));
    EXPECT_EQ(draw.viewStart, first - 150);
    applyScale(draw, 10);
    EXPECT_EQ(draw.viewStart, first - 150 + (300 - 604800) / 2);
    paints();
}

TEST_F(GraphWindowExtremes, WindowAtTheEndOfTheCalendar) {
    addEvent<GL_powerOn>(events, 1);
    addEvent<GL_powerOff>(events, INT32_MAX);
    regenerate(10);
    // The end of the data saturates at the last second instead of wrapping.
    EXPECT_EQ(draw.dataEnd, INT32_MAX);
    EXPECT_EQ(draw.viewStart, INT32_MAX - 604800);
    EXPECT_EQ(scrollBarState(draw), (ScrollBarState{INT32_MAX - 604801, 604800, INT32_MAX - 1}));
    EXPECT_EQ(scrollGraph(draw, GraphScroll::pageDown, 0), INT32_MAX - 604801);
    paints();
    // The window centred on the last second; nothing lies later.
    ASSERT_TRUE(searchEvent(draw, events, true, searchPower, draw.weightChecks));
    EXPECT_EQ(draw.viewStart, INT32_MAX - 302400);
    paints();
    EXPECT_FALSE(searchEvent(draw, events, true, searchPower, draw.weightChecks));
    EXPECT_EQ(draw.viewStart, INT32_MAX - 302400);
}

TEST_F(GraphWindowExtremes, WindowAtTheStartOfTheCalendar) {
    addEvent<GL_powerOn>(events, INT32_MIN);
    addEvent<GL_powerOff>(events, INT32_MIN + 5);
    regenerate(10);
    EXPECT_EQ(draw.viewStart, INT32_MIN);
    EXPECT_EQ(scrollGraph(draw, GraphScroll::lineUp, 0), 0);
    EXPECT_EQ(scrollGraph(draw, GraphScroll::bottom, 0), 0); // data shorter than the window
    EXPECT_EQ(draw.viewStart, INT32_MIN);
    paints();
}

} // namespace
