#include "device/Crc16.h"

Crc16::Crc16() {
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t v = uint16_t(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            v = (v & 0x8000) ? uint16_t((v << 1) ^ 0x1021) : uint16_t(v << 1);
        table_[i] = v;
    }
}

uint16_t Crc16::compute(const uint8_t* data, size_t length) {
    register_ = 0xFFFF;
    for (size_t i = 0; i < length; ++i)
        register_ = uint16_t(table_[register_ >> 8] ^ uint16_t(register_ << 8) ^ data[i]);
    return register_;
}
