// Images no recorder should write, taken through the whole pipeline: each gives
// defined output (odd numbers at worst), never a crash or a read outside the image.
#include <gtest/gtest.h>

#include "events/Analysis.h"
#include "events/eventList.h"
#include "image/BigEndian.h"
#include "image/HeaderView.h"
#include "image/WritableView.h"
#include "testsupport/Errors.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/RecordingCanvas.h"
#include "testsupport/ScopedTZ.h"
#include "views/EventFilter.h"
#include "views/GraphPage.h"
#include "views/JournalHtml.h"
#include "views/ProtocolDocument.h"
#include "views/RecorderSession.h"

namespace {

const Stamp day(2024, 3, 15, 8, 0, 0);

std::array<uint8_t, 5> load(uint8_t index, int32_t kg) {
    auto v = be32(uint32_t(kg));
    return {index, v[0], v[1], v[2], v[3]};
}

size_t countOf(const aList& list) {
    return listSize(list);
}

// What every front end does after the analysis: filter everything, write the
// journal and the protocol, paint the graph. Returns the journal's row count.
struct PipelineOutput {
    AnalysisResult result;
    size_t events = 0, rows = 0;
    std::string journal, protocol;
    size_t canvasOps = 0;
};

PipelineOutput runPipeline(RecorderSession& session) {
    CollectedErrors errors;
    PipelineOutput out;
    out.result = session.analyse(nullptr);
    out.events = countOf(session.events);
    FilterSettings s = session.spanningFilter(FilterSettings());
    s.maxCount = 0;
    s.detail = 0;
    s.discrete = s.relays = true;
    session.applyFilter(s);
    out.rows = session.lists.journalList.size();
    session.journalHtml(nullptr, out.journal);
    out.protocol = session.protocolHtml();
    GraphDraw draw;
    draw.width = 1280;
    draw.height = 800;
    session.regenerateGraph(draw, defaultGraphScale);
    RecordingCanvas canvas;
    draw.paint(canvas);
    out.canvasOps = canvas.ops.size();
    return out;
}

bool inImage(const RecorderImage& image, const uint8_t* p) {
    return p >= image.data() && p <= image.data() + RecorderImage::ImageSize;
}

TEST(MalformedImage, HugeHeaderCountsStayInsideTheImage) {
    ScopedTZ tz("UTC");
    struct Case {
        uint8_t keys, sensors, groups, relays, discretes;
        AnalysisResult result;
        size_t nameCount; // names the passport view offers
    };
    const Case cases[] = {
        {255, 255, 255, 255, 6, AnalysisResult::done, 6},
        {255, 255, 255, 3, 6, AnalysisResult::done, 6},
        {0, 0, 0, 0, 6, AnalysisResult::done, 6},
        {255, 255, 255, 255, 0xFF, AnalysisResult::done, 6},
        {255, 255, 255, 255, 255 - 1, AnalysisResult::refused, 65}, // names up to the area's end
        {8, 4, 2, 3, 0, AnalysisResult::refused, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "groups " << int(c.groups) << " relays "
                                          << int(c.relays) << " discretes " << int(c.discretes));
        RecorderSession session;
        RecorderImage& image = session.image;
        ImageBuilder b(image);
        ImageBuilder::Header h;
        h.keyCount = c.keys;
        h.sensors = c.sensors, h.groups = c.groups, h.relays = c.relays, h.discretes = c.discretes;
        b.header(h);
        b.generalPage(day, {{5, 0, {0x80}},
                            {2, 10, load(c.groups, 100)},
                            {6, 20, load(254, 5)},
                            {3, 30, {254, 0x81}},
                            {11, 40, {0xFF}},
                            {4, 50, {}}});
        b.settings(day, makeKey(1), 33, {c.groups, 1, 2});
        b.done();

        HeaderView header(image);
        for (const uint8_t* row : header.rows)
            EXPECT_TRUE(inImage(image, row));
        EXPECT_TRUE(inImage(image, header.end));
        WritableView passport(image);
        EXPECT_EQ(passport.nameCount, c.nameCount);
        EXPECT_LT(passport.passportGroup, image.page(image.writableFirst() + 8));

        const PipelineOutput out = runPipeline(session);
        EXPECT_EQ(out.result, c.result);
        if (c.result == AnalysisResult::done) {
            EXPECT_EQ(out.events, 7u);
            EXPECT_EQ(out.rows, 7u);
            // One column per group and one for the crane.
            size_t columns = 0;
            for (size_t at = 0; (at = out.protocol.find("Группа №", at)) != std::string::npos; ++at)
                ++columns;
            EXPECT_EQ(columns, size_t(c.groups));
            EXPECT_GT(out.canvasOps, 0u);
        } else {
            EXPECT_EQ(out.events, 0u);
        }
    }
}

TEST(MalformedImage, CountersPageCountsUpToTheEndOfTheMemory) {
    ScopedTZ tz("UTC");
    struct Case {
        uint16_t stored;   // header bytes 6 and 7
        uint32_t counters; // pages the image takes
        uint32_t generalFirst;
    };
    const Case cases[] = {
        {0, 0, 513},
        {1, 1, 513 + 1},
        {RecorderImage::MaxCountersCount, RecorderImage::MaxCountersCount, 8191},
        {RecorderImage::MaxCountersCount + 1, 31, 544}, // would leave no general log
        {0xFFFE, 31, 544},
        {0xFFFF, 31, 544},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        RecorderSession session;
        RecorderImage& image = session.image;
        ImageBuilder b(image);
        ImageBuilder::Header h;
        h.countersPages = c.stored;
        // Counters arrays of 1 KB each where the header's rows, which then
        // run on into the next pages, fall on counters pages.
        h.groups = c.counters >= 16 ? 255 : 2;
        b.header(h);
        // Every counters page written, the newest one last.
        for (uint32_t k = 0; k < c.counters; ++k)
            b.countersPage(std::vector<uint8_t>(520, 0));
        b.generalPage(day, {{5, 0, {0x80}}, {4, 10, {}}});
        b.done();
        EXPECT_EQ(image.countersCount(), c.counters);
        EXPECT_EQ(image.generalFirst(), c.generalFirst);
        EXPECT_EQ(image.generalFirst() + image.generalCount(), RecorderImage::PageCount);
        EXPECT_EQ(image.countersHead(), 513 + std::max(c.counters, 1u) - 1);

        const PipelineOutput out = runPipeline(session);
        EXPECT_EQ(out.result, AnalysisResult::done);
        EXPECT_EQ(out.events, 2u);
        const ProtocolFigures f = computeProtocol(image, {1710489600, 1710489601});
        ASSERT_EQ(f.columns.size(), size_t(h.groups) + 1);
        // Near the end of the memory the crane's column lies past the image and
        // reads as erased: five times 0xFFFFFFFF cycles, wrapped to 32 bits.
        if (c.counters == RecorderImage::MaxCountersCount) {
            EXPECT_EQ(f.columns.back().modeCycles[0], 0xFFFFFFFFu);
            EXPECT_EQ(f.columns.back().total, 0xFFFFFFFBu);
        }
        if (c.counters == 0) {
            // No counters region: the head names the general log's first page.
            EXPECT_EQ(image.countersHead(), image.generalFirst());
        }
    }
}

} // namespace
