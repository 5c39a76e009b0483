#pragma once
// Which key cell of the header page's key table holds a key code that a
// settings-log record stores.
#include <cstdint>

class RecorderImage;

// The Dallas/Maxim 1-Wire CRC-8 as the key lookup computes it: over the bytes
// in reverse storage order. A valid code stored with its CRC byte first gives 0.
uint8_t keyCrc8(const uint8_t* key);

// Key cell (0-based) of a stored 8-byte key code among the image's keyCount
// registered keys; 255 = not registered; an invalid code gives
// (byte 0 + 100) mod 256.
uint8_t keyCellIn(const RecorderImage& image, const uint8_t* key);
