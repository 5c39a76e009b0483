// Every sequence number at the start of a ring, rings that are full or
// wrapped, and stamps that no calendar has: the heads and the times that come
// out are defined for each.
#include <gtest/gtest.h>

#include "events/Analysis.h"
#include "events/EventTime.h"
#include "events/eventList.h"
#include "image/BigEndian.h"
#include "testsupport/Errors.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/ScopedTZ.h"

namespace {

uint8_t next(uint8_t s) {
    return RecorderImage::nextSeq(s);
}

uint8_t* settingsSlot(RecorderImage& image, uint32_t slot) {
    return image.page(image.settingsFirst() + slot / 20) + 26 * (slot % 20);
}

TEST(SequencePatterns, EveryFirstNumberStartsAChain) {
    RecorderImage image;
    for (int first = 0; first <= 255; ++first) {
        SCOPED_TRACE(first);
        const uint8_t s = uint8_t(first);
        const bool erased = s == 0xFF;
        for (const bool repeat : {false, true}) {
            // Three units: s, its successor (or s again), the successor's successor.
            const uint8_t seqs[3] = {s, repeat ? s : next(s), next(next(s))};
            image.reset();
            for (uint32_t i = 0; i < 3; ++i) {
                image.page(image.generalFirst() + i)[7] = seqs[i];
                image.page(image.countersFirst() + i)[7] = seqs[i];
                settingsSlot(image, i)[7] = seqs[i];
            }
            image.locateHeads();
            // The general log tolerates the repeated page; the others stop there.
            EXPECT_EQ(image.generalHead(), erased ? 544u : 547u);
            EXPECT_EQ(image.generalSeq(), erased ? 0xFF : seqs[2]);
            EXPECT_EQ(image.countersHead(), erased || repeat ? 513u : 515u);
            EXPECT_EQ(image.countersSeq(), erased ? 0xFF : repeat ? s : seqs[2]);
            EXPECT_EQ(image.settingsHeadPage(), 8u);
            EXPECT_EQ(image.settingsHeadOffset(), erased ? 0u : repeat ? 26u : 78u);
            EXPECT_EQ(image.settingsSeq(), erased ? 0xFF : repeat ? s : seqs[2]);
        }
    }
}

TEST(SequencePatterns, FullAndWrappedRings) {
    RecorderImage image;
    const uint32_t slots = 504 * 20;
    for (const uint8_t first : {0, 1, 128, 253, 254}) {
        // newest: index of the newest unit of the current lap; the units after
        // it hold the previous lap (their numbers do not continue it, since
        // neither ring holds a multiple of 255 units); -1: the ring is full.
        for (const int64_t newest : {int64_t(-1), int64_t(0), int64_t(1), int64_t(29)}) {
            SCOPED_TRACE(::testing::Message() << int(first) << " newest " << newest);
            image.reset();
            const uint32_t general = image.generalCount(), counters = image.countersCount();
            auto fill = [&](uint32_t units, auto unit) {
                uint8_t s = first;
                for (uint32_t i = 0; i < units; ++i, s = next(s))
                    unit(i)[7] = s;
                if (newest < 0) return;
                // The previous lap: its numbers run on to the unit before the
                // first, as the recorder wrote them.
                s = first;
                for (int64_t i = int64_t(units) - 1; i > newest; --i) {
                    s = s == 0 ? 254 : uint8_t(s - 1);
                    unit(uint32_t(i))[7] = s;
                }
            };
            fill(general, [&](uint32_t i) { return image.page(image.generalFirst() + i); });
            fill(counters, [&](uint32_t i) { return image.page(image.countersFirst() + i); });
            fill(slots, [&](uint32_t i) { return settingsSlot(image, i); });
            image.locateHeads();
            const uint32_t after = newest < 0 ? 0 : uint32_t(newest) + 1;
            EXPECT_EQ(image.generalHead(), image.generalFirst() + after % general);
            EXPECT_EQ(image.countersHead(),
                      image.countersFirst() + (newest < 0 ? counters - 1 : uint32_t(newest)));
            EXPECT_EQ(image.settingsHeadPage(), 8 + after / 20);
            EXPECT_EQ(image.settingsHeadOffset(), 26 * (after % 20));

            // The walk visits every page once, oldest first.
            uint32_t visited = 0;
            for (uint32_t p = image.generalHead(); p != RecorderImage::EndOfWalk;
                 p = image.nextGeneralPage(p))
                ++visited;
            EXPECT_EQ(visited, general);
        }
    }
}

TEST(ImpossibleStamps, GiveDefinedTimes) {
    ScopedTZ tz("UTC");
    struct Case {
        std::array<uint8_t, 7> stamp;
        uint16_t offsetTenths; // of the general-log record
        const char* general;   // the record's time
        const char* settings;  // the settings record's time (tenths as stored)
    };
    const Case cases[] = {
        {{24, 0, 1, 0, 0, 0, 0}, 0, "01/12/2023 00:00:00.0", "01/12/2023 00:00:00.0"},
        {{24, 13, 1, 0, 0, 0, 0}, 0, "01/01/2025 00:00:00.0", "01/01/2025 00:00:00.0"},
        {{23, 2, 30, 0, 0, 0, 0}, 0, "02/03/2023 00:00:00.0", "02/03/2023 00:00:00.0"},
        {{24, 1, 0, 0, 0, 0, 0}, 0, "31/12/2023 00:00:00.0", "31/12/2023 00:00:00.0"},
        {{24, 1, 1, 25, 61, 61, 9}, 1, "02/01/2024 02:02:02.0", "02/01/2024 02:02:01.9"},
        // Tenths beyond 9 carry into the seconds of a general-log record.
        {{24, 1, 1, 0, 0, 0, 0xFF}, 0, "01/01/2024 00:00:25.5", "01/01/2024 00:00:00.255"},
        // Bytes read as signed numbers: 0xFF is -1.
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0},
         0,
         "29/10/1998 22:58:58.0",
         "29/10/1998 22:58:58.0"},
        // 1872 lies before the 32-bit calendar: the seconds wrap.
        {{0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0},
         0,
         "24/12/1996 20:18:08.0",
         "24/12/1996 20:18:08.0"},
        // The record's offset runs past the last 32-bit second and wraps.
        {{38, 1, 19, 3, 14, 7, 0}, 0xFFFF, "13/12/1901 22:35:04.5", "19/01/2038 03:14:07.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.stamp));
        RecorderImage image;
        ImageBuilder b(image);
        b.header();
        const Stamp stamp(c.stamp.data());
        b.generalPage(stamp, {{4, c.offsetTenths, {}}});
        b.settings(stamp, makeKey(1), 3);
        b.done();
        CollectedErrors errors;
        eventList events;
        ASSERT_EQ(analyseImage(image, events, nullptr), AnalysisResult::done);
        std::vector<std::string> texts;
        for (const genericParser* e = events.front(); e; e = eventList::after(e))
            texts.push_back(std::string(e->className()) + " " +
                            eventTimeText(e->seconds, e->tenths));
        std::vector<std::string> expected = {std::string("GL_powerOff ") + c.general,
                                             std::string("SL_memErase ") + c.settings};
        // Settings events go in by time.
        if (texts.size() == 2 && texts[0].rfind("SL_", 0) == 0) std::swap(expected[0], expected[1]);
        EXPECT_EQ(texts, expected);
    }
}

} // namespace
