#include "testsupport/ImageBuilder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include "common/Text1251.h"
#include "image/BigEndian.h"
#include "image/HeaderView.h"
#include "image/WritableView.h"

namespace {

void storeText(uint8_t* field, size_t size, const std::string& utf8) {
    auto conv = utf8ToCp1251(utf8);
    if (!conv.ok) throw std::invalid_argument("text without a Windows-1251 form: " + utf8);
    std::memset(field, 0, size);
    std::memcpy(field, conv.bytes.data(), std::min(size, conv.bytes.size()));
}

} // namespace

KeyCode makeKey(uint64_t serial48, uint8_t family) {
    KeyCode k{};
    k[7] = family;
    for (int i = 0; i < 6; ++i)
        k[1 + i] = uint8_t(serial48 >> (8 * i));
    // CRC over bytes 7..1 (the lookup's order), so that the full 8 bytes give 0.
    uint8_t crc = 0;
    for (int i = 7; i >= 1; --i) {
        uint8_t byte = k[i];
        for (int bit = 0; bit < 8; ++bit) {
            uint8_t f = (byte ^ crc) & 1;
            crc >>= 1;
            if (f) crc ^= 0x8C;
            byte >>= 1;
        }
    }
    k[0] = crc;
    return k;
}

ImageBuilder::ImageBuilder(RecorderImage& image) : image_(image) {
    image_.reset();
    image_.locateHeads();
}

ImageBuilder& ImageBuilder::header(const Header& h) {
    uint8_t* p = image_.page(RecorderImage::HeaderPage);
    p[0] = h.byte0;
    p[1] = uint8_t(h.keyCount >= 0 ? h.keyCount : int(h.keys.size()));
    p[2] = h.sensors;
    p[3] = h.groups;
    p[4] = h.relays;
    p[5] = h.discretes;
    writeU16(p + 6, h.countersPages);
    std::memset(p + 8, 0, 8);
    for (size_t j = 0; j < h.keys.size(); ++j)
        std::memcpy(p + 16 + 8 * j, h.keys[j].data(), 8);
    image_.locateHeads();
    HeaderView view(image_);
    // The recorder's own settings arrays: zeros, then the two texts.
    uint8_t* varStart = p + 16 + 8 * size_t(p[1]);
    std::memset(varStart, 0, size_t(view.end - varStart));
    storeText(const_cast<uint8_t*>(view.rows[view.versionRow()]), 48, h.firmware);
    auto serial = utf8ToCp1251(h.serial);
    uint8_t* serialRow = const_cast<uint8_t*>(view.rows[view.serialRow()]);
    std::memset(serialRow, 0, 4);
    std::memcpy(serialRow, serial.bytes.data(), std::min<size_t>(4, serial.bytes.size()));
    return *this;
}

ImageBuilder& ImageBuilder::passport(const Passport& p) {
    WritableView w(image_);
    storeText(w.textBlock, WritableView::TextBlockSize, p.text);
    w.setCommissioning(p.commissioningDate);
    w.setInstallation(p.installationDate);
    *w.serviceLife = p.serviceLife;
    for (unsigned j = 0; j < w.nameCount && j < p.names.size(); ++j)
        storeText(w.mechanismNames + 32 * j, 32, p.names[j]);
    *w.passportGroup = p.passportGroup;
    return *this;
}

ImageBuilder& ImageBuilder::settings(const Stamp& when, const KeyCode& key, uint8_t type,
                                     const std::array<uint8_t, 9>& payload) {
    const uint32_t slots = image_.settingsCount() * RecorderImage::SettingsPerPage;
    uint32_t slot = settingsSlot_ % slots;
    uint8_t* r = image_.page(image_.settingsFirst() + slot / RecorderImage::SettingsPerPage) +
                 RecorderImage::SettingsRecordSize * (slot % RecorderImage::SettingsPerPage);
    when.storeTo(r);
    r[7] = settingsSeq_;
    std::memcpy(r + 8, key.data(), 8);
    r[16] = type;
    std::memcpy(r + 17, payload.data(), 9);
    settingsSlot_ = (slot + 1) % slots;
    settingsSeq_ = RecorderImage::nextSeq(settingsSeq_);
    ++settingsWritten_;
    return *this;
}

ImageBuilder& ImageBuilder::settingsAt(uint32_t slot, uint8_t seq) {
    settingsSlot_ = slot;
    settingsSeq_ = seq;
    return *this;
}

ImageBuilder& ImageBuilder::generalPage(const Stamp& stamp,
                                        const std::vector<GeneralRecord>& records) {
    if (records.size() > 65) throw std::invalid_argument("a general-log page holds 65 records");
    uint32_t index = generalIndex_ % image_.generalCount();
    uint8_t* p = image_.page(image_.generalFirst() + index);
    std::memset(p, 0xFF, RecorderImage::PageSize);
    stamp.storeTo(p);
    p[7] = generalSeq_;
    for (size_t k = 0; k < records.size(); ++k) {
        uint8_t* r = p + 8 * (k + 1);
        r[0] = records[k].type;
        writeU16(r + 1, records[k].offsetTenths);
        std::memcpy(r + 3, records[k].payload.data(), 5);
    }
    generalIndex_ = (index + 1) % image_.generalCount();
    generalSeq_ = RecorderImage::nextSeq(generalSeq_);
    ++generalWritten_;
    return *this;
}

ImageBuilder& ImageBuilder::generalAt(uint32_t pageIndex, uint8_t seq) {
    generalIndex_ = pageIndex;
    generalSeq_ = seq;
    return *this;
}

ImageBuilder& ImageBuilder::garbageGeneralPage(uint8_t seq) {
    uint32_t index = generalIndex_ % image_.generalCount();
    uint8_t* p = image_.page(image_.generalFirst() + index);
    std::memset(p, 0xFF, RecorderImage::PageSize);
    p[7] = seq;
    generalIndex_ = (index + 1) % image_.generalCount();
    generalSeq_ = RecorderImage::nextSeq(generalSeq_);
    return *this;
}

ImageBuilder& ImageBuilder::countersPage(const std::vector<uint8_t>& body) {
    return countersPage(body, Stamp{});
}

ImageBuilder& ImageBuilder::countersPage(const std::vector<uint8_t>& body, const Stamp& stamp) {
    if (image_.countersCount() == 0) return *this;
    uint32_t index = countersIndex_ % image_.countersCount();
    uint8_t* p = image_.page(image_.countersFirst() + index);
    std::memset(p, 0xFF, RecorderImage::PageSize);
    stamp.storeTo(p);
    p[7] = countersSeq_;
    // An empty body has no data pointer to copy from.
    if (!body.empty())
        std::memcpy(p + 8, body.data(), std::min<size_t>(body.size(), RecorderImage::PageSize - 8));
    countersIndex_ = (index + 1) % image_.countersCount();
    countersSeq_ = RecorderImage::nextSeq(countersSeq_);
    return *this;
}

ImageBuilder& ImageBuilder::countersAt(uint32_t pageIndex, uint8_t seq) {
    countersIndex_ = pageIndex;
    countersSeq_ = seq;
    return *this;
}

RecorderImage& ImageBuilder::done() {
    image_.locateHeads();
    return image_;
}

std::vector<uint8_t> countersBody(const std::vector<CountersColumn>& columns,
                                  const std::vector<uint32_t>& operatingSeconds) {
    const size_t stride = 4 * columns.size();
    std::vector<uint8_t> body(7 * stride + 4 * operatingSeconds.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        writeFloat(&body[0 * stride + 4 * i], columns[i].spectrum);
        writeFloat(&body[1 * stride + 4 * i], columns[i].liftedKg);
        for (int m = 0; m < 4; ++m)
            writeU32(&body[(2 + m) * stride + 4 * i], columns[i].modes[m]);
        writeU32(&body[6 * stride + 4 * i], columns[i].overloads);
    }
    for (size_t j = 0; j < operatingSeconds.size(); ++j)
        writeU32(&body[7 * stride + 4 * j], operatingSeconds[j]);
    return body;
}

std::array<uint8_t, 2> be16(uint16_t v) {
    return {uint8_t(v >> 8), uint8_t(v)};
}
std::array<uint8_t, 4> be32(uint32_t v) {
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}
std::array<uint8_t, 4> beFloat(float v) {
    return be32(std::bit_cast<uint32_t>(v));
}

Stamp stampAt(int64_t utcSeconds, uint8_t tenths) {
    time_t t = time_t(utcSeconds);
    struct tm f = {};
    gmtime_r(&t, &f);
    return Stamp(f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec, tenths);
}
