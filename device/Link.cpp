#include "device/Link.h"

#include <algorithm>

#include "common/errorExc.h"
#include "device/LinkUi.h"

std::array<uint8_t, 4> pageRequest(uint16_t page, uint16_t crc) {
    return {uint8_t(page >> 8), uint8_t(page), uint8_t(crc), uint8_t(crc >> 8)};
}

void configureLine(SerialLine& line) {
    LineState state;
    if (!line.getCommState(state))
        throw errorExc("Ошибка функции GetCommState(): %ld", line.lastError());
    state.baudRate = LineBaudRate;
    state.byteSize = 8;
    state.parity = LineState::NoParity;
    state.stopBits = LineState::OneStopBit;
    if (!line.setCommState(state))
        throw errorExc("Ошибка функции SetCommState(): %ld", line.lastError());
}

void applyTimeouts(SerialLine& line, const CommTimeouts& timeouts) {
    if (!line.setCommTimeouts(timeouts))
        throw errorExc("Ошибка функции SetCommTimeouts(): %ld", line.lastError());
}

void purgeInput(SerialLine& line) {
    uint8_t buffer[1024];
    uint32_t got = 0;
    do {
        if (!line.readFile(buffer, sizeof buffer, got))
            throw errorExc("Ошибка при очистке буфера последовательного порта (%ld)",
                           line.lastError());
    } while (got != 0);
}

namespace {
// What stopped, and the usual causes to look at.
const char* const noAnswer = "устройство считывания не отвечает";
const char* const noAnswerRemedy =
    "проверьте кабель USB и кабель к регистратору, питание устройства считывания и что "
    "ограничитель включен, затем повторите";
} // namespace

void sendAll(SerialLine& line, const uint8_t* data, size_t length) {
    size_t done = 0;
    while (done < length) {
        uint32_t written = 0;
        if (!line.writeFile(data + done, uint32_t(length - done), written))
            throw errorExc("ошибка при передаче данных (код: %ld)", line.lastError());
        if (written == 0)
            throw errorExc::withReason("несоответствие потока данных при передаче", noAnswer,
                                       noAnswerRemedy);
        done += written;
    }
}

void receiveAll(SerialLine& line, uint8_t* buffer, size_t length) {
    size_t done = 0;
    while (done < length) {
        uint32_t got = 0;
        if (!line.readFile(buffer + done, uint32_t(std::min<size_t>(1024, length - done)), got))
            throw errorExc("ошибка при приеме данных (код: %ld)", line.lastError());
        if (got == 0)
            throw errorExc::withReason("несоответствие потока данных при приеме", noAnswer,
                                       noAnswerRemedy);
        done += got;
    }
}

void sendByte(SerialLine& line, uint8_t byte) {
    sendAll(line, &byte, 1);
}

uint8_t receiveByte(SerialLine& line) {
    uint8_t byte = 0;
    receiveAll(line, &byte, 1);
    return byte;
}

void prepareLine(SerialLine& line, Progress& progress, const std::string& message) {
    configureLine(line);
    applyTimeouts(line, PurgeTimeouts);
    progress.update(0, message);
    purgeInput(line);
}

uint8_t firstCommand(SerialLine& line, uint8_t command) {
    applyTimeouts(line, CommandTimeouts);
    sendByte(line, command);
    uint8_t answer = receiveByte(line);
    applyTimeouts(line, TransferTimeouts);
    return answer;
}

void reportFailure(LinkUi& ui, const std::exception& e) {
    if (auto* own = dynamic_cast<const errorExc*>(&e))
        ui.error(own->message(), own->detail());
    else
        ui.error(e.what());
}
