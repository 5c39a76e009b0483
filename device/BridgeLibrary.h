#pragma once
// The USB bridges' manufacturing library: counts and opens the reader devices'
// bridges and reads and writes their power settings and baud-rate table. Every
// operation returns 0 on success and one of the status codes below otherwise.
#include <array>
#include <cstdint>
#include <memory>

#include "device/SerialLine.h"

// One row of the bridge's baud-rate table, in the library's 12-byte form.
struct BaudTableEntry {
    uint16_t valueA; // baud generator reload
    uint16_t valueB; // timer 0 reload
    uint8_t valueC;  // prescaler; three bytes of padding follow
    uint32_t baudRate;

    bool operator==(const BaudTableEntry&) const = default;
};
static_assert(sizeof(BaudTableEntry) == 12);

constexpr size_t BaudTableRows = 32;
using BaudTable = std::array<BaudTableEntry, BaudTableRows>;

class BridgeLibrary {
public:
    enum Status : int {
        Success = 0x00,
        InvalidHandle = 0x01,
        InvalidParameter = 0x02,
        DeviceIoFailed = 0x03,
        FunctionNotSupported = 0x04,
        DeviceNotFound = 0xFF,
    };

    virtual ~BridgeLibrary() = default;

    virtual int getNumDevices(uint32_t& count) = 0;
    // On failure handle may still be set: then it is usable but not configured.
    virtual int open(uint32_t index, LineHandle& handle) = 0;
    virtual int getPartNumber(SerialLine& handle, uint8_t& code) = 0;
    virtual int getMaxPower(SerialLine& handle, uint8_t& value) = 0;
    virtual int setMaxPower(SerialLine& handle, uint8_t value) = 0;
    virtual int getSelfPower(SerialLine& handle, int32_t& selfPowered) = 0;
    virtual int setSelfPower(SerialLine& handle, int32_t selfPowered) = 0;
    virtual int getBaudRateConfig(SerialLine& handle, BaudTable& table) = 0;
    virtual int setBaudRateConfig(SerialLine& handle, const BaudTable& table) = 0;
    // The system's code of the last failing open.
    virtual long lastError() const = 0;
};
