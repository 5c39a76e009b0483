// Geometry of the graph painting, on a canvas with fixed font metrics: a
// character is 3/5 of its points wide and a line as tall as the points. On a
// 1280 x 960 surface m = 960, so the fonts have 20 points (title 26), c = 4 and
// v = 4; "0" is 12 x 20 in the bold font and 26 high in the title font.
#include <cmath>
#include <gtest/gtest.h>

#include "common/Text1251.h"
#include "events/GL_records.h"
#include "events/eventList.h"
#include "testsupport/EventMaker.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/RecordingCanvas.h"
#include "testsupport/ScopedTZ.h"
#include "views/EventFilter.h"
#include "views/GraphDraw.h"
#include "views/GraphPrint.h"

namespace {

constexpr int32_t t0 = 1709547300; // 04/03/2024 10:15:00 UTC
constexpr Rgb total{0, 0, 204}, group1{0, 0, 102}, axisRed{255, 64, 64}, gridRed{255, 0, 0};

class GraphPaint : public ::testing::Test {
protected:
    GraphPaint() : tz("UTC") {
        ImageBuilder(image).header().passport({});
        draw.lists = &lists;
        draw.image = &image;
        draw.headerInfo = std::make_unique<HeaderView>(image);
        draw.viewStart = t0;
        draw.viewSpan = 300;
    }

    // Seconds with a tenth, as the recorder stamps them.
    template <class T> T* at(double seconds) {
        return addEvent<T>(events, int32_t(seconds),
                           uint8_t(std::lround(std::fmod(seconds, 1) * 10)));
    }
    template <class T> T* load(double seconds, uint8_t group, int32_t kg) {
        return addLoad<T>(events, int32_t(seconds), group, kg,
                          uint8_t(std::lround(std::fmod(seconds, 1) * 10)));
    }
    GL_state* relay(double seconds, uint8_t index, bool on) {
        auto* e = at<GL_state>(seconds);
        e->relay = index;
        e->on = on;
        return e;
    }

    RecordingCanvas paint(int width = 1280, int height = 960) {
        if (events.empty()) at<GL_powerOn>(t0);
        FilterSettings s;
        s.rangeStart = events.minSeconds;
        s.rangeEnd = events.maxSeconds;
        s.maxCount = 0;
        s.detail = 0; // every event in the journal, so that it spans the data
        s.relays = s.discrete = true;
        filterEvents(events, s, lists);
        draw.width = width;
        draw.height = height;
        RecordingCanvas canvas;
        draw.paint(canvas);
        return canvas;
    }

    // Lines of the load curves, as {x1, y1, x2, y2}.
    static std::vector<std::array<int, 4>> lines(const RecordingCanvas& c, Rgb pen) {
        std::vector<std::array<int, 4>> v;
        for (const auto& op : c.withPen(CanvasOp::line, pen))
            v.push_back({op.x1, op.y1, op.x2, op.y2});
        return v;
    }
    static std::vector<std::string> texts(const RecordingCanvas& c, Rgb colour) {
        std::vector<std::string> v;
        for (const auto& op : c.all(CanvasOp::plainText))
            if (op.textColour == colour) v.push_back(op.text);
        return v;
    }

    ScopedTZ tz;
    RecorderImage image;
    eventList events;
    FilteredLists lists;
    GraphDraw draw;
};

TEST_F(GraphPaint, EmptyJournalPaintsNothing) {
    RecordingCanvas canvas;
    draw.width = 1280, draw.height = 960;
    draw.paint(canvas); // lists never filtered: empty
    EXPECT_TRUE(canvas.ops.empty());
}

TEST_F(GraphPaint, LandscapeLayoutWithOneTitleLine) {
    auto c = paint();
    // Title 34 and subtitle 36 characters of 15 px: 1280 - 510 - 540 - 12 = 218 to spare.
    const CanvasOp* title = c.findText("График нагружения крана РП № 0417.");
    const CanvasOp* subtitle = c.findText("Начало отсчета: 04/03/2024 10:15:00.");
    ASSERT_TRUE(title && subtitle) << c.dump();
    EXPECT_EQ(std::make_pair(title->x1, title->y1), std::make_pair(109, 2));
    EXPECT_EQ(std::make_pair(subtitle->x1, subtitle->y1), std::make_pair(631, 2));
    EXPECT_EQ(title->textColour, (Rgb{255, 0, 0}));
    EXPECT_EQ(title->font, (CanvasFont{26, CanvasFont::bold}));
    // No track: stripBand 40; footers of 1008 and 516 px need two lines: band 46.
    EXPECT_EQ(draw.plotLeft, 60); // 3 * 12 + 20 + 4
    EXPECT_EQ(draw.plotRight, 1279);
    EXPECT_EQ(draw.plotBottom, 874);
    EXPECT_EQ(draw.plotTop, 64); // title 30 + legend 34
    const CanvasOp* footer = c.findText(
        "Напечатано из программы Грувик2 версии 1.0.0 для ОГП серии РАНД с блоком логики МИРТ");
    const CanvasOp* notice = c.findText("© Разработчики программы Грувик2, 2025–2026");
    ASSERT_TRUE(footer && notice);
    EXPECT_EQ(std::make_pair(footer->x1, footer->y1), std::make_pair(136, 916));
    EXPECT_EQ(std::make_pair(notice->x1, notice->y1), std::make_pair(382, 938));
    EXPECT_EQ(footer->font, (CanvasFont{20, CanvasFont::light}));
    EXPECT_EQ(footer->textColour, (Rgb{255, 0, 0}));
    // Axes and arrow heads.
    auto axes = lines(c, axisRed);
    for (auto l : std::vector<std::array<int, 4>>{{28, 874, 1279, 874},
                                                  {60, 914, 60, 64},
                                                  {1267, 870, 1279, 874},
                                                  {1267, 878, 1279, 874},
                                                  {56, 76, 60, 64},
                                                  {64, 76, 60, 64}})
        EXPECT_NE(std::find(axes.begin(), axes.end(), l), axes.end()) << l[0] << "," << l[1];
}

TEST_F(GraphPaint, TimeTicksGridAndAxisTitle) {
    auto c = paint();
    // niceTimeStep(300, 8) = 60: ticks at 10:15 ... 10:20, x = 60 + k * 1219 / 5.
    const int xs[] = {60, 303, 547, 791, 1035, 1279};
    const char* labels[] = {"10:15", "10:16", "10:17", "10:18", "10:19", "10:20"};
    auto grid = c.withPen(CanvasOp::line, gridRed);
    std::vector<CanvasOp> vertical;
    for (const auto& op : grid)
        if (op.x1 == op.x2) vertical.push_back(op);
    ASSERT_EQ(vertical.size(), 6u) << c.dump();
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(vertical[k].x1, xs[k]);
        EXPECT_EQ(vertical[k].y1, 914); // plotBottom + stripBand
        EXPECT_EQ(vertical[k].y2, 64);
        EXPECT_EQ(vertical[k].penStyle, Canvas::dotDash);
        const CanvasOp* label = c.findText(labels[k]);
        ASSERT_TRUE(label) << labels[k];
        // The last label would pass the plot's right edge: it ends there
        // (five characters of 12 pixels) instead.
        const int x = k < 5 ? xs[k] + 4 : 1279 - 60;
        EXPECT_EQ(std::make_pair(label->x1, label->y1), std::make_pair(x, 874));
        EXPECT_EQ(label->font.weight, CanvasFont::light);
    }
    // "Время" goes to the middle of the tick interval nearest the centre:
    // between 10:17 and 10:18, at 60 + 150 * 1219 / 300 = 669.
    const CanvasOp* time = c.findText("Время");
    ASSERT_TRUE(time);
    EXPECT_EQ(std::make_pair(time->x1, time->y1), std::make_pair(669 - 30, 874 + 20 - 2));
}

TEST_F(GraphPaint, PortraitSurfaceTakesTwoTitleLines) {
    auto c = paint(960, 1280);
    const CanvasOp* title = c.findText("График нагружения крана РП № 0417.");
    const CanvasOp* subtitle = c.findText("Начало отсчета: 04/03/2024 10:15:00.");
    ASSERT_TRUE(title && subtitle);
    EXPECT_EQ(std::make_pair(title->x1, title->y1), std::make_pair(225, 2));
    EXPECT_EQ(std::make_pair(subtitle->x1, subtitle->y1), std::make_pair(210, 30));
    EXPECT_EQ(draw.plotTop, 64 + 28); // lowered by titleTextHeight + 2
}

TEST_F(GraphPaint, TrackRowsLowerThePlotAndStackBelowIt) {
    auto* mode = at<GL_consoleMode>(t0 + 10);
    mode->console = 1;
    at<GL_consoleMode>(t0 + 40)->console = 0;
    relay(t0 + 20, 0, true);
    relay(t0 + 30, 0, false);
    relay(t0 + 50, 3, true);
    relay(t0 + 70, 3, false);
    at<GL_channelState>(t0 + 60)->channels = 0b10;
    at<GL_channelState>(t0 + 90)->channels = 0;
    auto c = paint();
    EXPECT_EQ(draw.plotBottom, 960 - (4 + 2) * 20 - 46);
    // Label centres at midX = 669, rows of 20 px below the time title.
    struct Row {
        const char* label;
        Rgb bar, colour;
        double on, off;
    } rows[] = {
        {"Режим работы", {0, 192, 192}, {0, 64, 64}, t0 + 10, t0 + 40},
        {"Сирена", {96, 192, 0}, {32, 64, 0}, t0 + 20, t0 + 30},
        {"Реле №3", {0, 192, 0}, {0, 64, 0}, t0 + 50, t0 + 70},
        {"Вспом. подъём", {64, 64, 176}, {0, 0, 64}, t0 + 60, t0 + 90},
    };
    for (int r = 0; r < 4; ++r) {
        const CanvasOp* label = c.findText(rows[r].label);
        ASSERT_TRUE(label) << rows[r].label << "\n" << c.dump();
        const int width = int(utf8Length(rows[r].label)) * 12;
        EXPECT_EQ(label->x1, 669 - width / 2 + 4) << rows[r].label;
        EXPECT_EQ(label->y1, 794 + (r + 2) * 20 - 2) << rows[r].label;
        EXPECT_EQ(label->textColour, rows[r].colour);
        EXPECT_EQ(label->font.weight, CanvasFont::bold);
        auto bars = c.withPen(CanvasOp::rectangle, rows[r].bar);
        ASSERT_EQ(bars.size(), 1u) << rows[r].label;
        const int x1 = 60 + int((rows[r].on - t0) * 1219 / 300),
                  x2 = 60 + int((rows[r].off - t0) * 1219 / 300);
        EXPECT_EQ((std::array<int, 4>{bars[0].x1, bars[0].y1, bars[0].x2, bars[0].y2}),
                  (std::array<int, 4>{x1, 794 + (r + 2) * 20 + 4, x2 - x1, 12}))
            << rows[r].label;
        EXPECT_EQ(bars[0].brush, rows[r].bar);
    }
}

TEST_F(GraphPaint, NoLoadsGiveAZeroToOneAxisWithOneTick) {
    draw.minLoad = draw.maxLoad = 0;
    auto c = paint();
    EXPECT_EQ(draw.valueBottom, 0);
    EXPECT_EQ(draw.valueTop, 1);
    EXPECT_EQ(texts(c, axisRed), (std::vector<std::string>{"10:15", "10:16", "10:17", "10:18",
                                                           "10:19", "10:20", "0", "Время"}));
    const CanvasOp* title = c.findText("Нагрузка, кг");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->kind, CanvasOp::rotatedText);
}

TEST_F(GraphPaint, LoadLabelsInTonnesFromAStepOf1000) {
    draw.maxLoad = 16000; // 10 value ticks: step 2000
    auto c = paint();
    std::vector<std::string> expected = {"0", "2", "4", "6", "8", "10", "12", "14"};
    auto all = texts(c, axisRed);
    std::vector<std::string> loads(all.begin() + 6, all.end() - 1);
    EXPECT_EQ(loads, expected);
    // y(b) = 874 - b * 810 / 16000; the lowest label sits above its tick, the others centred.
    EXPECT_EQ(c.findText("0")->y1, 874 - 20 - 4);
    EXPECT_EQ(c.findText("0")->x1, 60 - 12 - 4);
    EXPECT_EQ(c.findText("2")->y1, 874 - 101 - 10);
    EXPECT_EQ(c.findText("14")->x1, 60 - 24 - 4);
    const CanvasOp* title = c.findText("Нагрузка, т");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->kind, CanvasOp::rotatedText);
    EXPECT_EQ(title->degrees, 90);
    EXPECT_EQ(std::make_pair(title->x1, title->y1), std::make_pair(1, 874 - 405 + 66));

    draw.maxLoad = 5000; // step 500: kilograms
    c = paint();
    all = texts(c, axisRed);
    EXPECT_EQ(std::vector<std::string>(all.begin() + 6, all.begin() + 9),
              (std::vector<std::string>{"0", "500", "1000"}));
    EXPECT_TRUE(c.findText("Нагрузка, кг"));
}

TEST_F(GraphPaint, StepsThreeSecondsApartAndSlantsTwoApart) {
    draw.maxLoad = 5000; // y(kg) = 874 - kg * 810 / 5000
    load<GL_groupLoad>(t0 + 10, 0, 1000);
    load<GL_groupLoad>(t0 + 13.5, 0, 2000);
    load<GL_groupLoad>(t0 + 15, 0, 3000); // 1.5 s later, 2 whole seconds apart
    auto c = paint();
    // x = 60 + s * 1219 / 300 for s seconds after t0 (tenths included).
    EXPECT_EQ(lines(c, total), (std::vector<std::array<int, 4>>{
                                   {100, 712, 114, 712}, // along at the old load
                                   {114, 712, 114, 550}, // then up
                                   {114, 550, 120, 388}, // one slanted line
                               }));
    EXPECT_EQ(c.withPen(CanvasOp::line, total).front().penWidth, 4);
}

TEST_F(GraphPaint, CycleStartCircleAndPowerOffSquareBreakTheCurve) {
    draw.maxLoad = 5000;
    load<GL_cycleStart>(t0 + 20, 0, 500);
    load<GL_groupLoad>(t0 + 21, 0, 1500);
    at<GL_powerOff>(t0 + 30);
    load<GL_groupLoad>(t0 + 40, 0, 800);
    load<GL_groupLoad>(t0 + 41, 0, 900);
    load<GL_cycleStart>(t0 - 5, 1, 100); // group 1: outside the window, no circle
    auto c = paint();
    EXPECT_TRUE(c.withPen(CanvasOp::circle, group1).empty());
    auto circles = c.withPen(CanvasOp::circle, total);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ((std::array<int, 3>{circles[0].x1, circles[0].y1, circles[0].x2}),
              (std::array<int, 3>{141, 874 - 81, 6}));
    std::vector<CanvasOp> squares; // outlines; the legend's boxes are filled
    for (const auto& op : c.withPen(CanvasOp::rectangle, total))
        if (!op.brush) squares.push_back(op);
    ASSERT_EQ(squares.size(), 1u);
    // Centred on the last point before the power-off: (145, 631).
    EXPECT_EQ((std::array<int, 4>{squares[0].x1, squares[0].y1, squares[0].x2, squares[0].y2}),
              (std::array<int, 4>{145 - 6, 631 - 6, 12, 12}));
    // Group 1's only point lies left of the window: its break draws no square.
    for (const auto& op : c.withPen(CanvasOp::rectangle, group1))
        EXPECT_TRUE(op.brush);
    // The curve goes on only from the first load after the power-off.
    EXPECT_EQ(lines(c, total), (std::vector<std::array<int, 4>>{
                                   {141, 793, 145, 631},
                                   {222, 745, 226, 729},
                               }));
}

TEST_F(GraphPaint, BarsNeedAClosingEvent) {
    relay(t0 + 30, 0, true);
    at<GL_powerOff>(t0 + 40); // closes the siren's bar
    relay(t0 + 45, 0, true);  // never switched off
    relay(t0 + 50, 1, true);
    relay(t0 + 55, 1, true); // already on: ignored
    relay(t0 + 60, 1, false);
    relay(t0 + 80, 1, true); // never switched off
    auto c = paint();
    auto relayBars = c.withPen(CanvasOp::rectangle, {0, 192, 0});
    ASSERT_EQ(relayBars.size(), 1u) << c.dump();
    EXPECT_EQ(relayBars[0].x1, 60 + 50 * 1219 / 300);
    EXPECT_EQ(relayBars[0].x2, 60 + 60 * 1219 / 300 - (60 + 50 * 1219 / 300));
    auto sirenBars = c.withPen(CanvasOp::rectangle, {96, 192, 0});
    ASSERT_EQ(sirenBars.size(), 1u);
    EXPECT_EQ(sirenBars[0].x1, 60 + 30 * 1219 / 300);
    EXPECT_EQ(sirenBars[0].x1 + sirenBars[0].x2, 60 + 40 * 1219 / 300);
}

TEST_F(GraphPaint, UntickedWeightsKeepTheLegendButDrawNoCurve) {
    draw.maxLoad = 5000;
    load<GL_cycleStart>(t0 + 10, 0, 500);
    load<GL_groupLoad>(t0 + 11, 0, 1500);
    load<GL_groupLoad>(t0 + 12, 1, 700);
    load<GL_groupLoad>(t0 + 13, 1, 900);
    draw.weightChecks = {false, false, false, false, false};
    auto c = paint();
    EXPECT_TRUE(lines(c, total).empty());
    EXPECT_TRUE(lines(c, group1).empty());
    EXPECT_TRUE(c.withPen(CanvasOp::circle, total).empty());
    // Legend: "Сумма" and "1-я группа", W = 10 * 15 px, boxes 158 wide, 3c apart.
    auto boxes = c.all(CanvasOp::rectangle);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ((std::array<int, 4>{boxes[0].x1, boxes[0].y1, boxes[0].x2, boxes[0].y2}),
              (std::array<int, 4>{(1280 - 316 - 4) / 2, 30, 158, 30}));
    EXPECT_EQ(boxes[0].brush, total);
    EXPECT_EQ(boxes[1].x1, boxes[0].x1 + 162);
    EXPECT_EQ(boxes[1].brush, group1);
    EXPECT_EQ(texts(c, {255, 255, 255}), (std::vector<std::string>{"Сумма", "1-я группа"}));
    EXPECT_EQ(c.findText("Сумма")->x1, boxes[0].x1 + (150 - 75) / 2 + 4);
}

TEST_F(GraphPaint, SurfaceTooSmallForTicksGetsTheTitleAndSaysSo) {
    auto tiny = paint(40, 40); // fonts of 0 points
    for (const auto& op : tiny.ops)
        EXPECT_EQ(op.kind, CanvasOp::plainText) << op.describe();
    EXPECT_EQ(tiny.ops.size(), 2u);
    draw.marginTop = 400; // a page set-up that leaves no room for the plot
    draw.marginBottom = 450;
    auto squeezed = paint();
    EXPECT_EQ(squeezed.ops.size(), 3u) << squeezed.dump();
    EXPECT_TRUE(squeezed.findText(
        "Для графика нет места: увеличьте окно или закройте панель «Фильтр событий»"))
        << squeezed.dump();
}

// Seventeen state tracks on a low surface: the plot keeps room for two load
// ticks, the tracks' rows get lower with smaller labels.
TEST_F(GraphPaint, ManyTracksOnALowSurfaceLeaveThePlotItsRoom) {
    at<GL_consoleMode>(t0 + 10)->console = 1;
    for (uint8_t k = 0; k < 10; ++k) {
        relay(t0 + 20 + k, k, true);
        relay(t0 + 40 + k, k, false);
    }
    at<GL_channelState>(t0 + 60)->channels = 0b111111;
    at<GL_channelState>(t0 + 90)->channels = 0;
    draw.minFontPoints = 20; // text 20 px high: 19 rows would take 380 px of 480
    auto c = paint(1280, 480);
    EXPECT_GE(draw.plotBottom - draw.plotTop, 8 * draw.textHeight);
    const CanvasOp* last = c.findText("Реле №9");
    ASSERT_TRUE(last) << c.dump();
    EXPECT_LT(last->font.points, 20);
    EXPECT_LT(last->y1 + last->font.points, 480);
    auto wide = paint(1280, 960); // room enough: rows of the text's height
    ASSERT_TRUE(wide.findText("Реле №9"));
    EXPECT_EQ(wide.findText("Реле №9")->font.points, 20);
}

TEST_F(GraphPaint, WindowAtTheEndOfTheCalendarKeepsAWidth) {
    draw.viewStart = INT32_MAX - 10;
    paint();
    EXPECT_EQ(draw.timeLeft, INT32_MAX - 10);
    EXPECT_EQ(draw.timeRight, INT32_MAX);
    draw.viewStart = INT32_MAX;
    draw.viewSpan = 0;
    paint();
    EXPECT_EQ(draw.timeRight - draw.timeLeft, 1);
}

TEST(GraphPrint, MarginsInSurfacePixelsAndOnePage) {
    GraphDraw draw;
    preparePrintedGraph(draw, 2480, 3508, {210, 297, 10, 10, 20, 15});
    EXPECT_EQ(draw.width, 2480);
    EXPECT_EQ(draw.height, 3508);
    EXPECT_EQ(draw.marginLeft, 118);   // 10 * 2480 / 210
    EXPECT_EQ(draw.marginTop, 118);    // 10 * 3508 / 297
    EXPECT_EQ(draw.marginRight, 236);  // 20 * 2480 / 210
    EXPECT_EQ(draw.marginBottom, 177); // 15 * 3508 / 297
    preparePrintedGraph(draw, 2480, 3508, {0, 297, 10, 10, 10, 10});
    EXPECT_EQ(draw.marginLeft, 0);
    EXPECT_EQ(draw.marginTop, 118);
    // Landscape: the upright A4 of the set-up is turned, 10 mm stay 10 mm.
    preparePrintedGraph(draw, 3508, 2480, {210, 297, 10, 10, 10, 10});
    EXPECT_EQ(draw.marginLeft, 118); // 10 * 3508 / 297
    EXPECT_EQ(draw.marginTop, 118);  // 10 * 2480 / 210
    EXPECT_EQ(draw.marginRight, 118);
    EXPECT_EQ(draw.marginBottom, 118);
    EXPECT_TRUE(hasGraphPage(1));
    EXPECT_FALSE(hasGraphPage(2));
    EXPECT_FALSE(hasGraphPage(7));
}

} // namespace
