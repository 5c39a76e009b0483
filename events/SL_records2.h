#pragma once
// Settings-log record types 23 to 39: warning delays, sensors, the serial
// number, relay and group modes, overloads and the settings given in percent.
// Types 33 to 39 show their text without the key text.
#include "events/SL_records1.h"

class SL_relWrnNtime : public SL_relayDelayRecord<SL_relWrnNtime, 23> {
public:
    static constexpr const char* name = "SL_relWrnNtime";
    static constexpr const char* sentence = "Изменение времени задержки подачи звукового сигнала "
                                            "при перегрузке для реле %u: %u.%u -> %u.%u";
};

class SL_relWrnAtime : public SL_relayDelayRecord<SL_relWrnAtime, 24> {
public:
    static constexpr const char* name = "SL_relWrnAtime";
    static constexpr const char* sentence =
        "Изменение времени задержки подачи звукового сигнала при перегрузке для реле %u в режиме "
        "\"на консоли\": %u.%u -> %u.%u";
};

class SL_sensBrChoice : public SL_record<SL_sensBrChoice, 25, 50> {
public:
    static constexpr const char* name = "SL_sensBrChoice";
    uint8_t sensor = 0;   // 1-based
    uint8_t oldValue = 0; // bridge, 1-based
    uint8_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override;
};

class SL_sensClrLst : public SL_record<SL_sensClrLst, 26, 100> {
public:
    static constexpr const char* name = "SL_sensClrLst";
    void fill(const uint8_t*, const RecorderImage&) {}
    std::string describe() const override;
};

class SL_lsRelay : public SL_indexChangeRecord<SL_lsRelay, 27> {
public:
    static constexpr const char* name = "SL_lsRelay";
    static constexpr const char* sentence =
        "Изменение номера реле включения малой скорости %u -> %u";
};

class SL_serNo : public SL_record<SL_serNo, 28, 200> {
public:
    static constexpr const char* name = "SL_serNo";
    // Recorder characters (Windows-1251), zero-terminated.
    std::array<char, 5> oldValue{};
    std::array<char, 6> newValue{};
    void fill(const uint8_t* r, const RecorderImage& image);
    std::string describe() const override;
    std::string oldText() const; // UTF-8
    std::string newText() const;
    std::string plainText() const override; // the numbers unescaped
    void fields(FieldSink& sink) const override;
};

class SL_relMode : public SL_record<SL_relMode, 29, 50> {
public:
    static constexpr const char* name = "SL_relMode";
    uint8_t relay = 0; // 0-based
    uint8_t oldValue = 0;
    uint8_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override;
};

// Start or end of an overload; relay and group stay 0-based.
template <class Self, int Code> class SL_overloadRecord : public SL_record<Self, Code, 150> {
public:
    uint8_t relay = 0;
    uint8_t group = 0;
    void fill(const uint8_t* r, const RecorderImage&) {
        relay = r[17];
        group = r[18];
    }
    std::string describe() const override {
        return this->keyed(strprintf(Self::sentence, relay + 1u, group + 1u));
    }
    void fields(FieldSink& sink) const override {
        sink.integer("relay", relay + 1);
        sink.integer("group", group + 1);
        this->SL_parser::fields(sink);
    }
};

class SL_olStart : public SL_overloadRecord<SL_olStart, 30> {
public:
    static constexpr const char* name = "SL_olStart";
    static constexpr const char* sentence = "Начало перегрузки: реле %u группа %u";
};

class SL_olStop : public SL_overloadRecord<SL_olStop, 31> {
public:
    static constexpr const char* name = "SL_olStop";
    static constexpr const char* sentence = "Окончание перегрузки: реле %u группа %u";
};

class SL_grpMode : public SL_record<SL_grpMode, 32, 50> {
public:
    static constexpr const char* name = "SL_grpMode";
    uint8_t group = 0; // 1-based; 0: the crane's groups as a whole
    uint8_t oldValue = 0;
    uint8_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override;
};

// A group's (or, group 0, the total load's) setting in percent. The index byte
// is compared as a signed number, so 128 and above never mean the total.
template <class Self, int Code> class SL_groupPercentRecord : public SL_record<Self, Code, 50> {
public:
    uint8_t group = 0; // 1-based; 0: the total load
    int8_t oldValue = 0;
    int8_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage& image) {
        oldValue = int8_t(r[18]);
        newValue = int8_t(r[19]);
        group = int8_t(r[17]) == int(image.groupCount()) ? 0 : plainIndex(r[17]);
    }
    std::string describe() const override {
        return group ? strprintf(Self::groupSentence, unsigned(group), int(oldValue), int(newValue))
                     : strprintf(Self::totalSentence, int(oldValue), int(newValue));
    }
    void fields(FieldSink& sink) const override {
        sink.integer("group", group);
        sink.integer("old_value", oldValue);
        sink.integer("new_value", newValue);
        this->SL_parser::fields(sink);
    }
};

class SL_grpRLevelP : public SL_groupPercentRecord<SL_grpRLevelP, 33> {
public:
    static constexpr const char* name = "SL_grpRLevelP";
    static constexpr const char* groupSentence =
        "Изменение уровня начала цикла для группы %u: %d%% -> %d%%";
    static constexpr const char* totalSentence =
        "Изменение уровня начала цикла для суммарной нагрузки: %d%% -> %d%%";
};

class SL_grpNWeightAP : public SL_groupPercentRecord<SL_grpNWeightAP, 34> {
public:
    static constexpr const char* name = "SL_grpNWeightAP";
    static constexpr const char* groupSentence =
        "Изменение номинальной нагрузки для группы %u: %d%% -> %d%%";
    static constexpr const char* totalSentence =
        "Изменение номинальной нагрузки для суммарной нагрузки: %d%% -> %d%%";
};

// A relay's level in percent; the relay byte is shown as a signed number + 1.
template <class Self, int Code> class SL_relayPercentRecord : public SL_record<Self, Code, 50> {
public:
    uint8_t relay = 0; // 0-based
    int8_t oldValue = 0;
    int8_t newValue = 0;
    void fill(const uint8_t* r, const RecorderImage&) {
        relay = r[17];
        oldValue = int8_t(r[18]);
        newValue = int8_t(r[19]);
    }
    std::string describe() const override {
        return strprintf(Self::sentence, unsigned(int8_t(relay) + 1), int(oldValue), int(newValue));
    }
    void fields(FieldSink& sink) const override {
        sink.integer("relay", unsigned(int8_t(relay) + 1));
        sink.integer("old_value", oldValue);
        sink.integer("new_value", newValue);
        this->SL_parser::fields(sink);
    }
};

class SL_relCutP : public SL_relayPercentRecord<SL_relCutP, 35> {
public:
    static constexpr const char* name = "SL_relCutP";
    static constexpr const char* sentence = "Изменение уровня перегрузки для реле %u: %d%% -> %d%%";
};

class SL_relCutTmpP : public SL_relayPercentRecord<SL_relCutTmpP, 36> {
public:
    static constexpr const char* name = "SL_relCutTmpP";
    static constexpr const char* sentence =
        "Изменение уровня предварительно срабатывания для реле %u: %d%% -> %d%%";
};

class SL_relRlxP : public SL_relayPercentRecord<SL_relRlxP, 37> {
public:
    static constexpr const char* name = "SL_relRlxP";
    static constexpr const char* sentence = "Изменение уровня разгрузки для реле %u: %d%% -> %d%%";
};

// Zero or sensitivity set on a sensor; sensor stays 0-based.
template <class Self, int Code> class SL_sensorActionRecord : public SL_record<Self, Code, 50> {
public:
    uint8_t sensor = 0;
    void fill(const uint8_t* r, const RecorderImage&) { sensor = r[17]; }
    std::string describe() const override { return strprintf(Self::sentence, sensor + 1u); }
    void fields(FieldSink& sink) const override {
        sink.integer("sensor", sensor + 1);
        this->SL_parser::fields(sink);
    }
};

class SL_sensZero : public SL_sensorActionRecord<SL_sensZero, 38> {
public:
    static constexpr const char* name = "SL_sensZero";
    static constexpr const char* sentence = "Установка нуля для датчика %u";
};

class SL_sensAdj : public SL_sensorActionRecord<SL_sensAdj, 39> {
public:
    static constexpr const char* name = "SL_sensAdj";
    static constexpr const char* sentence = "Установка к-та чувствительности для датчика %u";
};
