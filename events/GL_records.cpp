#include "events/GL_records.h"

#include <cstring>

#include "image/BigEndian.h"

void GL_sensorLoad::fill(const uint8_t* r, const RecorderImage&) {
    load = readS32(r + 4);
    sensor = uint8_t((r[3] >> 4) + 1);
    group = uint8_t((r[3] & 0x0F) + 1);
}

std::string GL_sensorLoad::describe() const {
    return strprintf("Нагрузка на датчик %u (группа %u) = %ld", unsigned(sensor), unsigned(group),
                     long(load));
}

void GL_state::fill(const uint8_t* r, const RecorderImage&) {
    relay = plainIndex(r[3]);
    state = r[4] & 0x7F;
    on = r[4] >> 7;
}

std::string GL_state::describe() const {
    std::string s = relay ? strprintf("Реле %u ", unsigned(relay)) : "Сирена ";
    s += on == 1 ? "ВКЛ " : "ВЫКЛ ";
    return s + strprintf("(состояние: %u)", unsigned(state));
}

std::string GL_powerOff::describe() const {
    return "Выключение питания";
}

void GL_powerOn::fill(const uint8_t* r, const RecorderImage&) {
    resetFlags = r[3];
}

std::string GL_powerOn::describe() const {
    static const struct {
        uint8_t bit;
        const char* name;
    } kFlags[] = {{0x80, "P.ON"},   {0x40, "RESET"}, {0x20, "COP"},
                  {0x10, "OPCODE"}, {0x08, "ADDR"},  {0x02, "LVI"}};
    std::string s = strprintf("Начало работы [0x%02X]", unsigned(resetFlags));
    const char* sep = " ";
    for (const auto& f : kFlags) {
        if (!(resetFlags & f.bit)) continue;
        s += sep;
        s += f.name;
        sep = "+";
    }
    return s;
}

void GL_consoleMode::fill(const uint8_t* r, const RecorderImage&) {
    console = r[3];
}

std::string GL_consoleMode::describe() const {
    return console ? "Режим работы: на консоли" : "Режим работы: обычный (в пролете)";
}

void GL_channelState::fill(const uint8_t* r, const RecorderImage& image) {
    channels = int8_t(r[3]);
    channelCount = image.discreteCount();
}

std::string GL_channelState::describe() const {
    std::string s = "Состояние дискретных каналов:";
    for (unsigned i = 0; i < channelCount; ++i)
        s += channelOn(i) ? "<img src=\"bmps/greenball.16.png\"></img>"
                          : "<img src=\"bmps/grayball.16.png\"></img>";
    return s;
}

std::string GL_channelState::statesText() const {
    std::string s;
    for (unsigned i = 0; i < channelCount; ++i)
        s += channelOn(i) ? '1' : '0';
    return s;
}

std::string GL_channelState::plainText() const {
    return "Состояние дискретных каналов: " + statesText();
}

void GL_downloaderState::fill(const uint8_t* r, const RecorderImage&) {
    inserted = r[3];
}

std::string GL_downloaderState::describe() const {
    return inserted ? "Устройство считывания вставлено" : "Устройство считывания вытащено";
}

void GL_unknown::fill(const uint8_t* r, const RecorderImage&) {
    recordType = r[0];
    std::memcpy(payload.data(), r + 3, payload.size());
}

std::string GL_unknown::describe() const {
    return strprintf("Неизвестный тип записи %u [", unsigned(recordType)) +
           hexBytes(payload.data(), payload.size()) + "]";
}
