#pragma once
// The link layer shared by reading and writing: line settings, the three
// time-out sets, whole-buffer send and receive, emptying the input, the page
// request frame and the protocol's bytes.
#include <array>
#include <cstddef>
#include <cstdint>

#include <string>

#include "common/Progress.h"
#include "device/SerialLine.h"

namespace wire {
inline constexpr uint8_t SelectRecorder = 'E';
inline constexpr uint8_t RecorderUnavailable = 'n';
inline constexpr uint8_t SelectInternal = 'I';
inline constexpr uint8_t SelectMethod = 'C';
inline constexpr uint8_t StartRead = 'M';
inline constexpr uint8_t StartWrite = 'W';
inline constexpr uint8_t Ready = 'R';
inline constexpr uint8_t PageSame = '0';
inline constexpr uint8_t PageDiffers = '1';
inline constexpr uint8_t PageRefused = 'D';
} // namespace wire

// The nominal rate the bridge's table turns into the reader's 125000 bit/s.
inline constexpr uint32_t LineBaudRate = 256000;

inline constexpr CommTimeouts PurgeTimeouts{1000, 0, 1000, 0, 1000};
inline constexpr CommTimeouts CommandTimeouts{2000, 1000, 2000, 1000, 2000};
inline constexpr CommTimeouts TransferTimeouts{50, 5, 200, 5, 200};

// Page number high byte first, the CRC of the sender's copy low byte first.
std::array<uint8_t, 4> pageRequest(uint16_t page, uint16_t crc);

// 256000 bit/s nominal, 8 data bits, no parity, one stop bit, the rest as read.
void configureLine(SerialLine& line);
void applyTimeouts(SerialLine& line, const CommTimeouts& timeouts);
// Reads until a read returns nothing (with the purge time-outs: a second of silence).
void purgeInput(SerialLine& line);

// Both throw errorExc unless every byte moved.
void sendAll(SerialLine& line, const uint8_t* data, size_t length);
void receiveAll(SerialLine& line, uint8_t* buffer, size_t length);

void sendByte(SerialLine& line, uint8_t byte);
uint8_t receiveByte(SerialLine& line);

// The start of every transfer: line settings and purge time-outs, the progress
// message (a cancel there is not looked at), the input emptied.
void prepareLine(SerialLine& line, Progress& progress, const std::string& message);
// The first command with the command time-outs; the transfer time-outs after its answer.
uint8_t firstCommand(SerialLine& line, uint8_t command);
