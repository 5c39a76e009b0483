#pragma once
// The passport data in the writable area (pages 0 to 7). Every field is a
// position inside the image: reading and writing through the view changes the
// image. Building the view gives erased text and name slots their defaults.
#include <cstdint>
#include <string>

class RecorderImage;

class WritableView {
public:
    static constexpr size_t TextBlockSize = 2112;
    static constexpr size_t NameSlotSize = 32;
    static constexpr size_t MaxTextChars = TextBlockSize - 1;
    static constexpr size_t MaxNameChars = NameSlotSize - 1;

    explicit WritableView(RecorderImage& image);

    uint8_t* textBlock;
    uint8_t* commissioningDate;  // little-endian calendar seconds
    uint8_t* installationDate;   // likewise
    uint8_t* serviceLife;
    uint8_t* mechanismNames;     // nameCount slots of 32 bytes
    uint8_t* passportGroup;

    // Name slots offered: the header's discrete-channel count; six for an
    // erased header (0xFF); never more than fit in the writable area.
    unsigned nameCount;

    std::string text() const;                 // UTF-8
    std::string mechanismName(unsigned j) const;
    int32_t commissioning() const;
    int32_t installation() const;
    void setCommissioning(int32_t t);
    void setInstallation(int32_t t);

    // Store UTF-8 texts as recorder bytes. They return false and store nothing
    // when a character has no recorder form or the text is longer than the slot.
    bool setText(const std::string& utf8);
    bool setMechanismName(unsigned j, const std::string& utf8);
};
