#include "image/KeyCell.h"

#include <cstring>

#include "image/RecorderImage.h"

uint8_t keyCrc8(const uint8_t* key) {
    uint8_t crc = 0;
    for (int i = 7; i >= 0; --i) {
        uint8_t byte = key[i];
        for (int bit = 0; bit < 8; ++bit) {
            uint8_t f = (byte ^ crc) & 1;
            crc >>= 1;
            if (f) crc ^= 0x8C;
            byte >>= 1;
        }
    }
    return crc;
}

uint8_t keyCellIn(const RecorderImage& image, const uint8_t* key) {
    bool allEqual = true;
    for (int i = 1; i < 8; ++i)
        allEqual = allEqual && key[i] == key[0];
    if (keyCrc8(key) != 0 || allEqual) return uint8_t(key[0] + 100);
    const uint8_t* table = image.page(RecorderImage::HeaderPage) + 16;
    // 16 + 8 * 255 bytes stay well inside the image.
    for (uint32_t j = 0; j < image.keyCount(); ++j)
        if (std::memcmp(table + 8 * j, key, 8) == 0) return uint8_t(j);
    return 255;
}
