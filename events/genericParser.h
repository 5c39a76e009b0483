#pragma once
// The event base classes. An event is built from one log record by the record
// type's prototype (parse) and carries its local calendar time, its importance
// and its Russian description (UTF-8).
#include <cstdint>
#include <string>

#include "events/aList.h"

class FieldSink;
class RecorderImage;

class genericParser : public aLink {
public:
    genericParser() = default;

    // Local calendar seconds (mktime of the record's stamp) and tenths.
    int32_t seconds = 0;
    uint8_t tenths = 0;
    uint8_t importance = 0;

    virtual bool accepts(const uint8_t* record) const;
    virtual std::string describe() const;
    // describe() without markup: what a spreadsheet cell or a JSON string
    // shows. The record types whose text holds HTML give their own.
    virtual std::string plainText() const { return describe(); }
    // The record's own fields into sink (none here); see events/EventFields.h.
    virtual void fields(FieldSink& sink) const;
    // The record type's class name, for example "GL_powerOn".
    virtual const char* className() const;
    // Tells the record types apart without a type test, for the passes that
    // sort hundreds of thousands of events: a general-log type code 1..12, or
    // 100 + a settings type code 1..39; GL_unknown is GeneralUnknownKind,
    // SL_unknown SettingsUnknownKind, the base classes NoKind.
    virtual int kind() const { return NoKind; }
    static constexpr int NoKind = -1;
    static constexpr int GeneralUnknownKind = 0;
    static constexpr int SettingsKindBase = 100;
    static constexpr int SettingsUnknownKind = 100;

    // (seconds, tenths) as one number that orders events in time.
    int64_t timeKey() const { return (int64_t(seconds) << 8) | tenths; }
};

class SL_parser : public genericParser {
public:
    static constexpr uint8_t NotRegistered = 255;

    uint8_t keyCell = 0; // 0-based key cell; NotRegistered for an unknown key

    bool accepts(const uint8_t* record) const override;
    // The key text that settings types append to their own.
    std::string describe() const override;
    // key_cell (1-based, as the key text shows it), when the key is registered.
    void fields(FieldSink& sink) const override;
    const char* className() const override;
    // record: a 26-byte settings-log record. into: null, or the object to fill.
    virtual SL_parser* parse(const uint8_t* record, const RecorderImage& image,
                             SL_parser* into) const;
};

class GL_parser : public genericParser {
public:
    bool accepts(const uint8_t* record) const override;
    std::string describe() const override;
    const char* className() const override;
    // record: an 8-byte general-log record; pageStamp: the 7-byte stamp of its page.
    virtual GL_parser* parse(const uint8_t* record, const RecorderImage& image,
                             const uint8_t* pageStamp, GL_parser* into) const;
};

// Converts a recorder stamp (7 bytes) to local calendar seconds with mktime
// (TZ applies, daylight saving decided by the zone) and its tenths byte.
void toTime(const uint8_t* stamp, int32_t& seconds, uint8_t& tenths);

// While one is alive, toTime on this thread converts each distinct stamp once.
// mktime is most of a walk's cost, and within one walk the time zone does not
// change, so the same bytes always give the same seconds. Scopes nest; the
// outermost one serves.
class StampTimeCache {
public:
    StampTimeCache();
    ~StampTimeCache();
    StampTimeCache(const StampTimeCache&) = delete;
    StampTimeCache& operator=(const StampTimeCache&) = delete;

    struct Table; // opaque

private:
    Table* table_; // null for a nested scope
};
