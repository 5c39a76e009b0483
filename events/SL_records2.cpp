#include "events/SL_records2.h"

#include "common/Html.h"
#include "common/Text1251.h"

void SL_sensBrChoice::fill(const uint8_t* r, const RecorderImage&) {
    sensor = plainIndex(r[17]);
    oldValue = plainIndex(r[18]);
    newValue = plainIndex(r[19]);
}

std::string SL_sensBrChoice::describe() const {
    return keyed(strprintf("Изменение активного моста в датчике %u: %u -> %u", unsigned(sensor),
                           unsigned(oldValue), unsigned(newValue)));
}

std::string SL_sensClrLst::describe() const {
    return keyed("Сброс списка зарегистрированных датчиков силы");
}

void SL_serNo::fill(const uint8_t* r, const RecorderImage&) {
    oldValue.fill(0);
    newValue.fill(0);
    for (size_t i = 0; i < 4 && r[17 + i]; ++i)
        oldValue[i] = char(r[17 + i]);
    for (size_t i = 0; i < 5 && r[21 + i]; ++i)
        newValue[i] = char(r[21 + i]);
}

std::string SL_serNo::oldText() const {
    return cp1251ToUtf8(oldValue.data());
}
std::string SL_serNo::newText() const {
    return cp1251ToUtf8(newValue.data());
}

std::string SL_serNo::plainText() const {
    return keyed(strprintf("Изменение серийного номера регистратора \"%s\" -> \"%s\"",
                           oldText().c_str(), newText().c_str()));
}

void SL_serNo::fields(FieldSink& sink) const {
    sink.text("old_value", oldText());
    sink.text("new_value", newText());
    SL_parser::fields(sink);
}

std::string SL_serNo::describe() const {
    // The journal shows descriptions as HTML: the recorder's bytes are text, not markup.
    return keyed(strprintf("Изменение серийного номера регистратора \"%s\" -> \"%s\"",
                           escapeHtml(oldText()).c_str(), escapeHtml(newText()).c_str()));
}

void SL_relMode::fill(const uint8_t* r, const RecorderImage&) {
    relay = r[17];
    oldValue = r[18];
    newValue = r[19];
}

std::string SL_relMode::describe() const {
    return keyed(strprintf("Изменение режима работы реле %u: %u -> %u", relay + 1u,
                           unsigned(oldValue), unsigned(newValue)));
}

void SL_grpMode::fill(const uint8_t* r, const RecorderImage& image) {
    group = groupWithTotal(r[17], image);
    oldValue = r[18];
    newValue = r[19];
}

std::string SL_grpMode::describe() const {
    return keyed(group ? strprintf("Изменение режима объединения группы %u: %u -> %u",
                                   unsigned(group), unsigned(oldValue), unsigned(newValue))
                       : strprintf("Изменение режима объединения групп крана %u -> %u",
                                   unsigned(oldValue), unsigned(newValue)));
}

void SL_sensBrChoice::fields(FieldSink& sink) const {
    sink.integer("sensor", sensor);
    sink.integer("old_value", oldValue);
    sink.integer("new_value", newValue);
    SL_parser::fields(sink);
}

void SL_relMode::fields(FieldSink& sink) const {
    sink.integer("relay", relay + 1);
    sink.integer("old_value", oldValue);
    sink.integer("new_value", newValue);
    SL_parser::fields(sink);
}

void SL_grpMode::fields(FieldSink& sink) const {
    sink.integer("group", group);
    sink.integer("old_value", oldValue);
    sink.integer("new_value", newValue);
    SL_parser::fields(sink);
}
