#pragma once
// The passport data in the writable area (pages 0 to 7). Every field is a
// position inside the image. PassportView reads a const image; WritableView
// writes, and building it first gives erased text and name slots the defaults
// that applyPassportDefaults stores. A PassportView reads such erased slots
// as those defaults, so what it shows does not depend on whether they were
// stored yet.
#include <cstdint>
#include <string>

class RecorderImage;

// Where the fields lie, for an image whose heads are located.
struct PassportLayout {
    static constexpr size_t TextBlockSize = 2112;
    static constexpr size_t NameSlotSize = 32;
    static constexpr size_t MaxTextChars = TextBlockSize - 1;
    static constexpr size_t MaxNameChars = NameSlotSize - 1;
    static constexpr size_t CommissioningOffset = 2112; // little-endian calendar seconds
    static constexpr size_t InstallationOffset = 2116;  // likewise
    static constexpr size_t ServiceLifeOffset = 2120;
    static constexpr size_t NamesOffset = 2121; // nameCount slots of 32 bytes

    // Name slots offered: the header's discrete-channel count; six for an
    // erased header (0xFF); never more than fit in the writable area.
    unsigned nameCount;
    size_t groupOffset; // the passport group, after the last name slot

    explicit PassportLayout(const RecorderImage& image);
};

// The fields' positions in an image, read-only (const uint8_t) or writable
// (uint8_t), and what both views read through them.
template <class Byte> class PassportFields : public PassportLayout {
public:
    Byte* textBlock;
    Byte* commissioningDate;
    Byte* installationDate;
    Byte* serviceLife;
    Byte* mechanismNames;
    Byte* passportGroup;

    std::string text() const; // UTF-8; empty when erased
    // UTF-8; "Механизм №01" and so on when erased, empty past nameCount.
    std::string mechanismName(unsigned j) const;
    int32_t commissioning() const;
    int32_t installation() const;

protected:
    PassportFields(const RecorderImage& image, Byte* writableArea);
};

class PassportView : public PassportFields<const uint8_t> {
public:
    explicit PassportView(const RecorderImage& image);
};

class WritableView : public PassportFields<uint8_t> {
public:
    explicit WritableView(RecorderImage& image);

    void setCommissioning(int32_t t);
    void setInstallation(int32_t t);

    // Store UTF-8 texts as recorder bytes. They return false and store nothing
    // when a character has no recorder form or the text is longer than the slot.
    bool setText(const std::string& utf8);
    bool setMechanismName(unsigned j, const std::string& utf8);
};

// Stores the defaults of erased passport fields: an erased text block becomes
// empty (all zero), an erased name slot "Механизм №NN". Dates, service life
// and group keep their bytes. The analysis does this once it has found events,
// so a saved or written image carries them.
void applyPassportDefaults(RecorderImage& image);
