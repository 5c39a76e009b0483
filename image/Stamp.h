#pragma once
// The recorder's 7-byte time stamp: year - 2000, month, day, hour, minute,
// second, tenths. Most significant first, so byte-wise comparison orders in time.
#include <array>
#include <compare>
#include <cstdint>
#include <cstring>

struct Stamp {
    std::array<uint8_t, 7> bytes{};

    Stamp() = default;
    explicit Stamp(const uint8_t* p) { std::memcpy(bytes.data(), p, 7); }
    Stamp(int year, int month, int day, int hour, int minute, int second, int tenths = 0)
        : bytes{uint8_t(year - 2000), uint8_t(month),  uint8_t(day),   uint8_t(hour),
                uint8_t(minute),      uint8_t(second), uint8_t(tenths)} {}

    void storeTo(uint8_t* p) const { std::memcpy(p, bytes.data(), 7); }
    auto operator<=>(const Stamp&) const = default;
};
