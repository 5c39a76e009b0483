#pragma once
// Settings-log record types 1 to 22 (keys, clock, groups, relay levels and
// delays) and the catch-all for unknown codes. Payload: record bytes 17 to 25,
// numbers big-endian. Unless a type says otherwise its text is followed by a
// blank and the key text.
#include <array>

#include "events/RecordKinds.h"

template <class Self, int Code> class SL_keyCellRecord : public SL_record<Self, Code, 100> {
public:
    uint8_t cell = 0; // 1-based
    void fill(const uint8_t* r, const RecorderImage&) { cell = plainIndex(r[17]); }
    std::string describe() const override {
        return this->keyed(strprintf(Self::sentence, unsigned(cell)));
    }
    void fields(FieldSink& sink) const override {
        sink.integer("cell", cell);
        this->SL_parser::fields(sink);
    }
};

class SL_updateKey : public SL_keyCellRecord<SL_updateKey, 1> {
public:
    static constexpr const char* name = "SL_updateKey";
    static constexpr const char* sentence = "Обновление ключа в ячейке %u";
};

class SL_delKey : public SL_keyCellRecord<SL_delKey, 2> {
public:
    static constexpr const char* name = "SL_delKey";
    static constexpr const char* sentence = "Удаление ключа из ячейки %u";
};

class SL_memErase : public SL_record<SL_memErase, 3, 200> {
public:
    static constexpr const char* name = "SL_memErase";
    void fill(const uint8_t*, const RecorderImage&) {}
    std::string describe() const override; // no key text
};

// Old and new date (day, month, year - 2000) or time (hour, minute, second).
template <class Self, int Code> class SL_clockRecord : public SL_record<Self, Code, 100> {
public:
    std::array<uint8_t, 3> oldValue{};
    std::array<uint8_t, 3> newValue{};
    void fill(const uint8_t* r, const RecorderImage&) {
        std::copy(r + 17, r + 20, oldValue.begin());
        std::copy(r + 20, r + 23, newValue.begin());
    }
};

// old_value and new_value as the text shows them: "DD/MM/YYYY", "HH:MM:SS".
class SL_newDate : public SL_clockRecord<SL_newDate, 4> {
public:
    static constexpr const char* name = "SL_newDate";
    std::string describe() const override;
    void fields(FieldSink& sink) const override;
};

class SL_newTime : public SL_clockRecord<SL_newTime, 5> {
public:
    static constexpr const char* name = "SL_newTime";
    std::string describe() const override;
    void fields(FieldSink& sink) const override;
};

class SL_grpZero : public SL_record<SL_grpZero, 6, 50> {
public:
    static constexpr const char* name = "SL_grpZero";
    uint8_t group = 0; // 1-based
    int32_t oldValue = 0;
    int32_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override;
};

// Gain in tenths of a percent.
class SL_grpScale : public SL_record<SL_grpScale, 7, 50> {
public:
    static constexpr const char* name = "SL_grpScale";
    uint8_t group = 0; // 1-based
    int16_t oldValue = 0;
    int16_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override;
};

class SL_grpSStep : public SL_record<SL_grpSStep, 8, 50> {
public:
    static constexpr const char* name = "SL_grpSStep";
    uint8_t group = 0; // 1-based
    uint16_t oldValue = 0;
    uint16_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override;
};

class SL_grpRStep : public SL_record<SL_grpRStep, 9, 50> {
public:
    static constexpr const char* name = "SL_grpRStep";
    uint8_t group = 0; // 1-based; 0: the total load
    uint16_t oldValue = 0;
    uint16_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override;
};

// A 32-bit setting of a group or (group 0) of the total load.
template <class Self, int Code> class SL_groupLevelRecord : public SL_record<Self, Code, 50> {
public:
    uint8_t group = 0; // 1-based; 0: the total load
    int32_t oldValue = 0;
    int32_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage& image) {
        oldValue = readS32(r + 18);
        newValue = readS32(r + 22);
        group = groupWithTotal(r[17], image);
    }
    std::string describe() const override {
        return this->keyed(
            group ? strprintf(Self::groupSentence, unsigned(group), long(oldValue), long(newValue))
                  : strprintf(Self::totalSentence, long(oldValue), long(newValue)));
    }
    void fields(FieldSink& sink) const override {
        sink.integer("group", group);
        sink.integer("old_value", oldValue);
        sink.integer("new_value", newValue);
        this->SL_parser::fields(sink);
    }
};

class SL_grpRLevel : public SL_groupLevelRecord<SL_grpRLevel, 10> {
public:
    static constexpr const char* name = "SL_grpRLevel";
    static constexpr const char* groupSentence =
        "Изменение уровня начала цикла для группы %u: %ld -> %ld";
    static constexpr const char* totalSentence =
        "Изменение уровня начала цикла для суммарной нагрузки: %ld -> %ld";
};

// A change of one index to another (both 1-based), with no subject.
template <class Self, int Code> class SL_indexChangeRecord : public SL_record<Self, Code, 50> {
public:
    uint8_t oldValue = 0;
    uint8_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage&) {
        oldValue = plainIndex(r[17]);
        newValue = plainIndex(r[18]);
    }
    std::string describe() const override {
        return this->keyed(strprintf(Self::sentence, unsigned(oldValue), unsigned(newValue)));
    }
    void fields(FieldSink& sink) const override {
        sink.integer("old_value", oldValue);
        sink.integer("new_value", newValue);
        this->SL_parser::fields(sink);
    }
};

class SL_tareGrp : public SL_indexChangeRecord<SL_tareGrp, 11> {
public:
    static constexpr const char* name = "SL_tareGrp";
    static constexpr const char* sentence = "Изменение группы главного подъема %u -> %u";
};

class SL_grpNWeight : public SL_groupLevelRecord<SL_grpNWeight, 12> {
public:
    static constexpr const char* name = "SL_grpNWeight";
    static constexpr const char* groupSentence =
        "Изменение номинальной нагрузки для группы %u: %ld -> %ld";
    static constexpr const char* totalSentence =
        "Изменение номинальной нагрузки для суммарной нагрузки: %ld -> %ld";
};

class SL_grpNWeightA : public SL_groupLevelRecord<SL_grpNWeightA, 13> {
public:
    static constexpr const char* name = "SL_grpNWeightA";
    static constexpr const char* groupSentence =
        "Изменение номинальной нагрузки для группы %u в режиме \"на консоли\": %ld -> %ld";
    static constexpr const char* totalSentence =
        "Изменение номинальной нагрузки для суммарной нагрузки в режиме \"на консоли\": %ld -> "
        "%ld";
};

class SL_relGrNum : public SL_record<SL_relGrNum, 14, 50> {
public:
    static constexpr const char* name = "SL_relGrNum";
    uint8_t relay = 0;    // 1-based
    uint8_t oldValue = 0; // group, 1-based
    uint8_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override;
};

// A 32-bit level of a relay.
template <class Self, int Code> class SL_relayLevelRecord : public SL_record<Self, Code, 50> {
public:
    uint8_t relay = 0; // 1-based
    int32_t oldValue = 0;
    int32_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage&) {
        relay = plainIndex(r[17]);
        oldValue = readS32(r + 18);
        newValue = readS32(r + 22);
    }
    std::string describe() const override {
        return this->keyed(
            strprintf(Self::sentence, unsigned(relay), long(oldValue), long(newValue)));
    }
    void fields(FieldSink& sink) const override {
        sink.integer("relay", relay);
        sink.integer("old_value", oldValue);
        sink.integer("new_value", newValue);
        this->SL_parser::fields(sink);
    }
};

class SL_relCutN : public SL_relayLevelRecord<SL_relCutN, 15> {
public:
    static constexpr const char* name = "SL_relCutN";
    static constexpr const char* sentence = "Изменение уровня перегрузки для реле %u: %ld -> %ld";
};

class SL_relCutA : public SL_relayLevelRecord<SL_relCutA, 16> {
public:
    static constexpr const char* name = "SL_relCutA";
    static constexpr const char* sentence =
        "Изменение уровня перегрузки для реле %u в режиме \"на консоли\": %ld -> %ld";
};

class SL_relCutNtmp : public SL_relayLevelRecord<SL_relCutNtmp, 17> {
public:
    static constexpr const char* name = "SL_relCutNtmp";
    static constexpr const char* sentence =
        "Изменение уровня предварительного срабатывания для реле %u: %ld -> %ld";
};

class SL_relCutAtmp : public SL_relayLevelRecord<SL_relCutAtmp, 18> {
public:
    static constexpr const char* name = "SL_relCutAtmp";
    static constexpr const char* sentence = "Изменение уровня предварительного срабатывания для "
                                            "реле %u в режиме \"на консоли\": %ld -> %ld";
};

// A delay of a relay in tenths of a second, shown as seconds.
template <class Self, int Code> class SL_relayDelayRecord : public SL_record<Self, Code, 50> {
public:
    uint8_t relay = 0; // 1-based
    uint8_t oldValue = 0;
    uint8_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage&) {
        relay = plainIndex(r[17]);
        oldValue = r[18];
        newValue = r[19];
    }
    std::string describe() const override {
        return this->keyed(strprintf(Self::sentence, unsigned(relay), oldValue / 10u,
                                     oldValue % 10u, newValue / 10u, newValue % 10u));
    }
    // The delays in seconds, one place, as the text shows them.
    void fields(FieldSink& sink) const override {
        sink.integer("relay", relay);
        sink.decimal("old_value", oldValue / 10.0, 1);
        sink.decimal("new_value", newValue / 10.0, 1);
        this->SL_parser::fields(sink);
    }
};

class SL_relCutNtime : public SL_relayDelayRecord<SL_relCutNtime, 19> {
public:
    static constexpr const char* name = "SL_relCutNtime";
    static constexpr const char* sentence =
        "Изменение времени задержки предварительного срабатывания для реле %u: %u.%u -> %u.%u";
};

class SL_relCutAtime : public SL_relayDelayRecord<SL_relCutAtime, 20> {
public:
    static constexpr const char* name = "SL_relCutAtime";
    static constexpr const char* sentence =
        "Изменение времени задержки предварительного срабатывания для реле %u в режиме \"на "
        "консоли\": %u.%u -> %u.%u";
};

class SL_relRlxN : public SL_relayLevelRecord<SL_relRlxN, 21> {
public:
    static constexpr const char* name = "SL_relRlxN";
    static constexpr const char* sentence = "Изменение уровня разгрузки для реле %u: %ld -> %ld";
};

class SL_relRlxA : public SL_relayLevelRecord<SL_relRlxA, 22> {
public:
    static constexpr const char* name = "SL_relRlxA";
    static constexpr const char* sentence =
        "Изменение уровня разгрузки для реле %u в режиме \"на консоли\": %ld -> %ld";
};

class SL_unknown : public SL_record<SL_unknown, AnyType, 250> {
public:
    static constexpr const char* name = "SL_unknown";
    uint8_t recordType = 0;
    std::array<uint8_t, 9> payload{};
    void fill(const uint8_t* r, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override;
};
