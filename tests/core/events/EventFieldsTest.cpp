// The records' own fields as the exports take them: the numbers the texts
// show, the key cell of a registered key, and descriptions without markup.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <variant>

#include "events/EventFields.h"
#include "events/GL_records.h"
#include "events/Registries.h"
#include "events/SL_records2.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/ScopedTZ.h"

namespace {

// A decimal as "value/places".
using Value = std::variant<long long, std::string>;

struct Collect : FieldSink {
    std::map<std::string, Value> values;
    std::vector<std::string> names;
    void put(const char* name, Value v) {
        names.push_back(name);
        values[name] = std::move(v);
    }
    void integer(const char* name, long long v) override { put(name, v); }
    void decimal(const char* name, double v, int places) override {
        put(name, std::to_string(v) + "/" + std::to_string(places));
    }
    void text(const char* name, const std::string& v) override { put(name, v); }
};

Collect fieldsOf(const genericParser& e) {
    Collect c;
    e.fields(c);
    return c;
}

class RecordFields : public ::testing::Test {
protected:
    void SetUp() override {
        ImageBuilder::Header h; // 2 groups, 6 channels
        h.keys = keys;
        ImageBuilder(image).header(h);
    }
    std::unique_ptr<GL_parser> general(std::array<uint8_t, 8> r) {
        const Stamp stamp(2010, 1, 1, 0, 0, 0, 0);
        return std::unique_ptr<GL_parser>(
            glRegistry.find(r.data())->parse(r.data(), image, stamp.bytes.data(), nullptr));
    }
    std::unique_ptr<SL_parser> settings(uint8_t type, std::array<uint8_t, 9> payload,
                                        const KeyCode& key) {
        std::array<uint8_t, 26> r{};
        Stamp(2010, 1, 1, 0, 0, 0, 0).storeTo(r.data());
        r[7] = 0;
        std::copy(key.begin(), key.end(), r.begin() + 8);
        r[16] = type;
        std::copy(payload.begin(), payload.end(), r.begin() + 17);
        return std::unique_ptr<SL_parser>(
            slRegistry.find(r.data())->parse(r.data(), image, nullptr));
    }
    std::unique_ptr<SL_parser> settings(uint8_t type, std::array<uint8_t, 9> payload) {
        return settings(type, payload, keys[2]);
    }

    ScopedTZ tz{"UTC"};
    std::vector<KeyCode> keys = {makeKey(0x501), makeKey(0x502), makeKey(0x503)};
    GL_pList glRegistry;
    SL_pList slRegistry;
    RecorderImage image;
};

TEST_F(RecordFields, GeneralRecordsGiveTheNumbersTheirTextsShow) {
    auto load = fieldsOf(*general({1, 0, 0, 0x21, 0xFF, 0xFF, 0xFF, 0x9C}));
    EXPECT_EQ(load.values,
              (std::map<std::string, Value>{{"sensor", 3LL}, {"group", 2LL}, {"value", -100LL}}));
    // The group equal to the group count is the crane's total: group 0.
    EXPECT_EQ(fieldsOf(*general({2, 0, 0, 2, 0, 0, 0x05, 0xDC})).values,
              (std::map<std::string, Value>{{"group", 0LL}, {"value", 1500LL}}));
    EXPECT_EQ(fieldsOf(*general({3, 0, 0, 0xFF, 0x85, 0, 0, 0})).values,
              (std::map<std::string, Value>{{"relay", 0LL}, {"on", 1LL}, {"state", 5LL}}));
    EXPECT_EQ(fieldsOf(*general({5, 0, 0, 0xC0, 0, 0, 0, 0})).values.at("reset_flags"),
              Value(192LL));
    EXPECT_EQ(fieldsOf(*general({7, 0, 0, 0xFF, 0, 0, 0x4E, 0x20})).values,
              (std::map<std::string, Value>{{"group", 0LL}, {"value", 20000LL}}));
    auto unknown = fieldsOf(*general({0x2A, 0, 0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(unknown.values.at("record_type"), Value(42LL));
    EXPECT_EQ(unknown.values.at("payload"), Value(std::string("01 02 03 04 05")));
    EXPECT_TRUE(fieldsOf(*general({4, 0, 0, 0, 0, 0, 0, 0})).values.empty());
}

TEST_F(RecordFields, ChannelPicturesBecomeTheStatesAsText) {
    auto e = general({11, 0, 0, 0x05, 0, 0, 0, 0});
    EXPECT_NE(e->describe().find("<img"), std::string::npos);
    EXPECT_EQ(e->plainText(), "Состояние дискретных каналов: 101000");
    EXPECT_EQ(fieldsOf(*e).values.at("channels"), Value(std::string("101000")));
    // A negative byte sets the bits above 7 as well: all six on.
    EXPECT_EQ(fieldsOf(*general({11, 0, 0, 0xBF, 0, 0, 0, 0})).values.at("channels"),
              Value(std::string("111111")));
}

TEST_F(RecordFields, SettingsRecordsGiveTheirSubjectValuesAndKey) {
    // Overloads keep 0-based fields; the export gives the 1-based numbers of the text.
    auto ol = settings(30, {0, 1});
    EXPECT_EQ(ol->describe(), "Начало перегрузки: реле 1 группа 2 (ключ из ячейки 3)");
    auto olFields = fieldsOf(*ol);
    EXPECT_EQ(olFields.values,
              (std::map<std::string, Value>{{"relay", 1LL}, {"group", 2LL}, {"key_cell", 3LL}}));
    EXPECT_EQ(olFields.names.back(), "key_cell"); // the key after the record's own

    EXPECT_EQ(fieldsOf(*settings(10, {2, 0, 0, 1, 0xF4, 0, 0, 2, 0x58})).values,
              (std::map<std::string, Value>{
                  {"group", 0LL}, {"old_value", 500LL}, {"new_value", 600LL}, {"key_cell", 3LL}}));
    // Decimals carry the places of the text: a gain of -10.0 %, a delay of 1.5 s.
    auto scale = fieldsOf(*settings(7, {0, 0xFF, 0x9C, 0x03, 0xE8}));
    EXPECT_EQ(scale.values.at("old_value"), Value(std::string("-10.000000/1")));
    EXPECT_EQ(scale.values.at("new_value"), Value(std::string("100.000000/1")));
    EXPECT_EQ(fieldsOf(*settings(19, {0, 15, 0})).values.at("old_value"),
              Value(std::string("1.500000/1")));
    auto date = fieldsOf(*settings(4, {0x07, 0x0C, 0x09, 1, 1, 10}));
    EXPECT_EQ(date.values.at("old_value"), Value(std::string("07/12/2009")));
    EXPECT_EQ(date.values.at("new_value"), Value(std::string("01/01/2010")));
    EXPECT_EQ(fieldsOf(*settings(5, {8, 5, 0, 23, 59, 59})).values.at("new_value"),
              Value(std::string("23:59:59")));
    // A relay byte read as signed: 0xFF shows as relay 0.
    auto percent = settings(35, {0xFF, 0x50, 0xF6});
    EXPECT_EQ(percent->describe(), "Изменение уровня перегрузки для реле 0: 80% -> -10%");
    EXPECT_EQ(fieldsOf(*percent).values.at("relay"), Value(0LL));
    EXPECT_EQ(fieldsOf(*percent).values.at("new_value"), Value(-10LL));
    EXPECT_EQ(fieldsOf(*settings(38, {4})).values.at("sensor"), Value(5LL));
    EXPECT_EQ(fieldsOf(*settings(29, {2, 7, 9})).values.at("relay"), Value(3LL));
}

TEST_F(RecordFields, AnUnregisteredKeyHasNoKeyCell) {
    auto e = settings(1, {0}, makeKey(0x999));
    EXPECT_EQ(e->describe(), "Обновление ключа в ячейке 1 (ключ не зарегистрирован)");
    EXPECT_EQ(fieldsOf(*e).values, (std::map<std::string, Value>{{"cell", 1LL}}));
    // An erased key stands for cell 100, as its text says.
    EXPECT_EQ(fieldsOf(*settings(26, {}, erasedKey())).values.at("key_cell"), Value(100LL));
}

TEST_F(RecordFields, SerialNumbersArePlainTextWithoutEscapes) {
    auto e = settings(28, {0x3C, 0x62, 0x3E, 0x26, 0x41, 0x0A, 0x09, 0x22, 0});
    EXPECT_NE(e->describe().find("&lt;b&gt;&amp;"), std::string::npos);
    EXPECT_EQ(e->plainText(),
              "Изменение серийного номера регистратора \"<b>&\" -> \"A\n\t\"\" (ключ из ячейки 3)");
    auto f = fieldsOf(*e);
    EXPECT_EQ(f.values.at("old_value"), Value(std::string("<b>&")));
    EXPECT_EQ(f.values.at("new_value"), Value(std::string("A\n\t\"")));
    // Cyrillic recorder characters arrive as UTF-8.
    EXPECT_EQ(fieldsOf(*settings(28, {0xC0, 0xDF, 0, 0x39})).values.at("old_value"),
              Value(std::string("АЯ")));
}

} // namespace
