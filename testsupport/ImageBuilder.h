#pragma once
// States a recorder memory in a few readable lines: header counts and key
// table, firmware version and serial number, passport data, settings records,
// general-log pages and counters pages, with sequence numbers that run on and
// wrap around the rings the way the recorder writes them.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "image/RecorderImage.h"
#include "image/Stamp.h"

using KeyCode = std::array<uint8_t, 8>;

// A valid 1-Wire key code (family byte, 48-bit serial, CRC) in storage order:
// CRC first, family last, so the key lookup's CRC over it gives 0.
KeyCode makeKey(uint64_t serial48, uint8_t family = 0x01);
// A code the lookup treats as invalid: eight equal bytes.
inline KeyCode erasedKey() {
    return KeyCode{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
}

// One column of a counters page: a load group, or the crane as a whole last.
struct CountersColumn {
    float spectrum = 0; // sum of the cycles' relative loads cubed
    float liftedKg = 0;
    uint32_t modes[4] = {0, 0, 0, 0}; // cycles in Q1..Q4
    uint32_t overloads = 0;
};

// A counters page body (from byte 8): the seven column arrays, then the
// mechanisms' operating times in seconds.
std::vector<uint8_t> countersBody(const std::vector<CountersColumn>& columns,
                                  const std::vector<uint32_t>& operatingSeconds);

struct GeneralRecord {
    uint8_t type;
    uint16_t offsetTenths; // from the page's stamp
    std::array<uint8_t, 5> payload{};
};

class ImageBuilder {
public:
    struct Header {
        uint8_t byte0 = 0;
        uint8_t sensors = 4;
        uint8_t groups = 2;
        uint8_t relays = 3;
        uint8_t discretes = 6;
        uint16_t countersPages = 0xFFFF;
        std::vector<KeyCode> keys;
        int keyCount = -1;                    // -1: the size of keys
        std::string firmware = "ОПН-1 v2.14"; // UTF-8, stored as Windows-1251
        std::string serial = "0417";
    };

    struct Passport {
        std::string text = "Кран мостовой, зав. № 1375";
        int32_t commissioningDate = 1262304000; // 2010-01-01 00:00 UTC
        int32_t installationDate = 1293840000;  // 2011-01-01 00:00 UTC
        uint8_t serviceLife = 20;
        std::vector<std::string> names = {"Главный подъём", "Вспом. подъём", "Тележка",
                                          "Мост",           "Стрела",        "Поворот"};
        uint8_t passportGroup = 5;
    };

    // Starts from an erased image (reset).
    explicit ImageBuilder(RecorderImage& image);

    // Writes page 512 and locates the heads so that region bounds follow it.
    ImageBuilder& header(const Header& h);
    ImageBuilder& header() { return header(Header{}); }
    ImageBuilder& passport(const Passport& p);

    // Settings log: the next slot after the last one written, with the next
    // sequence number; wraps from the last slot of the log to the first.
    ImageBuilder& settings(const Stamp& when, const KeyCode& key, uint8_t type,
                           const std::array<uint8_t, 9>& payload = {});
    // Moves the settings write position (slot index from the log's start) and
    // the sequence number the next record takes.
    ImageBuilder& settingsAt(uint32_t slot, uint8_t seq);

    // General log: the next page of the ring with the next sequence number.
    ImageBuilder& generalPage(const Stamp& stamp, const std::vector<GeneralRecord>& records);
    ImageBuilder& generalAt(uint32_t pageIndex, uint8_t seq);
    // A page whose sequence byte breaks the chain (records left erased).
    ImageBuilder& garbageGeneralPage(uint8_t seq);

    // Counters region: bytes from offset 8 of the next page of the ring.
    ImageBuilder& countersPage(const std::vector<uint8_t>& body);
    // The same with the time the recorder wrote the snapshot in bytes 0 to 6.
    ImageBuilder& countersPage(const std::vector<uint8_t>& body, const Stamp& stamp);
    ImageBuilder& countersAt(uint32_t pageIndex, uint8_t seq);

    // Locates the heads and hands the image back.
    RecorderImage& done();

    uint32_t settingsWritten() const { return settingsWritten_; }
    uint32_t generalWritten() const { return generalWritten_; }

private:
    RecorderImage& image_;
    uint32_t settingsSlot_ = 0;
    uint8_t settingsSeq_ = 0;
    uint32_t generalIndex_ = 0;
    uint8_t generalSeq_ = 0;
    uint32_t countersIndex_ = 0;
    uint8_t countersSeq_ = 0;
    uint32_t settingsWritten_ = 0;
    uint32_t generalWritten_ = 0;
};

// The stamp whose fields are the UTC breakdown of utcSeconds: a way to step
// through valid calendar fields (the program reads them as local time).
Stamp stampAt(int64_t utcSeconds, uint8_t tenths = 0);

// Big-endian payload helpers for records and counters.
std::array<uint8_t, 2> be16(uint16_t v);
std::array<uint8_t, 4> be32(uint32_t v);
std::array<uint8_t, 4> beFloat(float v);
