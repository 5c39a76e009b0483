// The session's road from an image to the pages: what an analysis leaves in
// the filter, that lists never outlive their events, and when the passport's
// erased fields get their defaults.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "common/errorExc.h"
#include "image/WritableView.h"
#include "testsupport/Errors.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/ScopedTZ.h"
#include "testsupport/TempDir.h"
#include "views/GraphDraw.h"
#include "views/GraphPage.h"
#include "views/RecorderSession.h"

namespace {

const Stamp day(2024, 3, 15, 8, 0, 0);

// Power on at 08:00:00, a load at 08:00:10, power off at 08:01:00.
void threeEvents(RecorderImage& image, uint8_t discretes = 6) {
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.discretes = discretes;
    b.header(h);
    b.generalPage(day, {{5, 0, {0x80}}, {2, 100, {0, 0, 0, 0x03, 0xE8}}, {4, 600, {}}});
    b.done();
}

bool erased(const uint8_t* p, size_t n) {
    return std::all_of(p, p + n, [](uint8_t b) { return b == 0xFF; });
}

TEST(RecorderSession, AnalysisSpansTheEventsAndKeepsTheUsersChoices) {
    ScopedTZ tz("UTC");
    RecorderSession s;
    threeEvents(s.image);
    s.filter.detail = 0;
    s.filter.relays = true;
    s.filter.weights = {true, false, true, false, true};
    s.filter.maxCount = 7;
    s.filter.direction = FilterSettings::fromStart;

    ASSERT_EQ(s.analyse(nullptr), AnalysisResult::done);
    EXPECT_EQ(listSize(s.events), 3u);
    EXPECT_EQ(s.filter.rangeStart, s.events.minSeconds);
    EXPECT_EQ(s.filter.rangeEnd, s.events.maxSeconds);
    EXPECT_EQ(s.filter.maxCount, 1000u);
    EXPECT_EQ(s.filter.direction, FilterSettings::toEnd);
    EXPECT_EQ(s.filter.detail, 0);
    EXPECT_TRUE(s.filter.relays);
    EXPECT_EQ(s.filter.weights, (std::array<bool, 5>{true, false, true, false, true}));
    // Nothing is filtered until the front end applies the filter.
    EXPECT_TRUE(s.lists.journalList.empty());

    s.applyFilter(s.filter);
    EXPECT_FALSE(s.lists.journalList.empty());
    std::string journal;
    ASSERT_TRUE(s.journalHtml(nullptr, journal));
    EXPECT_NE(journal.find("<TR"), std::string::npos);
    EXPECT_FALSE(s.protocolHtml().empty());
}

TEST(RecorderSession, ListsGoWithTheEventsOfARefusedOrEmptyAnalysis) {
    ScopedTZ tz("UTC");
    CollectedErrors errors;
    RecorderSession s;
    threeEvents(s.image);
    ASSERT_EQ(s.analyse(nullptr), AnalysisResult::done);
    s.applyFilter(s.filter);
    ASSERT_FALSE(s.lists.journalList.empty());

    // Eight discrete channels: refused, and no link may point at the
    // deleted events (the sanitizer build sees a read through one).
    threeEvents(s.image, 8);
    EXPECT_EQ(s.analyse(nullptr), AnalysisResult::refused);
    EXPECT_TRUE(s.events.empty());
    EXPECT_TRUE(s.lists.journalList.empty());
    GraphDraw draw;
    s.regenerateGraph(draw, defaultGraphScale);
    EXPECT_EQ(s.protocolHtml(), "");

    s.image.reset();
    EXPECT_EQ(s.analyse(nullptr), AnalysisResult::done);
    s.applyFilter(s.filter);
    EXPECT_TRUE(s.lists.journalList.empty());
}

TEST(RecorderSession, AFailedLoadKeepsTheImageTheEventsAndTheLists) {
    ScopedTZ tz("UTC");
    TempDir dir;
    RecorderSession s;
    threeEvents(s.image);
    ASSERT_EQ(s.analyse(nullptr), AnalysisResult::done);
    s.applyFilter(s.filter);
    const size_t rows = listSize(s.lists.journalList);
    ASSERT_GT(rows, 0u);
    const std::vector<uint8_t> before(s.image.data(), s.image.data() + RecorderImage::ImageSize);
    const uint32_t head = s.image.generalHead();
    { std::ofstream(dir.file("short.rpd"), std::ios::binary) << "only a few bytes"; }
    EXPECT_THROW(s.load(dir.file("short.rpd")), errorExc);
    EXPECT_THROW(s.load(dir.file("missing.rpd")), errorExc);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), s.image.data()));
    EXPECT_EQ(s.image.generalHead(), head);
    EXPECT_EQ(listSize(s.events), 3u);
    EXPECT_EQ(listSize(s.lists.journalList), rows);
}

TEST(RecorderSession, ATakenImageReplacesTheShownOneAndItsEvents) {
    ScopedTZ tz("UTC");
    RecorderSession s;
    threeEvents(s.image);
    ASSERT_EQ(s.analyse(nullptr), AnalysisResult::done);
    s.applyFilter(s.filter);
    const uint32_t head = s.image.generalHead();

    RecorderImage incoming; // erased
    incoming.page(3)[7] = 0x12;
    s.takeImage(incoming);
    EXPECT_EQ(s.image.page(3)[7], 0x12);
    EXPECT_TRUE(s.events.empty());
    EXPECT_TRUE(s.lists.journalList.empty());
    // The old content, heads included, went to incoming whole.
    EXPECT_EQ(incoming.generalHead(), head);
    ASSERT_EQ(s.analyse(nullptr), AnalysisResult::done);
    EXPECT_TRUE(s.events.empty());
    s.takeImage(incoming);
    ASSERT_EQ(s.analyse(nullptr), AnalysisResult::done);
    EXPECT_EQ(listSize(s.events), 3u);
}

TEST(RecorderSession, UnsavedFollowsTheContentAgainstTheLastSavedState) {
    ScopedTZ tz("UTC");
    TempDir dir;
    RecorderSession s;
    EXPECT_FALSE(s.unsaved()); // nothing loaded yet
    threeEvents(s.image);
    s.image.save(dir.file("a.rpd"));
    s.load(dir.file("a.rpd"));
    ASSERT_EQ(s.analyse(nullptr), AnalysisResult::done);
    s.markSaved();
    EXPECT_FALSE(s.unsaved());

    WritableView view(s.image);
    const int32_t was = PassportView(s.image).installation();
    view.setInstallation(was + 86400);
    EXPECT_TRUE(s.unsaved());
    view.setInstallation(was); // back as the file has it
    EXPECT_FALSE(s.unsaved());
    view.setInstallation(was + 86400);
    s.image.save(dir.file("a.rpd"));
    s.markSaved();
    EXPECT_FALSE(s.unsaved());
}

TEST(RecorderSession, PassportDefaultsAreStoredByAnAnalysisThatFindsEvents) {
    ScopedTZ tz("UTC");
    // The reports read the image without changing it, and show the defaults.
    RecorderSession s;
    threeEvents(s.image);
    uint8_t* area = s.image.page(0);
    std::fill(area, area + 8 * RecorderImage::PageSize, 0xFF);
    s.image.locateHeads();
    const PassportView before(s.image);
    EXPECT_EQ(before.text(), "");
    EXPECT_EQ(before.mechanismName(0), "Механизм №01");
    ASSERT_TRUE(erased(area, 8 * RecorderImage::PageSize));

    // The analysis stores them, so a save or a write carries them.
    ASSERT_EQ(s.analyse(nullptr), AnalysisResult::done);
    EXPECT_EQ(area[0], 0);
    EXPECT_EQ(area[PassportLayout::TextBlockSize - 1], 0);
    EXPECT_EQ(area[PassportLayout::NamesOffset], 0xCC);                 // "М"
    EXPECT_TRUE(erased(area + PassportLayout::CommissioningOffset, 9)); // dates, life
    EXPECT_EQ(PassportView(s.image).mechanismName(5), "Механизм №06");

    // An erased recorder has no events: its image stays erased.
    RecorderSession empty;
    ASSERT_EQ(empty.analyse(nullptr), AnalysisResult::done);
    EXPECT_TRUE(erased(empty.image.data(), RecorderImage::ImageSize));
}

} // namespace
