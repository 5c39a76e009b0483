#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "common/Format.h"
#include "common/Progress.h"
#include "events/Analysis.h"
#include "events/EventTime.h"
#include "events/eventList.h"
#include "testsupport/Errors.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/LiteralAnalysis.h"
#include "testsupport/ScopedTZ.h"

namespace {

std::vector<std::string> lines(const eventList& l) {
    std::vector<std::string> v;
    for (auto* e = l.front(); e; e = eventList::after(e))
        v.push_back(strprintf("%d.%u %u %s %s", e->seconds, unsigned(e->tenths),
                              unsigned(e->importance), e->className(), e->describe().c_str()));
    return v;
}

struct CountingProgress : Progress {
    bool update(int, const std::string&) override { return ++calls < cancelAfter; }
    int calls = 0;
    int cancelAfter = 1000;
};

TEST(Analysis, RefusesOtherDiscreteCountsBeforeAnyProgress) {
    ScopedTZ tz("UTC");
    RecorderImage image;
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.discretes = 8;
    b.header(h).generalPage(Stamp(2010, 1, 1, 0, 0, 0), {{4, 0, {}}});
    eventList events;
    events.append(new genericParser); // from an earlier image
    CollectedErrors errors;
    CountingProgress progress;
    EXPECT_EQ(analyseImage(image, events, &progress), AnalysisResult::refused);
    EXPECT_EQ(errors.messages,
              (std::vector<std::string>{"Эта версия программы не может работать с количеством "
                                        "дискретных каналов, отличных от 6!"}));
    EXPECT_EQ(progress.calls, 0);
    EXPECT_TRUE(events.empty());
}

TEST(Analysis, ErasedImageGivesNoEventsAndBoundsOfNow) {
    ScopedTZ tz("UTC");
    RecorderImage image;
    eventList events;
    events.minSeconds = 5; // left over
    events.maxSeconds = 6;
    const auto before = int32_t(std::time(nullptr));
    EXPECT_EQ(analyseImage(image, events, nullptr), AnalysisResult::done);
    EXPECT_TRUE(events.empty());
    EXPECT_GE(events.minSeconds, before);
    EXPECT_EQ(events.maxSeconds, events.minSeconds);
}

TEST(Analysis, CancelClearsTheEventsAndSaysSo) {
    ScopedTZ tz("UTC");
    RecorderImage image;
    ImageBuilder(image).header().generalPage(Stamp(2010, 1, 1, 0, 0, 0), {{4, 0, {}}});
    eventList events;
    CollectedErrors errors;
    CountingProgress progress;
    progress.cancelAfter = 12; // ten general values, then the second settings value
    EXPECT_EQ(analyseImage(image, events, &progress), AnalysisResult::interrupted);
    EXPECT_EQ(errors.messages, (std::vector<std::string>{"Анализ памяти регистратора прерван"}));
    EXPECT_TRUE(events.empty());
}

TEST(Analysis, GeneralThenSettingsInOneTimeOrder) {
    ScopedTZ tz("Europe/Moscow");
    RecorderImage image;
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.keys = {makeKey(9)};
    b.header(h)
        .generalPage(Stamp(2009, 12, 7, 10, 0, 0), {{5, 0, {0x80}}, {4, 600, {}}})
        .settings(Stamp(2009, 12, 7, 10, 0, 30, 5), h.keys[0], 30, {0, 1});
    eventList events;
    ASSERT_EQ(analyseImage(image, events, nullptr), AnalysisResult::done);
    std::vector<std::string> shown;
    for (auto* e = events.front(); e; e = eventList::after(e))
        shown.push_back(eventTimeText(e->seconds, e->tenths) + " " + e->describe());
    EXPECT_EQ(shown,
              (std::vector<std::string>{
                  "07/12/2009 10:00:00.0 Начало работы [0x80] P.ON",
                  "07/12/2009 10:00:30.5 Начало перегрузки: реле 1 группа 2 (ключ из ячейки 1)",
                  "07/12/2009 10:01:00.0 Выключение питания"}));
}

// A few pages and settings records with times drawn from a handful of values,
// in no order, so that ties and a clock running backwards are the rule.
void randomImage(RecorderImage& image, std::mt19937& rng) {
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.keys = {makeKey(1), makeKey(2)};
    h.groups = uint8_t(1 + rng() % 3);
    b.header(h);
    if (rng() % 3 == 0) b.generalAt(image.generalCount() - 2, uint8_t(rng() % 255));
    if (rng() % 3 == 0)
        b.settingsAt(image.settingsCount() * RecorderImage::SettingsPerPage - 3,
                     uint8_t(rng() % 255));
    const int64_t base = 1262304000; // 2010-01-01
    auto when = [&] { return base + 3600 * int64_t(rng() % 3) + int64_t(rng() % 4); };
    const int pages = int(rng() % 6);
    for (int p = 0; p < pages; ++p) {
        std::vector<GeneralRecord> records(rng() % 66);
        for (auto& r : records) {
            static const uint8_t kTypes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0xFF, 0x2A};
            r = {kTypes[rng() % sizeof kTypes], uint16_t(rng() % 25), {}};
            for (auto& x : r.payload)
                x = uint8_t(rng());
        }
        b.generalPage(stampAt(when(), uint8_t(rng() % 10)), records);
    }
    const int settings = int(rng() % 40);
    for (int s = 0; s < settings; ++s) {
        std::array<uint8_t, 9> payload{};
        for (auto& x : payload)
            x = uint8_t(rng());
        b.settings(stampAt(when(), uint8_t(rng() % 10)), h.keys[rng() % 2], uint8_t(rng() % 42),
                   payload);
    }
    b.done();
}

TEST(Analysis, OrderEqualsTheLiteralReferenceOnRandomImages) {
    ScopedTZ tz("Europe/Moscow");
    std::mt19937 rng(2024);
    RecorderImage image;
    eventList fast, literal;
    for (int round = 0; round < 60; ++round) {
        randomImage(image, rng);
        ASSERT_EQ(analyseImage(image, fast, nullptr), AnalysisResult::done);
        ASSERT_EQ(analyseLiterally(image, literal), AnalysisResult::done);
        ASSERT_EQ(lines(fast), lines(literal)) << "round " << round;
        if (fast.empty()) continue; // only the project sets bounds for an empty list
        EXPECT_EQ(fast.minSeconds, literal.minSeconds);
        EXPECT_EQ(fast.maxSeconds, literal.maxSeconds);
    }
}

} // namespace
