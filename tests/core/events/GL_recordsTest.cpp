#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "events/GL_records.h"
#include "events/Registries.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/ScopedTZ.h"

namespace {

const std::string G = "<img src=\"bmps/greenball.16.png\"></img>";
const std::string Y = "<img src=\"bmps/grayball.16.png\"></img>";

struct Decoded {
    std::unique_ptr<GL_parser> event;
    std::string className;
};

// Decodes one record as the walk does: by the first prototype that accepts it.
Decoded decode(const RecorderImage& image, std::array<uint8_t, 8> record) {
    static const GL_pList registry;
    const Stamp stamp(2010, 1, 1, 0, 0, 0, 0);
    const GL_parser* proto = registry.find(record.data());
    if (!proto) return {};
    std::unique_ptr<GL_parser> e(proto->parse(record.data(), image, stamp.bytes.data(), nullptr));
    std::string name = e->className();
    return {std::move(e), name};
}

class GeneralRecords : public ::testing::Test {
protected:
    void SetUp() override { ImageBuilder(image).header(); } // 2 groups, 6 channels
    ScopedTZ tz{"UTC"};
    RecorderImage image;
};

TEST_F(GeneralRecords, DescribeEveryType) {
    struct Case {
        std::array<uint8_t, 8> record; // type, offset (2), p3..p7
        const char* className;
        std::string text;
        int importance;
    };
    const Case cases[] = {
        {{5, 0, 0, 0xC0}, "GL_powerOn", "Начало работы [0xC0] P.ON+RESET", 50},
        {{5, 0, 0, 0x05}, "GL_powerOn", "Начало работы [0x05]", 50},
        {{5, 0, 0, 0x02}, "GL_powerOn", "Начало работы [0x02] LVI", 50},
        {{5, 0, 0, 0xFF}, "GL_powerOn", "Начало работы [0xFF] P.ON+RESET+COP+OPCODE+ADDR+LVI", 50},
        {{4}, "GL_powerOff", "Выключение питания", 50},
        {{1, 0, 0, 0x21, 0xFF, 0xFF, 0xFF, 0x9C},
         "GL_sensorLoad",
         "Нагрузка на датчик 3 (группа 2) = -100",
         0},
        {{1, 0, 0, 0xA0, 0, 0, 0, 7}, "GL_sensorLoad", "Нагрузка на датчик 11 (группа 1) = 7", 0},
        {{1, 0, 0, 0xFF, 0x80, 0, 0, 0},
         "GL_sensorLoad",
         "Нагрузка на датчик 16 (группа 16) = -2147483648",
         0},
        {{2, 0, 0, 2, 0, 0, 0x05, 0xDC}, "GL_groupLoad", "Суммарная нагрузка = 1500", 0},
        {{2, 0, 0, 0, 0, 0, 0x05, 0xDC}, "GL_groupLoad", "Нагрузка на группу 1 = 1500", 0},
        {{2, 0, 0, 0xFF, 0, 0, 0, 1}, "GL_groupLoad", "Суммарная нагрузка = 1", 0},
        {{2, 0, 0, 3, 0, 0, 0, 1}, "GL_groupLoad", "Нагрузка на группу 4 = 1", 0},
        {{3, 0, 0, 0xFF, 0x85}, "GL_state", "Сирена ВКЛ (состояние: 5)", 0},
        {{3, 0, 0, 0x01, 0x00}, "GL_state", "Реле 2 ВЫКЛ (состояние: 0)", 0},
        {{3, 0, 0, 0x00, 0xFF}, "GL_state", "Реле 1 ВКЛ (состояние: 127)", 0},
        {{6, 0, 0, 0xFF, 0, 0, 0, 10}, "GL_cycleStart", "Начало цикла (начальная нагрузка 10)", 50},
        {{6, 0, 0, 1, 0, 0, 0, 10},
         "GL_cycleStart",
         "Начало цикла в группе 2 (начальная нагрузка 10)",
         50},
        {{7, 0, 0, 0, 0, 0, 0x07, 0xD0},
         "GL_cycleStop",
         "Конец цикла в группе 1 (максимальная нагрузка 2000)",
         50},
        {{7, 0, 0, 2, 0xFF, 0xFF, 0xFF, 0xFF},
         "GL_cycleStop",
         "Конец цикла (максимальная нагрузка -1)",
         50},
        {{8, 0, 0, 1}, "GL_consoleMode", "Режим работы: на консоли", 50},
        {{8, 0, 0, 0}, "GL_consoleMode", "Режим работы: обычный (в пролете)", 50},
        {{9, 0, 0, 3},
         "GL_sensFail",
         "Сбой (превышено время ожидания при опросе) датчика силы 4",
         250},
        {{10, 0, 0, 0}, "GL_sensOK", "Датчик силы 1 нормально отвечает на запросы", 50},
        {{11, 0, 0, 0x05},
         "GL_channelState",
         "Состояние дискретных каналов:" + G + Y + G + Y + Y + Y,
         0},
        {{11, 0, 0, 0xA0},
         "GL_channelState",
         "Состояние дискретных каналов:" + Y + Y + Y + Y + Y + G,
         0},
        {{12, 0, 0, 1}, "GL_downloaderState", "Устройство считывания вставлено", 50},
        {{12, 0, 0, 0}, "GL_downloaderState", "Устройство считывания вытащено", 50},
        {{0x2A, 0, 0, 1, 2, 3, 4, 5},
         "GL_unknown",
         "Неизвестный тип записи 42 [01 02 03 04 05]",
         250},
        {{0, 0, 0, 0xAB, 0, 0xFF, 0x10, 0},
         "GL_unknown",
         "Неизвестный тип записи 0 [AB 00 FF 10 00]",
         250},
        {{0xFE}, "GL_unknown", "Неизвестный тип записи 254 [00 00 00 00 00]", 250},
    };
    for (const auto& c : cases) {
        Decoded d = decode(image, c.record);
        ASSERT_TRUE(d.event) << c.text;
        EXPECT_EQ(d.className, c.className) << c.text;
        EXPECT_EQ(d.event->describe(), c.text);
        EXPECT_EQ(d.event->importance, c.importance) << c.text;
    }
}

TEST_F(GeneralRecords, EmptyRecordIsTakenByNoPrototype) {
    EXPECT_FALSE(decode(image, {0xFF, 5, 5, 5}).event);
}

TEST_F(GeneralRecords, FieldsAreOneBasedAndSigned) {
    auto load = decode(image, {1, 0, 0, 0x21, 0xFF, 0xFF, 0xFF, 0x9C});
    auto* s = dynamic_cast<GL_sensorLoad*>(load.event.get());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->sensor, 3);
    EXPECT_EQ(s->group, 2);
    EXPECT_EQ(s->load, -100);

    auto channels = decode(image, {11, 0, 0, 0x80});
    auto* c = dynamic_cast<GL_channelState*>(channels.event.get());
    ASSERT_TRUE(c);
    EXPECT_EQ(c->channels, -128); // bit 7 copied upwards
    EXPECT_EQ(c->channelCount, 6);
    EXPECT_TRUE(c->channelOn(31));
    EXPECT_TRUE(c->channelOn(32 + 7)); // bit index taken modulo 32

    auto siren = decode(image, {3, 0, 0, 0xFF, 0x85});
    auto* st = dynamic_cast<GL_state*>(siren.event.get());
    ASSERT_TRUE(st);
    EXPECT_EQ(st->relay, 0);
    EXPECT_EQ(st->state, 5);
    EXPECT_EQ(st->on, 1);
}

TEST_F(GeneralRecords, GroupEqualToGroupCountIsTheTotalWhateverTheCount) {
    RecorderImage wide;
    ImageBuilder::Header h;
    h.groups = 5;
    ImageBuilder(wide).header(h);
    EXPECT_EQ(decode(wide, {2, 0, 0, 5, 0, 0, 0, 9}).event->describe(), "Суммарная нагрузка = 9");
    EXPECT_EQ(decode(wide, {2, 0, 0, 2, 0, 0, 0, 9}).event->describe(), "Нагрузка на группу 3 = 9");
}

} // namespace
