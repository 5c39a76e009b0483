#include <gtest/gtest.h>

#include "image/RecorderImage.h"
#include "testsupport/ImageBuilder.h"

namespace {

void setGeneralSeq(RecorderImage& image, uint32_t index, uint8_t seq) {
    image.page(image.generalFirst() + index)[7] = seq;
}

TEST(LogHeads, ErasedImageHasEmptyRings) {
    RecorderImage image;
    image.locateHeads();
    EXPECT_EQ(image.generalHead(), 544u);
    EXPECT_EQ(image.countersHead(), 513u);
    EXPECT_EQ(image.settingsHeadPage(), 8u);
    EXPECT_EQ(image.settingsHeadOffset(), 0u);
    EXPECT_EQ(image.generalSeq(), 0xFF);
    EXPECT_EQ(image.countersSeq(), 0xFF);
    EXPECT_EQ(image.settingsSeq(), 0xFF);
}

TEST(LogHeads, GeneralChainToleratesOneBadPage) {
    struct Case {
        std::vector<int> seqs; // -1: erased
        uint32_t head;
        uint8_t seq;
    };
    const Case cases[] = {
        {{5, 6, 7}, 547, 7},
        {{5, 6, 200, 8, 9}, 549, 9},   // garbage third page tolerated
        {{5, 6, 200, 201, 9}, 546, 6}, // two bad pages stop the walk after the second
        {{252, 253, 254, 0, 1}, 549, 1},
        {{5, 7}, 545, 5}, // a gap without the page after it stops
    };
    for (const auto& c : cases) {
        RecorderImage image;
        for (size_t i = 0; i < c.seqs.size(); ++i)
            setGeneralSeq(image, i, uint8_t(c.seqs[i]));
        image.locateHeads();
        EXPECT_EQ(image.generalHead(), c.head) << ::testing::PrintToString(c.seqs);
        EXPECT_EQ(image.generalSeq(), c.seq) << ::testing::PrintToString(c.seqs);
    }
}

TEST(LogHeads, BadLastPageOfRegionIsNotSkipped) {
    RecorderImage image;
    uint32_t n = image.generalCount();
    for (uint32_t i = 0; i + 1 < n; ++i)
        setGeneralSeq(image, i, uint8_t(i % 255));
    setGeneralSeq(image, n - 1, 0xFE); // breaks the chain on the region's last page
    image.locateHeads();
    EXPECT_EQ(image.generalHead(), 8191u);
    // A full unbroken ring wraps the head back to the first page.
    setGeneralSeq(image, n - 1, uint8_t((n - 1) % 255));
    image.locateHeads();
    EXPECT_EQ(image.generalHead(), 544u);
}

TEST(LogHeads, GeneralWalkVisitsEveryPageOnceOldestFirst) {
    RecorderImage image;
    ImageBuilder b(image);
    b.generalAt(0, 0);
    for (uint32_t i = 0; i < image.generalCount() + 10; ++i)
        b.generalPage(Stamp(2024, 1, 1, 0, 0, 0), {});
    b.done();
    EXPECT_EQ(image.generalHead(), 554u);
    uint32_t visited = 0, p = image.generalHead(), last = 0;
    while (p != RecorderImage::EndOfWalk) {
        ++visited;
        last = p;
        p = image.nextGeneralPage(p);
    }
    EXPECT_EQ(visited, image.generalCount());
    EXPECT_EQ(last, 553u);
    EXPECT_EQ(image.nextGeneralPage(553), RecorderImage::EndOfWalk);
}

TEST(LogHeads, CountersHeadIsNewestPageWithoutTolerance) {
    RecorderImage image;
    for (uint32_t i = 0; i < 4; ++i)
        image.page(513 + i)[7] = uint8_t(10 + i);
    image.page(517)[7] = 99;
    image.page(518)[7] = 16; // would be tolerated in the general log, not here
    image.locateHeads();
    EXPECT_EQ(image.countersHead(), 516u);
    EXPECT_EQ(image.countersSeq(), 13);
}

TEST(LogHeads, SettingsHeadAndWrap) {
    RecorderImage image;
    ImageBuilder b(image);
    for (int i = 0; i < 23; ++i)
        b.settings(Stamp(2024, 1, 1, 0, 0, i), erasedKey(), 1);
    b.done();
    EXPECT_EQ(image.settingsHeadPage(), 9u);
    EXPECT_EQ(image.settingsHeadOffset(), 78u);
    EXPECT_EQ(image.settingsSeq(), 22);

    // A chain from the first slot to slot 19 of page 511 wraps the head to page 8.
    RecorderImage full;
    ImageBuilder f(full);
    for (uint32_t i = 0; i < 504 * 20; ++i)
        f.settings(Stamp(2024, 1, 1, 0, 0, 0), erasedKey(), 1);
    f.done();
    EXPECT_EQ(full.settingsHeadPage(), 8u);
    EXPECT_EQ(full.settingsHeadOffset(), 0u);
}

TEST(LogHeads, SettingsWalkVisitsEverySlotOnceFromHead) {
    RecorderImage image;
    ImageBuilder b(image);
    b.settingsAt(0, 100);
    for (uint32_t i = 0; i < 504 * 20 + 5; ++i) // wrapped by five records
        b.settings(Stamp(2024, 1, 1, 0, 0, 0), erasedKey(), uint8_t(i % 40));
    b.done();
    EXPECT_EQ(image.settingsHeadPage(), 8u);
    EXPECT_EQ(image.settingsHeadOffset(), 5u * 26);
    image.rewindSettings();
    uint32_t visited = 0;
    const uint8_t* first = image.currentSettingsRecord();
    do {
        ++visited;
    } while (image.stepSettings());
    EXPECT_EQ(visited, 10080u);
    EXPECT_EQ(first, image.page(8) + 130);
    EXPECT_EQ(image.currentSettingsRecord(), first);
}

TEST(LogHeads, HeaderCountersCountMovesTheGeneralLog) {
    RecorderImage image;
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.countersPages = 100;
    b.header(h).done();
    EXPECT_EQ(image.countersCount(), 100u);
    EXPECT_EQ(image.generalFirst(), 613u);
    EXPECT_EQ(image.generalCount(), 7579u);
    EXPECT_EQ(image.generalHead(), 613u);
}

TEST(LogHeads, ImpossibleCountersCountKeepsRegionsInsideTheMemory) {
    for (uint16_t v : {uint16_t(7678), uint16_t(7679), uint16_t(8000), uint16_t(0xFFFE)}) {
        RecorderImage image;
        image.page(512)[6] = uint8_t(v >> 8);
        image.page(512)[7] = uint8_t(v);
        image.locateHeads();
        EXPECT_LE(image.generalFirst() + image.generalCount(), 8192u) << v;
        EXPECT_GE(image.generalCount(), 1u) << v;
        EXPECT_EQ(image.generalFirst(), image.countersFirst() + image.countersCount()) << v;
        uint32_t p = image.generalHead(), n = 0;
        while (p != RecorderImage::EndOfWalk && n < 9000) {
            ASSERT_LT(p, 8192u);
            p = image.nextGeneralPage(p);
            ++n;
        }
        EXPECT_EQ(n, image.generalCount());
    }
    RecorderImage image;
    image.page(512)[6] = 0x1F;
    image.page(512)[7] = 0xFE; // 8190
    image.locateHeads();
    EXPECT_EQ(image.countersCount(), 31u);
}

TEST(LogHeads, SequenceSuccessor) {
    EXPECT_EQ(RecorderImage::nextSeq(0), 1);
    EXPECT_EQ(RecorderImage::nextSeq(253), 254);
    EXPECT_EQ(RecorderImage::nextSeq(254), 0);
    EXPECT_EQ(RecorderImage::nextSeq(255), 0);
}

} // namespace
