#include "events/SL_records1.h"

#include <cstdlib>
#include <cstring>

std::string SL_memErase::describe() const {
    return "Стирание памяти регистратора";
}

std::string SL_newDate::describe() const {
    return keyed(strprintf("Изменение даты: %02u/%02u/%04u -> %02u/%02u/%04u",
                           unsigned(oldValue[0]), unsigned(oldValue[1]), oldValue[2] + 2000u,
                           unsigned(newValue[0]), unsigned(newValue[1]), newValue[2] + 2000u));
}

std::string SL_newTime::describe() const {
    return keyed(strprintf("Изменение времени: %02u:%02u:%02u -> %02u:%02u:%02u",
                           unsigned(oldValue[0]), unsigned(oldValue[1]), unsigned(oldValue[2]),
                           unsigned(newValue[0]), unsigned(newValue[1]), unsigned(newValue[2])));
}

void SL_grpZero::fill(const uint8_t* r, const RecorderImage&) {
    group = plainIndex(r[17]);
    oldValue = readS32(r + 18);
    newValue = readS32(r + 22);
}

std::string SL_grpZero::describe() const {
    return keyed(strprintf("Изменение точки отсчета (\"нуля\") для группы %u: %ld -> %ld",
                           unsigned(group), long(oldValue), long(newValue)));
}

void SL_grpScale::fill(const uint8_t* r, const RecorderImage&) {
    group = plainIndex(r[17]);
    oldValue = readS16(r + 18);
    newValue = readS16(r + 20);
}

namespace {

// "%.1f" of tenths / 10.0, whatever the C library's locale says about the
// decimal point.
std::string oneDecimal(int tenths) {
    return strprintf("%s%d.%d", tenths < 0 ? "-" : "", std::abs(tenths) / 10,
                     std::abs(tenths) % 10);
}

} // namespace

std::string SL_grpScale::describe() const {
    return keyed(strprintf("Изменение коэффициента передачи для группы %u: %s%% -> %s%%",
                           unsigned(group), oneDecimal(oldValue).c_str(),
                           oneDecimal(newValue).c_str()));
}

void SL_grpSStep::fill(const uint8_t* r, const RecorderImage&) {
    group = plainIndex(r[17]);
    oldValue = readU16(r + 18);
    newValue = readU16(r + 20);
}

std::string SL_grpSStep::describe() const {
    return keyed(strprintf("Изменение шага показа для группы %u: %u -> %u", unsigned(group),
                           unsigned(oldValue), unsigned(newValue)));
}

void SL_grpRStep::fill(const uint8_t* r, const RecorderImage& image) {
    oldValue = readU16(r + 18);
    newValue = readU16(r + 20);
    group = groupWithTotal(r[17], image);
}

std::string SL_grpRStep::describe() const {
    return keyed(group ? strprintf("Изменение шага регистрации для группы %u: %u -> %u",
                                   unsigned(group), unsigned(oldValue), unsigned(newValue))
                       : strprintf("Изменение шага регистрации для суммарной нагрузки %u -> %u",
                                   unsigned(oldValue), unsigned(newValue)));
}

void SL_relGrNum::fill(const uint8_t* r, const RecorderImage&) {
    relay = plainIndex(r[17]);
    oldValue = plainIndex(r[18]);
    newValue = plainIndex(r[19]);
}

std::string SL_relGrNum::describe() const {
    return keyed(strprintf("Изменение номера группы для реле %u: %u -> %u", unsigned(relay),
                           unsigned(oldValue), unsigned(newValue)));
}

void SL_unknown::fill(const uint8_t* r, const RecorderImage&) {
    recordType = r[16];
    std::memcpy(payload.data(), r + 17, payload.size());
}

std::string SL_unknown::describe() const {
    return keyed(strprintf("Неизвестный тип записи %u [", unsigned(recordType)) +
                 hexBytes(payload.data(), payload.size()) + "]");
}

// ---- fields ------------------------------------------------------------------

namespace {

// A subject, an old and a new number, then the key.
template <class T>
void changeFields(FieldSink& sink, const SL_parser& e, const char* subject, unsigned subjectValue,
                  T oldValue, T newValue) {
    if (subject) sink.integer(subject, subjectValue);
    sink.integer("old_value", oldValue);
    sink.integer("new_value", newValue);
    e.SL_parser::fields(sink);
}

} // namespace

void SL_newDate::fields(FieldSink& sink) const {
    auto date = [](const std::array<uint8_t, 3>& v) {
        return strprintf("%02u/%02u/%04u", unsigned(v[0]), unsigned(v[1]), v[2] + 2000u);
    };
    sink.text("old_value", date(oldValue));
    sink.text("new_value", date(newValue));
    SL_parser::fields(sink);
}

void SL_newTime::fields(FieldSink& sink) const {
    auto time = [](const std::array<uint8_t, 3>& v) {
        return strprintf("%02u:%02u:%02u", unsigned(v[0]), unsigned(v[1]), unsigned(v[2]));
    };
    sink.text("old_value", time(oldValue));
    sink.text("new_value", time(newValue));
    SL_parser::fields(sink);
}

void SL_grpZero::fields(FieldSink& sink) const {
    changeFields(sink, *this, "group", group, oldValue, newValue);
}

// The gain in percent, one place, as the text shows it.
void SL_grpScale::fields(FieldSink& sink) const {
    sink.integer("group", group);
    sink.decimal("old_value", oldValue / 10.0, 1);
    sink.decimal("new_value", newValue / 10.0, 1);
    SL_parser::fields(sink);
}

void SL_grpSStep::fields(FieldSink& sink) const {
    changeFields(sink, *this, "group", group, oldValue, newValue);
}

void SL_grpRStep::fields(FieldSink& sink) const {
    changeFields(sink, *this, "group", group, oldValue, newValue);
}

void SL_relGrNum::fields(FieldSink& sink) const {
    changeFields(sink, *this, "relay", relay, oldValue, newValue);
}

void SL_unknown::fields(FieldSink& sink) const {
    sink.integer("record_type", recordType);
    sink.text("payload", hexBytes(payload.data(), payload.size()));
    SL_parser::fields(sink);
}
