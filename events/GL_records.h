#pragma once
// The general log's record types (type codes 1 to 12) and the catch-all for
// unknown codes. Record bytes p3..p7 are the payload; loads are shown as stored.
#include <array>

#include "events/RecordKinds.h"

class GL_sensorLoad : public GL_record<GL_sensorLoad, 1, 0> {
public:
    static constexpr const char* name = "GL_sensorLoad";
    int32_t load = 0;
    uint8_t sensor = 0; // 1-based
    uint8_t group = 0;  // 1-based
    void fill(const uint8_t* record, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override {
        sink.integer("sensor", sensor);
        sink.integer("group", group);
        sink.integer("value", load);
    }
};

// A load of a group, or of the crane as a whole when group is 0.
template <class Self, int Code, uint8_t Importance>
class GL_groupLoadRecord : public GL_record<Self, Code, Importance> {
public:
    int32_t load = 0;
    uint8_t group = 0; // 1-based; 0: the total load
    void fill(const uint8_t* record, const RecorderImage& image) {
        load = readS32(record + 4);
        group = groupWithTotal(record[3], image);
    }
    std::string describe() const override {
        return group ? strprintf(Self::groupSentence, unsigned(group), long(load))
                     : strprintf(Self::totalSentence, long(load));
    }
    void fields(FieldSink& sink) const override {
        sink.integer("group", group);
        sink.integer("value", load);
    }
};

class GL_groupLoad : public GL_groupLoadRecord<GL_groupLoad, 2, 0> {
public:
    static constexpr const char* name = "GL_groupLoad";
    static constexpr const char* groupSentence = "Нагрузка на группу %u = %ld";
    static constexpr const char* totalSentence = "Суммарная нагрузка = %ld";
};

class GL_state : public GL_record<GL_state, 3, 0> {
public:
    static constexpr const char* name = "GL_state";
    uint8_t relay = 0; // 1-based; 0: the siren
    uint8_t state = 0;
    uint8_t on = 0; // 0 or 1
    void fill(const uint8_t* record, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override {
        sink.integer("relay", relay);
        sink.integer("on", on);
        sink.integer("state", state);
    }
};

class GL_powerOff : public GL_record<GL_powerOff, 4, 50> {
public:
    static constexpr const char* name = "GL_powerOff";
    void fill(const uint8_t*, const RecorderImage&) {}
    std::string describe() const override;
};

class GL_powerOn : public GL_record<GL_powerOn, 5, 50> {
public:
    static constexpr const char* name = "GL_powerOn";
    uint8_t resetFlags = 0; // why the controller started
    void fill(const uint8_t* record, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override { sink.integer("reset_flags", resetFlags); }
};

class GL_cycleStart : public GL_groupLoadRecord<GL_cycleStart, 6, 50> {
public:
    static constexpr const char* name = "GL_cycleStart";
    static constexpr const char* groupSentence =
        "Начало цикла в группе %u (начальная нагрузка %ld)";
    static constexpr const char* totalSentence = "Начало цикла (начальная нагрузка %ld)";
};

class GL_cycleStop : public GL_groupLoadRecord<GL_cycleStop, 7, 50> {
public:
    static constexpr const char* name = "GL_cycleStop";
    static constexpr const char* groupSentence =
        "Конец цикла в группе %u (максимальная нагрузка %ld)";
    static constexpr const char* totalSentence = "Конец цикла (максимальная нагрузка %ld)";
};

class GL_consoleMode : public GL_record<GL_consoleMode, 8, 50> {
public:
    static constexpr const char* name = "GL_consoleMode";
    uint8_t console = 0; // non-zero: working on the console
    void fill(const uint8_t* record, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override { sink.integer("console", console); }
};

template <class Self, int Code, uint8_t Importance>
class GL_sensorRecord : public GL_record<Self, Code, Importance> {
public:
    uint8_t sensor = 0; // 1-based
    void fill(const uint8_t* record, const RecorderImage&) { sensor = plainIndex(record[3]); }
    std::string describe() const override { return strprintf(Self::sentence, unsigned(sensor)); }
    void fields(FieldSink& sink) const override { sink.integer("sensor", sensor); }
};

class GL_sensFail : public GL_sensorRecord<GL_sensFail, 9, 250> {
public:
    static constexpr const char* name = "GL_sensFail";
    static constexpr const char* sentence =
        "Сбой (превышено время ожидания при опросе) датчика силы %u";
};

class GL_sensOK : public GL_sensorRecord<GL_sensOK, 10, 50> {
public:
    static constexpr const char* name = "GL_sensOK";
    static constexpr const char* sentence = "Датчик силы %u нормально отвечает на запросы";
};

class GL_channelState : public GL_record<GL_channelState, 11, 0> {
public:
    static constexpr const char* name = "GL_channelState";
    int32_t channels = 0;     // bit i: channel i+1 is on
    uint8_t channelCount = 0; // the header's number of discrete channels
    void fill(const uint8_t* record, const RecorderImage& image);
    std::string describe() const override;
    bool channelOn(unsigned i) const { return (uint32_t(channels) >> (i % 32)) & 1; }
    // The pictures of the journal as text: "1" for a green ball (on), "0" for
    // a grey one, channel 1 first, e.g. "101001".
    std::string statesText() const;
    std::string plainText() const override;
    void fields(FieldSink& sink) const override { sink.text("channels", statesText()); }
};

class GL_downloaderState : public GL_record<GL_downloaderState, 12, 50> {
public:
    static constexpr const char* name = "GL_downloaderState";
    uint8_t inserted = 0; // non-zero: the reader device was inserted
    void fill(const uint8_t* record, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override { sink.integer("inserted", inserted); }
};

class GL_unknown : public GL_record<GL_unknown, AnyType, 250> {
public:
    static constexpr const char* name = "GL_unknown";
    uint8_t recordType = 0;
    std::array<uint8_t, 5> payload{};
    void fill(const uint8_t* record, const RecorderImage& image);
    std::string describe() const override;
    void fields(FieldSink& sink) const override {
        sink.integer("record_type", recordType);
        sink.text("payload", hexBytes(payload.data(), payload.size()));
    }
};
