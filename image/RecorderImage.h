#pragma once
// The in-memory copy of the recorder's flash: 8192 pages of 528 bytes, with the
// bounds of its regions, the heads of the three rings and the header counts.
// Its file (image/ImageFile.h) and the key-cell lookup (image/KeyCell.h) live
// in units of their own; load, save and keyCellOf forward to them.
#include <cstdint>
#include <memory>
#include <string>

class RecorderImage {
public:
    static constexpr uint32_t PageSize = 528;
    static constexpr uint32_t PageCount = 8192;
    static constexpr uint32_t ImageSize = PageSize * PageCount; // 0x420000
    static constexpr uint32_t HeaderPage = 512;
    static constexpr uint32_t SettingsRecordSize = 26;
    static constexpr uint32_t SettingsPerPage = 20;
    static constexpr uint32_t EndOfWalk = 0xFFFF;

    RecorderImage();
    ~RecorderImage();
    RecorderImage(const RecorderImage&) = delete;
    RecorderImage& operator=(const RecorderImage&) = delete;

    void reset();
    // Exchanges the content, the heads and the bounds with other's: an image
    // filled elsewhere (a read, a load) takes the place of this one at once.
    void swap(RecorderImage& other) noexcept;
    // loadImageFile and saveImageFile (image/ImageFile.h).
    bool load(const std::string& path, bool createIfMissing);
    void save(const std::string& path) const;

    uint8_t* data() { return data_; }
    const uint8_t* data() const { return data_; }
    // No bounds check: n is 0..8191.
    uint8_t* page(uint32_t n) { return data_ + size_t(n) * PageSize; }
    const uint8_t* page(uint32_t n) const { return data_ + size_t(n) * PageSize; }

    // Heads and sequence numbers (valid after locateHeads)
    uint32_t generalHead() const { return generalHead_; }
    uint32_t countersHead() const { return countersHead_; }
    uint32_t settingsHeadPage() const { return settingsHeadPage_; }
    uint32_t settingsHeadOffset() const { return settingsHeadOffset_; }
    uint32_t settingsCursorPage() const { return settingsCursorPage_; }
    uint32_t settingsCursorOffset() const { return settingsCursorOffset_; }
    uint8_t generalSeq() const { return generalSeq_; }
    uint8_t countersSeq() const { return countersSeq_; }
    uint8_t settingsSeq() const { return settingsSeq_; }

    // Header counts, copied from page 512 by locateHeads
    uint8_t groupCount() const { return groupCount_; }
    uint8_t sensorCount() const { return sensorCount_; }
    uint8_t relayCount() const { return relayCount_; }
    uint8_t discreteCount() const { return discreteCount_; }
    uint8_t headerByte0() const { return headerByte0_; }
    uint8_t keyCount() const { return keyCount_; }

    // Region bounds
    uint32_t countersFirst() const { return countersFirst_; }
    uint32_t countersCount() const { return countersCount_; }
    uint32_t generalFirst() const { return generalFirst_; }
    uint32_t generalCount() const { return generalCount_; }
    uint32_t writableFirst() const { return writableFirst_; }
    uint32_t writableCount() const { return writableCount_; }
    uint32_t settingsFirst() const { return settingsFirst_; }
    uint32_t settingsCount() const { return settingsCount_; }

    // Key cell (0-based) of a stored 8-byte key code; 255 = not registered;
    // an invalid code gives (byte 0 + 100) mod 256.
    uint8_t keyCellOf(const uint8_t* key) const;

    // Ring heads
    static uint8_t nextSeq(uint8_t s) { return s >= 254 ? 0 : uint8_t(s + 1); }
    void locateHeads();
    uint32_t nextGeneralPage(uint32_t p) const;
    // The image's own settings cursor; a walk that only reads takes a
    // SettingsCursor instead.
    void rewindSettings();
    const uint8_t* currentSettingsRecord() const {
        return page(settingsCursorPage_) + settingsCursorOffset_;
    }
    bool stepSettings();
    // The slot after page/offset in the settings ring.
    void advanceSlot(uint32_t& page, uint32_t& offset) const;

    // The largest counters page count that leaves the general log at least one page.
    static constexpr uint32_t MaxCountersCount = PageCount - 513 - 1;

private:
    uint8_t* data_;
    uint32_t generalHead_ = 0;
    uint32_t countersHead_ = 0;
    uint32_t settingsHeadPage_ = 0, settingsHeadOffset_ = 0;
    uint32_t settingsCursorPage_ = 0, settingsCursorOffset_ = 0;
    uint8_t generalSeq_ = 0xFF, countersSeq_ = 0xFF, settingsSeq_ = 0xFF;
    uint8_t groupCount_ = 0, sensorCount_ = 0, relayCount_ = 0, discreteCount_ = 0,
            headerByte0_ = 0, keyCount_ = 0;
    uint32_t countersFirst_ = 0, countersCount_ = 0;
    uint32_t generalFirst_ = 0, generalCount_ = 0;
    uint32_t writableFirst_ = 0, writableCount_ = 0;
    uint32_t settingsFirst_ = 0, settingsCount_ = 0;
};

// Walks the settings ring of a located image from its head slot (the oldest
// record once the ring has wrapped) once round, without changing the image.
class SettingsCursor {
public:
    explicit SettingsCursor(const RecorderImage& image)
        : image_(image), page_(image.settingsHeadPage()), offset_(image.settingsHeadOffset()) {}
    const uint8_t* record() const { return image_.page(page_) + offset_; }
    // Moves to the next slot; false once the walk is back at the head.
    bool step() {
        image_.advanceSlot(page_, offset_);
        return !(page_ == image_.settingsHeadPage() && offset_ == image_.settingsHeadOffset());
    }

private:
    const RecorderImage& image_;
    uint32_t page_, offset_;
};
