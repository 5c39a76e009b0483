#pragma once
// The page checksum of the transfer protocol: polynomial 0x1021, register
// preset to 0xFFFF, each byte entering at the low end after the table step.
#include <cstddef>
#include <cstdint>

class Crc16 {
public:
    Crc16();
    // Resets the register and returns the checksum of length bytes.
    uint16_t compute(const uint8_t* data, size_t length);

private:
    uint16_t table_[256];
    uint16_t register_ = 0xFFFF;
};
