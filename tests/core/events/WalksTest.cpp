#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "common/Progress.h"
#include "common/errorExc.h"
#include "events/GL_records.h"
#include "events/Registries.h"
#include "events/Walks.h"
#include "events/eventList.h"
#include "testsupport/Errors.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/ScopedTZ.h"

namespace {

int32_t localSeconds(int y, int mo, int d, int h, int mi, int s) {
    struct tm t = {};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    t.tm_isdst = -1;
    return int32_t(mktime(&t));
}

std::vector<std::string> classes(const eventList& l) {
    std::vector<std::string> v;
    for (auto* e = l.front(); e; e = eventList::after(e))
        v.push_back(e->className());
    return v;
}

// Records what it was shown; asks to cancel when it is shown cancelAt.
struct RecordingProgress : Progress {
    explicit RecordingProgress(int cancelAt = -1) : cancelAt(cancelAt) {}
    bool update(int value, const std::string& message) override {
        values.push_back(value);
        messages.push_back(message);
        return value != cancelAt;
    }
    int cancelAt;
    std::vector<int> values;
    std::vector<std::string> messages;
};

class Walks : public ::testing::Test {
protected:
    void SetUp() override { b.header(); }
    int general() { return decodeGeneralLog(gl, b.done(), events, nullptr); }
    int settings() { return decodeSettingsLog(sl, b.done(), events, nullptr); }

    ScopedTZ tz{"Europe/Moscow"};
    RecorderImage image;
    ImageBuilder b{image};
    GL_pList gl;
    SL_pList sl;
    eventList events;
};

// Found by fuzzing: a stamp in the hour the clocks go back (Moscow, 25/10/1998,
// 02:00-03:00 twice) got its time from whatever mktime had converted before,
// so a walk and a second conversion of the same record disagreed by an hour.
TEST_F(Walks, AStampInTheHourTheClocksGoBackGetsOneTimeWhateverCameBefore) {
    const Stamp twice(1998, 10, 25, 2, 30, 0), summer(1998, 7, 1, 12, 0, 0),
        winter(1998, 1, 1, 12, 0, 0), plain(2024, 5, 1, 12, 0, 0);
    auto after = [&](const Stamp& before, const Stamp& stamp) {
        int32_t seconds;
        uint8_t tenths;
        toTime(before.bytes.data(), seconds, tenths);
        toTime(stamp.bytes.data(), seconds, tenths);
        return seconds;
    };
    // The later of the two instants, standard time: 02:30 MSK.
    EXPECT_EQ(after(summer, twice), 909271800);
    EXPECT_EQ(after(winter, twice), 909271800);
    EXPECT_EQ(after(twice, twice), 909271800);
    // Other times as mktime gives them.
    EXPECT_EQ(after(winter, plain), localSeconds(2024, 5, 1, 12, 0, 0));
    EXPECT_EQ(after(summer, Stamp(1998, 10, 25, 1, 59, 59)), 909266399);

    // A walk (one conversion a stamp) and conversions one by one agree.
    b.generalPage(summer, {{5, 0, {1, 0, 0, 0, 0}}});
    b.settings(twice, makeKey(1), 2);
    b.generalPage(twice, {{5, 0, {1, 0, 0, 0, 0}}});
    ASSERT_EQ(general(), 0);
    ASSERT_EQ(settings(), 0);
    const int32_t july = after(winter, summer);
    std::vector<int32_t> times;
    for (const genericParser* e = events.front(); e; e = eventList::after(e))
        times.push_back(e->seconds);
    EXPECT_EQ(times, (std::vector<int32_t>{july, 909271800, 909271800}));
}

TEST_F(Walks, RecordOffsetCarriesTenthsIntoSeconds) {
    b.generalPage(Stamp(2010, 6, 1, 12, 0, 10, 5), {{5, 0x0013, {}}, {4, 0, {}}});
    ASSERT_EQ(general(), 0);
    const genericParser* e = events.front();
    EXPECT_EQ(e->seconds, localSeconds(2010, 6, 1, 12, 0, 12)); // 10.5 s + 1.9 s = 12.4 s
    EXPECT_EQ(e->tenths, 4);
    EXPECT_EQ(eventList::after(e)->seconds, localSeconds(2010, 6, 1, 12, 0, 10));
    EXPECT_EQ(eventList::after(e)->tenths, 5);
}

TEST_F(Walks, EmptyRecordsAreSkippedWithoutEndingThePage) {
    std::vector<GeneralRecord> records = {{5, 0, {}}, {0xFF, 0, {}}, {99, 0, {}}};
    records.resize(65, GeneralRecord{0xFF, 0, {}});
    records[40] = {4, 0, {}};
    b.generalPage(Stamp(2010, 6, 1, 12, 0, 0), records);
    ASSERT_EQ(general(), 0);
    EXPECT_EQ(classes(events),
              (std::vector<std::string>{"GL_powerOn", "GL_unknown", "GL_powerOff"}));
}

TEST_F(Walks, ErasedPageIsSkippedEvenWithWrittenRecords) {
    b.generalPage(Stamp(2010, 6, 1, 12, 0, 0), {{5, 0, {}}});
    b.generalPage(Stamp(2010, 6, 1, 13, 0, 0), {{4, 0, {}}, {4, 1, {}}});
    b.generalPage(Stamp(2010, 6, 1, 14, 0, 0), {{8, 0, {}}});
    image.page(image.generalFirst() + 1)[7] = 0xFF; // the ring tolerates one bad page
    ASSERT_EQ(general(), 0);
    EXPECT_EQ(classes(events), (std::vector<std::string>{"GL_powerOn", "GL_consoleMode"}));
}

TEST_F(Walks, GeneralLogIsReadOldestFirstAfterWrapping) {
    b.generalAt(image.generalCount() - 1, 7);
    b.generalPage(Stamp(2010, 6, 1, 12, 0, 0), {{5, 0, {}}}); // last page of the region
    b.generalPage(Stamp(2010, 6, 1, 13, 0, 0), {{4, 0, {}}}); // first page
    for (uint32_t i = 1; i + 1 < image.generalCount(); ++i)
        image.page(image.generalFirst() + i)[7] = uint8_t(100 + i % 50); // no chain
    ASSERT_EQ(general(), 0);
    EXPECT_EQ(classes(events), (std::vector<std::string>{"GL_powerOn", "GL_powerOff"}));
}

TEST_F(Walks, SettingsSlotWithErasedSequenceIsNotDecoded) {
    const KeyCode key = makeKey(1);
    b.settings(Stamp(2010, 6, 1, 12, 0, 0), key, 3);
    b.settingsAt(1, 0xFF).settings(Stamp(2010, 6, 1, 12, 0, 1), key, 3);
    ASSERT_EQ(settings(), 0);
    EXPECT_EQ(classes(events), (std::vector<std::string>{"SL_memErase"}));
}

TEST_F(Walks, SettingsEventsOfEqualTimeFollowTheListedEventInWalkOrder) {
    const KeyCode key = makeKey(1);
    b.generalPage(Stamp(2010, 6, 1, 12, 0, 0, 3), {{5, 0, {}}, {4, 10, {}}});
    b.settings(Stamp(2010, 6, 1, 12, 0, 0, 3), key, 1);
    b.settings(Stamp(2010, 6, 1, 12, 0, 0, 3), key, 2);
    b.settings(Stamp(2010, 6, 1, 11, 0, 0, 0), key, 3);
    ASSERT_EQ(general(), 0);
    ASSERT_EQ(settings(), 0);
    EXPECT_EQ(classes(events),
              (std::vector<std::string>{"SL_memErase", "GL_powerOn", "SL_updateKey", "SL_delKey",
                                        "GL_powerOff"}));
}

TEST_F(Walks, ProgressShowsEachValueOnceAndCancelEndsTheWalkAtTheNextChange) {
    const uint32_t pages = image.generalCount();
    for (uint32_t i = 0; i < pages; ++i)
        b.generalPage(Stamp(2010, 6, 1, 12, 0, 0), {{4, 0, {}}});
    RecordingProgress all;
    ASSERT_EQ(decodeGeneralLog(gl, b.done(), events, &all), 0);
    EXPECT_EQ(all.values, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(all.messages.back(), "Обработка журнала событий");

    events.clear();
    RecordingProgress cancel(3);
    EXPECT_EQ(decodeGeneralLog(gl, image, events, &cancel), 1);
    EXPECT_EQ(cancel.values, (std::vector<int>{0, 1, 2, 3}));
    // Value 3 is first shown for page counter 2295 (2295 * 10 / 7648): the
    // pages before it were decoded, that one was not.
    size_t n = 0;
    for (auto* e = events.front(); e; e = eventList::after(e))
        ++n;
    EXPECT_EQ(n, 2295u);

    RecordingProgress settingsCancel(9);
    EXPECT_EQ(decodeSettingsLog(sl, image, events, &settingsCancel), 1);
    EXPECT_EQ(settingsCancel.values.size(), 10u);
    EXPECT_EQ(settingsCancel.messages.back(), "Генерация журнала событий");
}

// A prototype that fails, standing first in the registry.
struct FailingPrototype : GL_parser {
    bool accepts(const uint8_t* record) const override { return GL_parser::accepts(record); }
    GL_parser* parse(const uint8_t*, const RecorderImage&, const uint8_t*,
                     GL_parser*) const override {
        throw errorExc("сбой %d", 7);
    }
};

TEST_F(Walks, FailureEndsTheWalkAndGoesToTheErrorLog) {
    b.generalPage(Stamp(2010, 6, 1, 12, 0, 0), {{5, 0, {}}});
    gl.pushFront(new FailingPrototype);
    CollectedErrors errors;
    EXPECT_EQ(general(), 1);
    EXPECT_EQ(errors.messages, (std::vector<std::string>{"сбой 7"}));
}

} // namespace
