#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "image/WritableView.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/ScopedTZ.h"
#include "views/PassportForm.h"

namespace {

std::vector<uint8_t> bytesOf(const RecorderImage& image) {
    return {image.data(), image.data() + RecorderImage::ImageSize};
}

PassportEdit editOf(RecorderImage& image) {
    PassportDisplay d = passportDisplayOf(image);
    PassportEdit e;
    e.life = d.life;
    e.groupIndex = d.groupIndex;
    e.text = d.text;
    e.names = d.names;
    return e;
}

class PassportFormTest : public ::testing::Test {
protected:
    void SetUp() override { ImageBuilder(image).header().passport({}).done(); }

    ScopedTZ tz{"Europe/Moscow"};
    RecorderImage image;
};

TEST_F(PassportFormTest, ShowsThePassportAsTheFieldsHoldIt) {
    PassportDisplay d = passportDisplayOf(image);
    // 2011-01-01 00:00 UTC is 03:00 in Moscow, 2010-01-01 likewise.
    EXPECT_EQ(d.installation.day + "/" + d.installation.month + "/" + d.installation.year,
              "01/01/2011");
    EXPECT_EQ(d.commissioning.day + "/" + d.commissioning.month + "/" + d.commissioning.year,
              "01/01/2010");
    EXPECT_EQ(d.life, "20");
    EXPECT_EQ(d.groupIndex, 4); // A5
    EXPECT_EQ(d.text, "Кран мостовой, зав. № 1375");
    EXPECT_EQ(d.names[0], "Главный подъём");
    EXPECT_EQ(d.names[5], "Поворот");

    ScopedTZ utc("UTC");
    EXPECT_EQ(dateFieldsOf(0).day + dateFieldsOf(0).month + dateFieldsOf(0).year, "01011970");
}

TEST_F(PassportFormTest, OnlyGroupsOneToEightAreEntries) {
    const struct {
        uint8_t stored;
        int index;
    } cases[] = {{1, 0}, {3, 2}, {8, 7}, {0, -1}, {9, -1}, {255, -1}};
    for (const auto& c : cases) {
        *WritableView(image).passportGroup = c.stored;
        EXPECT_EQ(passportDisplayOf(image).groupIndex, c.index) << int(c.stored);
    }
}

TEST_F(PassportFormTest, StoresLifeAndGroupAsTheFieldsGiveThem) {
    const struct {
        const char* life;
        uint8_t stored;
    } lives[] = {{"25", 25}, {"7a", 7}, {"", 0}, {"x1", 0}, {" 9", 9}, {"300", 44}, {"-1", 255}};
    for (const auto& c : lives) {
        PassportEdit e = editOf(image);
        e.life = c.life;
        ASSERT_FALSE(storePassport(image, e));
        EXPECT_EQ(*WritableView(image).serviceLife, c.stored) << c.life;
    }
    for (int index : {7, 0, -1}) {
        PassportEdit e = editOf(image);
        e.groupIndex = index;
        ASSERT_FALSE(storePassport(image, e));
        EXPECT_EQ(*WritableView(image).passportGroup, uint8_t(index + 1)) << index;
    }
}

TEST_F(PassportFormTest, StoresTextsAsRecorderBytesUpToTheirPlaces) {
    PassportEdit e = editOf(image);
    e.text = std::string(2110, 'x') + "Ж"; // 2111 bytes in the recorder, 2112 in UTF-8
    e.names[2] = std::string(30, 'y') + "№";
    e.names[4] = "";
    ASSERT_FALSE(storePassport(image, e));
    WritableView w(image);
    EXPECT_EQ(w.textBlock[2110], 0xC6);
    EXPECT_EQ(w.textBlock[2111], 0);
    const uint8_t* slot = w.mechanismNames + 2 * WritableView::NameSlotSize;
    EXPECT_EQ(slot[30], 0xB9);
    EXPECT_EQ(slot[31], 0); // the zero byte fills the slot's last byte
    EXPECT_EQ(w.mechanismName(4), "");
    EXPECT_EQ(w.mechanismName(5), "Поворот");
    EXPECT_EQ(w.text(), e.text);
    // An emptied slot stays empty: it is not erased, so no default returns.
    EXPECT_EQ(passportDisplayOf(image).names[4], "");
}

TEST_F(PassportFormTest, RefusesTheWholeEditForOneBadText) {
    const struct {
        const char* what;
        int field;
        std::string text;
        std::string name;
        size_t from, to;
        const char* message;
    } cases[] = {
        {"a letter of another code page", 2, "", "Кран é", 5, 6,
         "Символ «é» (U+00E9) в поле «Название механизма 3» (позиция 6) нельзя записать в РП: в "
         "кодировке Windows-1251 его нет. Информация не сохранена и в РП не записана."},
        {"a character outside the first plane", 5, "", "Мост 😀", 5, 6,
         "Символ «😀» (U+1F600) в поле «Название механизма 6» (позиция 6)"},
        {"a bad character on the text's second line", -1, "Строка один\nдва 漢", "", 16, 17,
         "Символ «漢» (U+6F22) в поле «Блок текстовой информации» (строка 2, позиция 5)"},
        {"a name of 32 bytes", 0, "", std::string(31, 'z') + "Я", 31, 32,
         "Текст в поле «Название механизма 1» длиннее 31 символов (32). Информация не сохранена"},
        {"a text of 2113 bytes", -1, std::string(2113, 't'), "", 2111, 2113,
         "Текст в поле «Блок текстовой информации» длиннее 2111 символов (2113)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PassportEdit e = editOf(image);
        e.life = "33";
        e.groupIndex = 0;
        if (c.field < 0)
            e.text = c.text;
        else
            e.names[size_t(c.field)] = c.name;
        const auto before = bytesOf(image);
        auto refusal = storePassport(image, e);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->field, c.field);
        EXPECT_EQ(refusal->from, c.from);
        EXPECT_EQ(refusal->to, c.to);
        EXPECT_EQ(refusal->message.rfind(c.message, 0), 0u) << refusal->message;
        EXPECT_TRUE(bytesOf(image) == before) << "the image changed";
    }
}

TEST(PassportForm, FewerSlotsThanFieldsLeaveTheBytesAfterTheGroupAlone) {
    RecorderImage image;
    ImageBuilder::Header h;
    h.discretes = 4;
    ImageBuilder(image).header(h).done();
    WritableView w(image);
    ASSERT_EQ(w.nameCount, 4u);
    uint8_t* after = w.passportGroup + 1;
    std::memset(after, 0x5A, 64);

    PassportEdit e;
    e.groupIndex = 2;
    for (auto& name : e.names)
        name = "Механизм";
    ASSERT_FALSE(storePassport(image, e));
    EXPECT_EQ(*w.passportGroup, 3);
    EXPECT_EQ(w.mechanismName(3), "Механизм");
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(after[i], 0x5A) << i;
}

} // namespace
