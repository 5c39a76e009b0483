#pragma once
// Where the fields of the header page (page 512) lie, for the counts the image
// took when its heads were located. Positions point into the image; the two
// texts are copies (UTF-8).
#include <cstdint>
#include <string>
#include <vector>

class RecorderImage;

class HeaderView {
public:
    explicit HeaderView(const RecorderImage& image);

    const uint8_t* keyTable = nullptr;
    // Start of every row of the variable part, in layout order (25 rows for
    // up to three relays, 20 for four or more).
    std::vector<const uint8_t*> rows;
    std::string firmwareVersion;  // at most 48 recorder characters
    std::string serialNumber;     // at most 4 recorder characters
    const uint8_t* end = nullptr; // just past the last row

    // Index into rows of the version and serial-number rows.
    size_t versionRow() const { return rows.size() - 4; }
    size_t serialRow() const { return rows.size() - 3; }
};
