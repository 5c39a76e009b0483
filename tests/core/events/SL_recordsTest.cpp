#include <gtest/gtest.h>

#include <memory>

#include "events/Registries.h"
#include "events/SL_records2.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/ScopedTZ.h"

namespace {

using Payload = std::array<uint8_t, 9>;
const std::string K3 = " (ключ из ячейки 3)";

class SettingsRecords : public ::testing::Test {
protected:
    void SetUp() override {
        ImageBuilder::Header h; // 2 groups
        h.keys = keys;
        ImageBuilder(image).header(h);
    }

    std::unique_ptr<SL_parser> decode(uint8_t type, const Payload& payload, const KeyCode& key) {
        std::array<uint8_t, 26> r{};
        Stamp(2010, 1, 1, 0, 0, 0, 0).storeTo(r.data());
        r[7] = 0;
        std::copy(key.begin(), key.end(), r.begin() + 8);
        r[16] = type;
        std::copy(payload.begin(), payload.end(), r.begin() + 17);
        const SL_parser* proto = registry.find(r.data());
        if (!proto) return nullptr;
        return std::unique_ptr<SL_parser>(proto->parse(r.data(), image, nullptr));
    }
    std::unique_ptr<SL_parser> decode(uint8_t type, const Payload& payload) {
        return decode(type, payload, keys[2]);
    }

    ScopedTZ tz{"UTC"};
    std::vector<KeyCode> keys = {makeKey(0x501), makeKey(0x502), makeKey(0x503)};
    SL_pList registry;
    RecorderImage image;
};

TEST_F(SettingsRecords, DescribeEveryType) {
    struct Case {
        uint8_t type;
        Payload payload;
        const char* className;
        std::string text;
        int importance;
    };
    // clang-format off
    const Case cases[] = {
        {1, {0}, "SL_updateKey", "Обновление ключа в ячейке 1" + K3, 100},
        {1, {255}, "SL_updateKey", "Обновление ключа в ячейке 0" + K3, 100},
        {2, {4}, "SL_delKey", "Удаление ключа из ячейки 5" + K3, 100},
        {3, {1, 2, 3}, "SL_memErase", "Стирание памяти регистратора", 200},
        {4, {0x07, 0x0C, 0x09, 1, 1, 10}, "SL_newDate", "Изменение даты: 07/12/2009 -> 01/01/2010" + K3, 100},
        {5, {8, 5, 0, 23, 59, 59}, "SL_newTime", "Изменение времени: 08:05:00 -> 23:59:59" + K3, 100},
        {6, {1, 0xFF, 0xFF, 0xFF, 0xFB, 0, 0, 0, 10}, "SL_grpZero", "Изменение точки отсчета (\"нуля\") для группы 2: -5 -> 10" + K3, 50},
        {6, {2, 0, 0, 0, 0, 0, 0, 0, 0}, "SL_grpZero", "Изменение точки отсчета (\"нуля\") для группы 3: 0 -> 0" + K3, 50},
        {7, {0, 0xFF, 0x9C, 0x03, 0xE8}, "SL_grpScale", "Изменение коэффициента передачи для группы 1: -10.0% -> 100.0%" + K3, 50},
        {7, {2, 0xFF, 0xFB, 0, 0}, "SL_grpScale", "Изменение коэффициента передачи для группы 3: -0.5% -> 0.0%" + K3, 50},
        {8, {0, 0, 10, 0xFF, 0xFF}, "SL_grpSStep", "Изменение шага показа для группы 1: 10 -> 65535" + K3, 50},
        {8, {2, 0, 1, 0, 2}, "SL_grpSStep", "Изменение шага показа для группы 3: 1 -> 2" + K3, 50},
        {9, {2, 0, 5, 0, 6}, "SL_grpRStep", "Изменение шага регистрации для суммарной нагрузки 5 -> 6" + K3, 50},
        {9, {1, 0, 5, 0, 6}, "SL_grpRStep", "Изменение шага регистрации для группы 2: 5 -> 6" + K3, 50},
        {10, {2, 0, 0, 1, 0xF4, 0, 0, 2, 0x58}, "SL_grpRLevel", "Изменение уровня начала цикла для суммарной нагрузки: 500 -> 600" + K3, 50},
        {10, {0, 0, 0, 1, 0xF4, 0, 0, 2, 0x58}, "SL_grpRLevel", "Изменение уровня начала цикла для группы 1: 500 -> 600" + K3, 50},
        {11, {0, 1}, "SL_tareGrp", "Изменение группы главного подъема 1 -> 2" + K3, 50},
        {12, {2, 0, 0, 0, 1, 0, 0, 0, 2}, "SL_grpNWeight", "Изменение номинальной нагрузки для суммарной нагрузки: 1 -> 2" + K3, 50},
        {12, {0, 0, 0, 0, 1, 0, 0, 0, 2}, "SL_grpNWeight", "Изменение номинальной нагрузки для группы 1: 1 -> 2" + K3, 50},
        {13, {2, 0, 0, 0, 1, 0, 0, 0, 2}, "SL_grpNWeightA", "Изменение номинальной нагрузки для суммарной нагрузки в режиме \"на консоли\": 1 -> 2" + K3, 50},
        {13, {0xFF, 0, 0, 0, 1, 0, 0, 0, 2}, "SL_grpNWeightA", "Изменение номинальной нагрузки для суммарной нагрузки в режиме \"на консоли\": 1 -> 2" + K3, 50},
        {13, {1, 0, 0, 0, 1, 0, 0, 0, 2}, "SL_grpNWeightA", "Изменение номинальной нагрузки для группы 2 в режиме \"на консоли\": 1 -> 2" + K3, 50},
        {14, {0, 1, 255}, "SL_relGrNum", "Изменение номера группы для реле 1: 2 -> 0" + K3, 50},
        {15, {0, 0, 0, 0, 5, 0xFF, 0xFF, 0xFF, 0xFF}, "SL_relCutN", "Изменение уровня перегрузки для реле 1: 5 -> -1" + K3, 50},
        {16, {1, 0, 0, 0, 5, 0, 0, 0, 6}, "SL_relCutA", "Изменение уровня перегрузки для реле 2 в режиме \"на консоли\": 5 -> 6" + K3, 50},
        {17, {2, 0, 0, 0, 5, 0, 0, 0, 6}, "SL_relCutNtmp", "Изменение уровня предварительного срабатывания для реле 3: 5 -> 6" + K3, 50},
        {18, {2, 0, 0, 0, 5, 0, 0, 0, 6}, "SL_relCutAtmp", "Изменение уровня предварительного срабатывания для реле 3 в режиме \"на консоли\": 5 -> 6" + K3, 50},
        {19, {0, 15, 0}, "SL_relCutNtime", "Изменение времени задержки предварительного срабатывания для реле 1: 1.5 -> 0.0" + K3, 50},
        {20, {1, 255, 30}, "SL_relCutAtime", "Изменение времени задержки предварительного срабатывания для реле 2 в режиме \"на консоли\": 25.5 -> 3.0" + K3, 50},
        {21, {0, 0x80, 0, 0, 0, 0, 0, 0, 0}, "SL_relRlxN", "Изменение уровня разгрузки для реле 1: -2147483648 -> 0" + K3, 50},
        {22, {0, 0, 0, 0, 1, 0, 0, 0, 2}, "SL_relRlxA", "Изменение уровня разгрузки для реле 1 в режиме \"на консоли\": 1 -> 2" + K3, 50},
        {23, {0, 30, 5}, "SL_relWrnNtime", "Изменение времени задержки подачи звукового сигнала при перегрузке для реле 1: 3.0 -> 0.5" + K3, 50},
        {24, {1, 30, 5}, "SL_relWrnAtime", "Изменение времени задержки подачи звукового сигнала при перегрузке для реле 2 в режиме \"на консоли\": 3.0 -> 0.5" + K3, 50},
        {25, {0, 0, 1}, "SL_sensBrChoice", "Изменение активного моста в датчике 1: 1 -> 2" + K3, 50},
        {26, {}, "SL_sensClrLst", "Сброс списка зарегистрированных датчиков силы" + K3, 100},
        {27, {1, 2}, "SL_lsRelay", "Изменение номера реле включения малой скорости 2 -> 3" + K3, 50},
        {28, {0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0}, "SL_serNo", "Изменение серийного номера регистратора \"1234\" -> \"5678\"" + K3, 200},
        {28, {0xC0, 0xDF, 0, 0x39, 0x41, 0x42, 0x43, 0x44, 0x45}, "SL_serNo", "Изменение серийного номера регистратора \"АЯ\" -> \"ABCDE\"" + K3, 200},
        {28, {0x3C, 0x62, 0x3E, 0x26, 0x41, 0x0A, 0x09, 0x22, 0}, "SL_serNo", "Изменение серийного номера регистратора \"&lt;b&gt;&amp;\" -> \"A\n\t\"\"" + K3, 200},
        {29, {0xFF, 1, 2}, "SL_relMode", "Изменение режима работы реле 256: 1 -> 2" + K3, 50},
        {30, {0, 1}, "SL_olStart", "Начало перегрузки: реле 1 группа 2" + K3, 150},
        {31, {2, 0}, "SL_olStop", "Окончание перегрузки: реле 3 группа 1" + K3, 150},
        {32, {2, 1, 3}, "SL_grpMode", "Изменение режима объединения групп крана 1 -> 3" + K3, 50},
        {32, {0, 1, 3}, "SL_grpMode", "Изменение режима объединения группы 1: 1 -> 3" + K3, 50},
        {33, {0, 0x50, 0xF6}, "SL_grpRLevelP", "Изменение уровня начала цикла для группы 1: 80% -> -10%", 50},
        {33, {2, 0x50, 0xF6}, "SL_grpRLevelP", "Изменение уровня начала цикла для суммарной нагрузки: 80% -> -10%", 50},
        {34, {2, 1, 2}, "SL_grpNWeightAP", "Изменение номинальной нагрузки для суммарной нагрузки: 1% -> 2%", 50},
        {34, {1, 0x80, 0x7F}, "SL_grpNWeightAP", "Изменение номинальной нагрузки для группы 2: -128% -> 127%", 50},
        {35, {0, 0x50, 0x5A}, "SL_relCutP", "Изменение уровня перегрузки для реле 1: 80% -> 90%", 50},
        {35, {0xFF, 0, 0}, "SL_relCutP", "Изменение уровня перегрузки для реле 0: 0% -> 0%", 50},
        {36, {1, 0xF6, 0}, "SL_relCutTmpP", "Изменение уровня предварительно срабатывания для реле 2: -10% -> 0%", 50},
        {37, {2, 1, 2}, "SL_relRlxP", "Изменение уровня разгрузки для реле 3: 1% -> 2%", 50},
        {38, {3}, "SL_sensZero", "Установка нуля для датчика 4", 50},
        {39, {0xFF}, "SL_sensAdj", "Установка к-та чувствительности для датчика 256", 50},
        {0, {}, "SL_unknown", "Неизвестный тип записи 0 [00 00 00 00 00 00 00 00 00]" + K3, 250},
        {40, {0xAB, 0, 0, 0, 0, 0, 0, 0, 0xCD}, "SL_unknown", "Неизвестный тип записи 40 [AB 00 00 00 00 00 00 00 CD]" + K3, 250},
    };
    // clang-format on
    for (const auto& c : cases) {
        auto e = decode(c.type, c.payload);
        ASSERT_TRUE(e) << c.text;
        EXPECT_STREQ(e->className(), c.className) << c.text;
        EXPECT_EQ(e->describe(), c.text);
        EXPECT_EQ(e->importance, c.importance) << c.text;
    }
}

TEST_F(SettingsRecords, KeySuffixFollowsTheKeyCell) {
    const Payload cell3 = {2};
    EXPECT_EQ(decode(1, cell3, keys[0])->describe(),
              "Обновление ключа в ячейке 3 (ключ из ячейки 1)");
    EXPECT_EQ(decode(1, cell3, makeKey(0x777))->describe(),
              "Обновление ключа в ячейке 3 (ключ не зарегистрирован)");
    // Eight equal bytes are not a key code: cell 0xFF + 100, shown + 1.
    EXPECT_EQ(decode(1, cell3, erasedKey())->describe(),
              "Обновление ключа в ячейке 3 (ключ из ячейки 100)");
    EXPECT_EQ(decode(80, {1, 2, 3, 4, 5, 6, 7, 8, 9}, makeKey(0x777))->describe(),
              "Неизвестный тип записи 80 [01 02 03 04 05 06 07 08 09] (ключ не зарегистрирован)");
    EXPECT_EQ(decode(3, {}, makeKey(0x777))->describe(), "Стирание памяти регистратора");
}

TEST_F(SettingsRecords, OverloadKeepsZeroBasedIndexes) {
    auto e = decode(30, {0, 1});
    auto* o = dynamic_cast<SL_olStart*>(e.get());
    ASSERT_TRUE(o);
    EXPECT_EQ(o->relay, 0);
    EXPECT_EQ(o->group, 1);
}

TEST_F(SettingsRecords, EmptySlotIsTakenByNoPrototype) {
    std::array<uint8_t, 26> r{};
    r[7] = 0xFF;
    r[16] = 1;
    EXPECT_EQ(registry.find(r.data()), nullptr);
}

// Percent types compare the index as a signed byte: 128 and above never mean
// the total, while the other group types take any byte equal to the count.
TEST(SettingsRecordsWide, HighGroupCountMeetsTheSignedComparison) {
    ScopedTZ tz("UTC");
    RecorderImage image;
    ImageBuilder::Header h;
    h.groups = 130;
    ImageBuilder(image).header(h);
    SL_pList registry;
    auto describe = [&](uint8_t type) {
        std::array<uint8_t, 26> r{};
        r[16] = type;
        r[17] = 130;
        r[18] = 1;
        r[19] = 2;
        std::unique_ptr<SL_parser> e(registry.find(r.data())->parse(r.data(), image, nullptr));
        return e->describe();
    };
    EXPECT_EQ(describe(32), "Изменение режима объединения групп крана 1 -> 2 (ключ из ячейки 101)");
    EXPECT_EQ(describe(33), "Изменение уровня начала цикла для группы 131: 1% -> 2%");
    EXPECT_EQ(describe(34), "Изменение номинальной нагрузки для группы 131: 1% -> 2%");
}

} // namespace
