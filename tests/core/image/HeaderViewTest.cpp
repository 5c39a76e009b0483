#include <cstring>
#include <gtest/gtest.h>

#include "image/HeaderView.h"
#include "image/RecorderImage.h"
#include "image/WritableView.h"
#include "testsupport/ImageBuilder.h"

namespace {

size_t offsetIn512(const RecorderImage& image, const uint8_t* p) {
    return size_t(p - image.page(512));
}

TEST(HeaderView, LayoutForUpToThreeRelays) {
    RecorderImage image;
    uint8_t* p = image.page(512);
    p[1] = 8, p[2] = 4, p[3] = 2, p[4] = 3, p[5] = 6;
    std::memcpy(p + 231, "ver 1.0", 8);
    std::memcpy(p + 279, "12345", 5); // serial row holds only four
    image.locateHeads();
    HeaderView h(image);
    EXPECT_EQ(offsetIn512(image, h.keyTable), 16u);
    ASSERT_EQ(h.rows.size(), 25u);
    EXPECT_EQ(offsetIn512(image, h.rows[0]), 80u);
    EXPECT_EQ(offsetIn512(image, h.rows[h.versionRow()]), 231u);
    EXPECT_EQ(offsetIn512(image, h.rows[h.serialRow()]), 279u);
    EXPECT_EQ(offsetIn512(image, h.rows[23]), 283u);
    EXPECT_EQ(offsetIn512(image, h.rows[24]), 284u);
    EXPECT_EQ(offsetIn512(image, h.end), 287u);
    EXPECT_EQ(h.firmwareVersion, "ver 1.0");
    EXPECT_EQ(h.serialNumber, "1234");
}

TEST(HeaderView, FourRelaysMoveTheTexts) {
    RecorderImage image;
    uint8_t* p = image.page(512);
    p[1] = 0, p[2] = 4, p[3] = 2, p[4] = 4, p[5] = 6;
    image.locateHeads();
    HeaderView h(image);
    ASSERT_EQ(h.rows.size(), 20u);
    EXPECT_EQ(offsetIn512(image, h.rows[0]), 16u); // empty key table
    // 8+4+4+6+1+1 = 24 (rows 1-6), 6*4 = 24, 3, 4, 12, 3 -> 16 + 24 + 24 + 22 = 86
    EXPECT_EQ(offsetIn512(image, h.rows[h.versionRow()]), 86u);
    std::memset(p + 86, 'A', 48); // no zero byte: the whole row
    HeaderView again(image);
    EXPECT_EQ(again.firmwareVersion, std::string(48, 'A'));
}

TEST(HeaderView, TextsAreConvertedFromWindows1251) {
    RecorderImage image;
    ImageBuilder b(image);
    ImageBuilder::Header hd;
    hd.firmware = "Версия 3";
    hd.serial = "Ж12";
    b.header(hd).done();
    HeaderView h(image);
    EXPECT_EQ(h.firmwareVersion, "Версия 3");
    EXPECT_EQ(h.serialNumber, "Ж12");
}

TEST(HeaderView, LargestCountsStayInsideTheImage) {
    RecorderImage image;
    std::memset(image.page(512), 0xFF, 6);
    image.page(512)[4] = 0xFF;
    image.locateHeads();
    HeaderView h(image);
    EXPECT_LT(h.end, image.data() + RecorderImage::ImageSize);
    EXPECT_EQ(h.firmwareVersion.size() <= 48 * 2, true);
}

TEST(WritableView, ErasedDataGetsDefaults) {
    RecorderImage image;
    image.page(512)[5] = 6;
    image.locateHeads();
    WritableView w(image);
    EXPECT_EQ(w.text(), "");
    EXPECT_EQ(w.textBlock[2111], 0);
    ASSERT_EQ(w.nameCount, 6u);
    EXPECT_EQ(w.mechanismName(0), "Механизм №01");
    EXPECT_EQ(w.mechanismName(5), "Механизм №06");
    EXPECT_EQ(w.passportGroup - image.data(), 2313);
    EXPECT_EQ(*w.passportGroup, 0xFF); // no default for the group and dates
    EXPECT_EQ(w.commissioning(), -1);
    // Name slots are stored as Windows-1251: "М" is 0xCC, "№" is 0xB9
    EXPECT_EQ(w.mechanismNames[0], 0xCC);
    EXPECT_EQ(w.mechanismNames[9], 0xB9);
    EXPECT_EQ(w.mechanismNames[31], 0);
}

TEST(WritableView, KeepsWrittenNamesAndText) {
    RecorderImage image;
    ImageBuilder b(image);
    b.header().passport({});
    WritableView w(image);
    EXPECT_EQ(w.mechanismName(2), "Тележка");
    EXPECT_EQ(w.text(), "Кран мостовой, зав. № 1375");
    EXPECT_EQ(w.commissioning(), 1262304000);
    EXPECT_EQ(*w.passportGroup, 5);
    EXPECT_EQ(image.data()[2112], uint8_t(1262304000 & 0xFF)); // little-endian
}

TEST(WritableView, ErasedHeaderOffersSixNamesAndTouchesNothingElse) {
    RecorderImage image; // discreteCount 0xFF after locating the heads
    image.locateHeads();
    ASSERT_EQ(image.discreteCount(), 0xFF);
    WritableView w(image);
    EXPECT_EQ(w.nameCount, 6u);
    EXPECT_EQ(w.passportGroup - image.data(), 2313);
    for (uint32_t i = 8 * 528; i < RecorderImage::ImageSize; ++i)
        ASSERT_EQ(image.data()[i], 0xFF) << i;

    // Any other absurd count stays inside the writable area too.
    RecorderImage big;
    big.page(512)[5] = 200;
    big.locateHeads();
    WritableView wb(big);
    EXPECT_LT(wb.passportGroup - big.data(), 8 * 528);
    for (uint32_t i = 8 * 528; i < 9 * 528; ++i)
        ASSERT_EQ(big.data()[i], 0xFF) << i;
}

TEST(WritableView, StoringTextsRefusesWhatTheRecorderCannotHold) {
    RecorderImage image;
    ImageBuilder(image).header().done();
    WritableView w(image);
    EXPECT_TRUE(w.setMechanismName(0, std::string(31, 'x')));
    EXPECT_EQ(w.mechanismNames[30], 'x');
    EXPECT_EQ(w.mechanismNames[31], 0);
    EXPECT_FALSE(w.setMechanismName(0, std::string(32, 'x')));
    EXPECT_FALSE(w.setMechanismName(1, "Кран 漢"));
    EXPECT_EQ(w.mechanismName(1), "Механизм №02");
    EXPECT_TRUE(w.setText("Кран <№5> & тележка"));
    EXPECT_EQ(w.text(), "Кран <№5> & тележка");
}

} // namespace
