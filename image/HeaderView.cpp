#include "image/HeaderView.h"

#include <algorithm>
#include <cstring>

#include "common/Text1251.h"
#include "image/RecorderImage.h"

namespace {

std::vector<size_t> rowSizes(size_t g, size_t r, size_t s) {
    std::vector<size_t> sizes = {4 * g, 2 * g, 2 * g, 2 * (g + 1), 1, 1};
    if (r <= 3) {
        sizes.push_back(r);
        for (int k = 0; k < 6; ++k)
            sizes.push_back(4 * r);
        for (int k = 0; k < 4; ++k)
            sizes.push_back(r);
        sizes.insert(sizes.end(), {4 * (g + 1), s, 4 * (g + 1), 4 * (g + 1), 48, 4, 1, r});
    } else {
        for (int k = 0; k < 6; ++k)
            sizes.push_back(r);
        sizes.insert(sizes.end(), {g + 1, s, 4 * (g + 1), g + 1, 48, 4, 1, r});
    }
    return sizes;
}

// Copies a zero-terminated text of at most n bytes, never reading past limit.
std::string textAt(const uint8_t* p, size_t n, const uint8_t* limit) {
    if (p >= limit) return {};
    n = std::min<size_t>(n, size_t(limit - p));
    return cp1251FieldToUtf8(p, n);
}

} // namespace

HeaderView::HeaderView(const RecorderImage& image) {
    const uint8_t* p = image.page(RecorderImage::HeaderPage);
    const uint8_t* limit = image.data() + RecorderImage::ImageSize;
    keyTable = p + 16;
    // With the largest counts the rows end some 15 KB after the page start,
    // far inside the image; the clamp keeps that true whatever changes.
    size_t pos = 16 + 8 * size_t(image.keyCount());
    for (size_t size : rowSizes(image.groupCount(), image.relayCount(), image.sensorCount())) {
        rows.push_back(p + std::min<size_t>(pos, size_t(limit - p)));
        pos += size;
    }
    end = p + std::min<size_t>(pos, size_t(limit - p));
    firmwareVersion = textAt(rows[versionRow()], 48, limit);
    serialNumber = textAt(rows[serialRow()], 4, limit);
}
