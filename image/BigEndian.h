#pragma once
// The recorder stores every multi-byte number big-endian. These read one
// stored value into a native one, byte by byte; nothing is converted in place.
#include <bit>
#include <cstdint>

inline uint16_t readU16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}
inline int16_t readS16(const uint8_t* p) {
    return static_cast<int16_t>(readU16(p));
}
inline uint32_t readU32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
inline int32_t readS32(const uint8_t* p) {
    return static_cast<int32_t>(readU32(p));
}
inline float readFloat(const uint8_t* p) {
    return std::bit_cast<float>(readU32(p));
}

inline void writeU16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}
inline void writeU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}
inline void writeFloat(uint8_t* p, float v) {
    writeU32(p, std::bit_cast<uint32_t>(v));
}

// The two passport dates are the exception: little-endian calendar seconds.
inline int32_t readS32LE(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                                (uint32_t(p[3]) << 24));
}
inline void writeS32LE(uint8_t* p, int32_t v) {
    auto u = static_cast<uint32_t>(v);
    p[0] = uint8_t(u);
    p[1] = uint8_t(u >> 8);
    p[2] = uint8_t(u >> 16);
    p[3] = uint8_t(u >> 24);
}
