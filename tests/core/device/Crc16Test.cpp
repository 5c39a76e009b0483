#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "device/Crc16.h"

namespace {

TEST(Crc16, KnownValues) {
    struct Case {
        std::vector<uint8_t> data;
        uint16_t crc;
    };
    auto text = [](const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); };
    const Case cases[] = {
        {{}, 0xFFFF},
        {text("abc"), 0xD278},
        {text("123456789"), 0xA69D},
        {std::vector<uint8_t>(528, 0xFF), 0x0868}, // an erased page
        {std::vector<uint8_t>(528, 0x00), 0xAB9D},
    };
    Crc16 crc;
    for (const Case& c : cases)
        EXPECT_EQ(crc.compute(c.data.data(), c.data.size()), c.crc);
    // Every call starts afresh.
    EXPECT_EQ(crc.compute(cases[1].data.data(), 3), 0xD278);
}

} // namespace
