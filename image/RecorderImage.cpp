#include "image/RecorderImage.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "image/BigEndian.h"
#include "image/ImageFile.h"
#include "image/KeyCell.h"

RecorderImage::RecorderImage() : data_(new uint8_t[ImageSize]) {
    reset();
    // Defined values until the first locateHeads: empty rings, the settings
    // cursor on the log's first slot.
    settingsHeadPage_ = settingsCursorPage_ = settingsFirst_;
    settingsHeadOffset_ = settingsCursorOffset_ = 0;
}

RecorderImage::~RecorderImage() {
    delete[] data_;
}

void RecorderImage::swap(RecorderImage& other) noexcept {
    using std::swap;
    swap(data_, other.data_);
    swap(generalHead_, other.generalHead_);
    swap(countersHead_, other.countersHead_);
    swap(settingsHeadPage_, other.settingsHeadPage_);
    swap(settingsHeadOffset_, other.settingsHeadOffset_);
    swap(settingsCursorPage_, other.settingsCursorPage_);
    swap(settingsCursorOffset_, other.settingsCursorOffset_);
    swap(generalSeq_, other.generalSeq_);
    swap(countersSeq_, other.countersSeq_);
    swap(settingsSeq_, other.settingsSeq_);
    swap(groupCount_, other.groupCount_);
    swap(sensorCount_, other.sensorCount_);
    swap(relayCount_, other.relayCount_);
    swap(discreteCount_, other.discreteCount_);
    swap(headerByte0_, other.headerByte0_);
    swap(keyCount_, other.keyCount_);
    swap(countersFirst_, other.countersFirst_);
    swap(countersCount_, other.countersCount_);
    swap(generalFirst_, other.generalFirst_);
    swap(generalCount_, other.generalCount_);
    swap(writableFirst_, other.writableFirst_);
    swap(writableCount_, other.writableCount_);
    swap(settingsFirst_, other.settingsFirst_);
    swap(settingsCount_, other.settingsCount_);
}

void RecorderImage::reset() {
    std::memset(data_, 0xFF, ImageSize);
    countersFirst_ = 513;
    countersCount_ = 31;
    generalFirst_ = countersFirst_ + countersCount_;
    generalCount_ = PageCount - generalFirst_;
    writableFirst_ = 0;
    writableCount_ = 8;
    settingsFirst_ = 8;
    settingsCount_ = 504;
    generalHead_ = generalFirst_;
    countersHead_ = countersFirst_;
}

bool RecorderImage::load(const std::string& path, bool createIfMissing) {
    return loadImageFile(*this, path, createIfMissing);
}

void RecorderImage::save(const std::string& path) const {
    saveImageFile(*this, path);
}

uint8_t RecorderImage::keyCellOf(const uint8_t* key) const {
    return keyCellIn(*this, key);
}

void RecorderImage::locateHeads() {
    const uint8_t* header = page(HeaderPage);
    headerByte0_ = header[0];
    keyCount_ = header[1];
    sensorCount_ = header[2];
    groupCount_ = header[3];
    relayCount_ = header[4];
    discreteCount_ = header[5];

    uint16_t v = readU16(header + 6);
    if (v != 0xFFFF) {
        // A count that would push the general log past the last page is not
        // believed: the regions keep their default sizes.
        countersCount_ = v <= MaxCountersCount ? v : 31;
        generalFirst_ = countersFirst_ + countersCount_;
        generalCount_ = PageCount - generalFirst_;
        generalHead_ = generalFirst_;
    }

    // General log: one broken page is tolerated.
    const uint32_t generalEnd = generalFirst_ + generalCount_;
    generalHead_ = generalFirst_;
    generalSeq_ = 0xFF;
    for (uint32_t i = generalFirst_; i < generalEnd; ++i) {
        uint8_t s = page(i)[7];
        if (i == generalFirst_) {
            generalHead_ = i;
            generalSeq_ = s;
            if (s == 0xFF) break;
        } else if (s == nextSeq(generalSeq_)) {
            generalHead_ = i;
            generalSeq_ = s;
        } else if (i + 1 < generalEnd && page(i + 1)[7] == nextSeq(nextSeq(generalSeq_))) {
            ++i;
            generalHead_ = i;
            generalSeq_ = page(i)[7];
        } else {
            break;
        }
    }
    if (generalSeq_ != 0xFF) {
        ++generalHead_;
        if (generalHead_ >= generalEnd) generalHead_ = generalFirst_;
    }

    // Counters: no tolerance; the head names the newest page itself.
    countersHead_ = countersFirst_;
    countersSeq_ = 0xFF;
    for (uint32_t i = countersFirst_; i < countersFirst_ + countersCount_; ++i) {
        uint8_t s = page(i)[7];
        if (i == countersFirst_) {
            countersHead_ = i;
            countersSeq_ = s;
            if (s == 0xFF) break;
        } else if (s == nextSeq(countersSeq_)) {
            countersHead_ = i;
            countersSeq_ = s;
        } else {
            break;
        }
    }

    // Settings log: slot by slot, no tolerance.
    settingsHeadPage_ = settingsFirst_;
    settingsHeadOffset_ = 0;
    settingsSeq_ = 0xFF;
    bool first = true;
    bool stop = false;
    for (uint32_t i = settingsFirst_; i < settingsFirst_ + settingsCount_ && !stop; ++i) {
        for (uint32_t j = 0; j < SettingsPerPage; ++j) {
            uint8_t s = page(i)[SettingsRecordSize * j + 7];
            if (first) {
                first = false;
                settingsHeadPage_ = i;
                settingsHeadOffset_ = SettingsRecordSize * j;
                settingsSeq_ = s;
                if (s == 0xFF) {
                    stop = true;
                    break;
                }
            } else if (s == nextSeq(settingsSeq_)) {
                settingsHeadPage_ = i;
                settingsHeadOffset_ = SettingsRecordSize * j;
                settingsSeq_ = s;
            } else {
                stop = true;
                break;
            }
        }
    }
    if (settingsSeq_ != 0xFF) advanceSlot(settingsHeadPage_, settingsHeadOffset_);
}

void RecorderImage::advanceSlot(uint32_t& pg, uint32_t& offset) const {
    offset += SettingsRecordSize;
    if (offset + SettingsRecordSize > PageSize - 1) {
        offset = 0;
        ++pg;
        if (pg >= settingsFirst_ + settingsCount_) pg = settingsFirst_;
    }
}

uint32_t RecorderImage::nextGeneralPage(uint32_t p) const {
    uint32_t n = p + 1;
    if (n >= generalFirst_ + generalCount_) n = generalFirst_;
    return n == generalHead_ ? EndOfWalk : n;
}

void RecorderImage::rewindSettings() {
    settingsCursorPage_ = settingsHeadPage_;
    settingsCursorOffset_ = settingsHeadOffset_;
}

bool RecorderImage::stepSettings() {
    advanceSlot(settingsCursorPage_, settingsCursorOffset_);
    return !(settingsCursorPage_ == settingsHeadPage_ &&
             settingsCursorOffset_ == settingsHeadOffset_);
}
