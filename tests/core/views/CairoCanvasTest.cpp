#include <cairo.h>
#include <gtest/gtest.h>
#include <map>

#include "events/Analysis.h"
#include "events/eventList.h"
#include "testsupport/CraneDay.h"
#include "testsupport/ScopedTZ.h"
#include "testsupport/TempDir.h"
#include "views/CairoCanvas.h"
#include "views/EventFilter.h"
#include "views/GraphPage.h"

namespace {

// Pixels of each colour in a PNG written by the graph.
std::map<uint32_t, int> colourCounts(const std::string& path, int& width, int& height) {
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    std::map<uint32_t, int> counts;
    width = cairo_image_surface_get_width(s);
    height = cairo_image_surface_get_height(s);
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; data && y < height; ++y)
        for (int x = 0; x < width; ++x)
            ++counts[reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xFFFFFF];
    cairo_surface_destroy(s);
    return counts;
}

TEST(CairoCanvas, CraneDayPictureShowsCurvesBarsAndGrid) {
    ScopedTZ tz("Europe/Moscow");
    RecorderImage image;
    ImageBuilder b(image);
    b.header().passport({});
    writeCraneDay(b, 2024, 3, 4);
    b.done();
    eventList events;
    ASSERT_EQ(analyseImage(image, events, nullptr), AnalysisResult::done);
    FilterSettings s;
    s.rangeStart = events.minSeconds;
    s.rangeEnd = events.maxSeconds;
    s.relays = s.discrete = true;
    FilteredLists lists;
    filterEvents(events, s, lists);
    GraphDraw draw;
    draw.lists = &lists;
    draw.image = &image;
    regenerateGraph(draw, events, s.rangeStart, s.rangeEnd, 5); // one hour
    draw.viewStart = 1709536500; // 10:15 local: console mode and a siren
    TempDir dir;
    ASSERT_EQ(writeGraphPng(draw, 1400, 900, dir.file("g.png")), std::nullopt);

    int width = 0, height = 0;
    auto counts = colourCounts(dir.file("g.png"), width, height);
    EXPECT_EQ(width, 1400);
    EXPECT_EQ(height, 900);
    EXPECT_GT(counts[0xFFFFFF], 1400 * 900 / 2); // a white page
    for (uint32_t colour : {0x0000CCu,           // "Сумма" legend and curve
                            0x006600u,           // group 2
                            0xFF0000u,           // title and grid
                            0x00C0C0u,           // console-mode bar
                            0x60C000u,           // siren bar
                            0x00C000u,           // relay bar
                            0x4040B0u})          // channel bars
        EXPECT_GT(counts[colour], 100) << std::hex << colour;
}

TEST(CairoCanvas, UnwritablePathIsReported) {
    GraphDraw draw;
    auto error = writeGraphPng(draw, 100, 100, "/nonexistent-folder/g.png");
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->empty());
}

} // namespace
