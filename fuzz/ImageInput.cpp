#include "ImageInput.h"

#include <algorithm>
#include <cstring>

#include "image/BigEndian.h"
#include "image/RecorderImage.h"

namespace fuzz {

namespace {

constexpr uint32_t PageSize = RecorderImage::PageSize;
constexpr uint32_t DefaultCounters = 31;
constexpr uint32_t DefaultGeneralFirst = 544;

// Where each block of the input goes, given the located region bounds.
struct Block {
    uint32_t page;
    uint32_t offset; // within the page
    uint32_t length;
    bool present; // a region too small to hold the block has none
};

std::vector<Block> blocksOf(const RecorderImage& image) {
    const uint32_t gFirst = image.generalFirst(), gCount = image.generalCount();
    const uint32_t sFirst = image.settingsFirst(), sCount = image.settingsCount();
    const uint32_t cFirst = image.countersFirst(), cCount = image.countersCount();
    std::vector<Block> b;
    for (uint32_t k = 0; k < 4; ++k)
        b.push_back({gFirst + k, 0, PageSize, k < gCount});
    for (uint32_t k = 0; k < 2; ++k)
        b.push_back({sFirst + k, 0, PageSize, k < sCount});
    b.push_back({RecorderImage::HeaderPage, 0, PageSize, true});
    b.push_back({cFirst, 0, PageSize, cCount > 0});
    b.push_back({image.writableFirst() + 4, 0, PageSize, true});
    b.push_back({image.writableFirst(), 0, uint32_t(TextPrefix), true});
    b.push_back({sFirst + sCount - 1, 0, PageSize, sCount > 0});
    b.push_back({RecorderImage::PageCount - 2, 0, PageSize, true});
    b.push_back({RecorderImage::PageCount - 1, 0, PageSize, true});
    b.push_back({cFirst + cCount - 1, 0, PageSize, cCount > 0});
    return b;
}

// The header block sits at this input offset, whatever the region bounds.
constexpr size_t HeaderAt = ControlSize + 6 * PageSize;

uint8_t at(const uint8_t* data, size_t size, size_t i) {
    return i < size ? data[i] : 0;
}

void fillChain(RecorderImage& image, const Control::Chain& c, uint32_t units,
               uint8_t* (*unit)(RecorderImage&, uint32_t), uint32_t length) {
    length = std::min(length, units);
    const uint32_t breakAt = c.breakAt ? uint32_t(uint64_t(length) * c.breakAt / 255) : length;
    uint8_t seq = c.first;
    for (uint32_t i = 0; i < length; ++i) {
        unit(image, i)[7] = i == breakAt ? c.breakValue : seq;
        seq = RecorderImage::nextSeq(seq);
    }
}

} // namespace

Control readControl(const uint8_t* d, size_t n) {
    Control c;
    auto u16 = [&](size_t i) { return uint16_t((at(d, n, i) << 8) | at(d, n, i + 1)); };
    c.mode = at(d, n, 0);
    c.filterBits = at(d, n, 1);
    c.weightBits = at(d, n, 2);
    c.scaleIndex = at(d, n, 3) % 13 - 1;
    c.width = u16(4) % 5001;
    c.height = u16(6) % 5001;
    c.marginX = at(d, n, 8);
    c.marginY = at(d, n, 9);
    c.rangeCutStart = at(d, n, 10);
    c.rangeCutEnd = at(d, n, 11);
    c.general = {at(d, n, 12), at(d, n, 13), at(d, n, 14), at(d, n, 15)};
    c.counters = {at(d, n, 16), u16(17), at(d, n, 19), at(d, n, 20)};
    // A full settings ring is 10,080 events: only 255 asks for it, so that
    // most inputs stay quick.
    const uint8_t slots = at(d, n, 22);
    c.settings = {at(d, n, 21), slots == 255 ? 504u * 20 : slots, at(d, n, 24), at(d, n, 25)};
    for (size_t k = 0; k < c.actions.size(); ++k) {
        uint8_t b = at(d, n, 26 + k);
        c.actions[k] = {uint8_t((b >> 4) % opCount), uint8_t(b & 15)};
    }
    return c;
}

FilterSettings filterFrom(const Control& c, int32_t minSeconds, int32_t maxSeconds) {
    static const uint32_t maxCounts[8] = {0, 1, 2, 10, 100, 1000, 65535, 0xFFFFFFFF};
    FilterSettings s;
    const int64_t span = int64_t(maxSeconds) - minSeconds;
    s.rangeStart = int32_t(minSeconds + span * c.rangeCutStart / 256);
    s.rangeEnd = int32_t(maxSeconds - span * c.rangeCutEnd / 256);
    s.direction = c.filterBits & 1;
    s.detail = (c.filterBits >> 1) & 7; // 5 to 7 lie outside the choice
    s.config = c.filterBits & 0x10;
    s.discrete = c.filterBits & 0x20;
    s.relays = c.filterBits & 0x40;
    for (size_t g = 0; g < 5; ++g)
        s.weights[g] = (c.weightBits >> g) & 1;
    s.maxCount = maxCounts[c.weightBits >> 5];
    return s;
}

void ImageInput::eraseTouched(RecorderImage& image) {
    // A full reset is dearer than a few pages, but the only way back to the
    // default region sizes, which a header of 0xFFFF keeps.
    if (image.countersCount() != DefaultCounters || image.generalFirst() != DefaultGeneralFirst ||
        touched_.size() > 64) {
        image.reset();
    } else {
        for (uint32_t p : touched_)
            std::memset(image.page(p), 0xFF, PageSize);
    }
    touched_.clear();
}

Control ImageInput::apply(RecorderImage& image, const uint8_t* data, size_t size) {
    eraseTouched(image);
    const Control c = readControl(data, size);
    // The pipeline writes the passport defaults into the writable area.
    for (uint32_t p = 0; p < image.writableCount(); ++p)
        touched_.push_back(image.writableFirst() + p);

    uint8_t* header = image.page(RecorderImage::HeaderPage);
    touched_.push_back(RecorderImage::HeaderPage);
    if (size > HeaderAt)
        std::memcpy(header, data + HeaderAt, std::min<size_t>(PageSize, size - HeaderAt));
    if (!(c.mode & rawHeader)) {
        header[1] %= 9;  // keys
        header[2] %= 9;  // sensors
        header[3] %= 5;  // groups
        header[4] %= 10; // relays
        header[5] = 6;
        writeU16(header + 6, 0xFFFF);
    }
    image.locateHeads(); // region bounds follow the header

    size_t pos = ControlSize;
    for (const Block& b : blocksOf(image)) {
        if (pos >= size) break;
        const size_t n = std::min<size_t>(b.length, size - pos);
        if (b.present && b.page != RecorderImage::HeaderPage) {
            std::memcpy(image.page(b.page) + b.offset, data + pos, n);
            touched_.push_back(b.page);
        }
        pos += b.length;
    }

    auto touchRange = [&](uint32_t first, uint32_t count) {
        for (uint32_t p = first; p < first + count; ++p)
            touched_.push_back(p);
    };
    if (c.mode & fillGeneral) {
        const uint32_t n = uint32_t(uint64_t(image.generalCount()) * c.general.length / 255);
        fillChain(
            image, c.general, image.generalCount(),
            [](RecorderImage& im, uint32_t i) { return im.page(im.generalFirst() + i); }, n);
        touchRange(image.generalFirst(), n);
    }
    if (c.mode & fillCounters) {
        fillChain(
            image, c.counters, image.countersCount(),
            [](RecorderImage& im, uint32_t i) { return im.page(im.countersFirst() + i); },
            c.counters.length);
        touchRange(image.countersFirst(), std::min(c.counters.length, image.countersCount()));
    }
    if (c.mode & fillSettings) {
        const uint32_t slots = image.settingsCount() * RecorderImage::SettingsPerPage;
        fillChain(
            image, c.settings, slots,
            [](RecorderImage& im, uint32_t i) {
                return im.page(im.settingsFirst() + i / RecorderImage::SettingsPerPage) +
                       RecorderImage::SettingsRecordSize * (i % RecorderImage::SettingsPerPage);
            },
            c.settings.length);
        const uint32_t n = std::min(c.settings.length, slots);
        touchRange(image.settingsFirst(),
                   (n + RecorderImage::SettingsPerPage - 1) / RecorderImage::SettingsPerPage);
    }
    image.locateHeads();
    return c;
}

std::vector<uint8_t> encodeInput(const RecorderImage& image,
                                 const std::array<uint8_t, ControlSize>& control) {
    std::vector<uint8_t> out(control.begin(), control.end());
    for (const Block& b : blocksOf(image)) {
        const uint8_t* p = image.page(b.page) + b.offset;
        if (b.present)
            out.insert(out.end(), p, p + b.length);
        else
            out.insert(out.end(), b.length, 0xFF);
    }
    // Erased pages at the end need not be stated.
    while (out.size() > ControlSize && out.back() == 0xFF)
        out.pop_back();
    return out;
}

} // namespace fuzz
