#include "events/genericParser.h"

#include <ctime>
#include <unordered_map>

#include "common/Format.h"
#include "common/LocalTime.h"
#include "events/EventFields.h"
#include "image/BigEndian.h"
#include "image/RecorderImage.h"

// ---- time conversion -------------------------------------------------------

struct StampTimeCache::Table {
    uint64_t lastKey = ~uint64_t(0); // no stamp packs to this (6 bytes only)
    int32_t lastSeconds = 0;
    std::unordered_map<uint64_t, int32_t> seconds;
};

namespace {

thread_local StampTimeCache::Table* activeTable = nullptr;

int32_t mktimeOf(const uint8_t* stamp) {
    auto b = [stamp](int i) { return int(int8_t(stamp[i])); };
    struct tm t = {};
    t.tm_year = b(0) + 100;
    t.tm_mon = b(1) - 1;
    t.tm_mday = b(2);
    t.tm_hour = b(3);
    t.tm_min = b(4);
    t.tm_sec = b(5);
    // In the hour that the clocks go back a local time names two instants, and
    // mktime's choice between them (daylight saving unknown) follows from the
    // calls made before: the same stamp would get another time in another
    // walk. Converting the same fields as standard time first makes the choice
    // the same every time; other times convert as before.
    struct tm standard = t;
    standard.tm_isdst = 0;
    secondsOfLocal(standard);
    t.tm_isdst = -1;
    // A failed conversion gives -1, which the event keeps as its time.
    return secondsOfLocal(t);
}

} // namespace

StampTimeCache::StampTimeCache() : table_(activeTable ? nullptr : new Table) {
    if (table_) activeTable = table_;
}

StampTimeCache::~StampTimeCache() {
    if (!table_) return;
    activeTable = nullptr;
    delete table_;
}

void toTime(const uint8_t* stamp, int32_t& seconds, uint8_t& tenths) {
    tenths = stamp[6];
    StampTimeCache::Table* table = activeTable;
    if (!table) {
        seconds = mktimeOf(stamp);
        return;
    }
    uint64_t key = 0;
    for (int i = 0; i < 6; ++i)
        key = (key << 8) | stamp[i];
    if (key != table->lastKey) {
        auto [it, fresh] = table->seconds.try_emplace(key, 0);
        if (fresh) it->second = mktimeOf(stamp);
        table->lastKey = key;
        table->lastSeconds = it->second;
    }
    seconds = table->lastSeconds;
}

// ---- base classes ----------------------------------------------------------

bool genericParser::accepts(const uint8_t*) const {
    return false;
}
std::string genericParser::describe() const {
    return "genericParser";
}
void genericParser::fields(FieldSink&) const {}
const char* genericParser::className() const {
    return "genericParser";
}

bool SL_parser::accepts(const uint8_t* record) const {
    return record[7] != 0xFF;
}

std::string SL_parser::describe() const {
    if (keyCell == NotRegistered) return "(ключ не зарегистрирован)";
    return strprintf("(ключ из ячейки %u)", unsigned(keyCell) + 1);
}

void SL_parser::fields(FieldSink& sink) const {
    if (keyCell != NotRegistered) sink.integer("key_cell", keyCell + 1);
}

const char* SL_parser::className() const {
    return "SL_parser";
}

SL_parser* SL_parser::parse(const uint8_t* record, const RecorderImage& image,
                            SL_parser* into) const {
    SL_parser* e = into ? into : new SL_parser;
    toTime(record, e->seconds, e->tenths);
    e->keyCell = image.keyCellOf(record + 8);
    return e;
}

bool GL_parser::accepts(const uint8_t* record) const {
    return record[0] != 0xFF;
}
std::string GL_parser::describe() const {
    return {};
}
const char* GL_parser::className() const {
    return "GL_parser";
}

GL_parser* GL_parser::parse(const uint8_t* record, const RecorderImage&, const uint8_t* pageStamp,
                            GL_parser* into) const {
    GL_parser* e = into ? into : new GL_parser;
    toTime(pageStamp, e->seconds, e->tenths);
    unsigned d = readU16(record + 1);
    // Calendar seconds wrap as the recorder's 32-bit arithmetic does.
    e->seconds = int32_t(uint32_t(e->seconds) + d / 10);
    e->tenths = uint8_t(e->tenths + d % 10);
    while (e->tenths > 9) {
        e->seconds = int32_t(uint32_t(e->seconds) + 1);
        e->tenths -= 10;
    }
    return e;
}
