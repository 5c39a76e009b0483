#pragma once
// The bridges the kernel's cp210x driver has made into ttys, found in sysfs.
#include <cstdint>
#include <string>
#include <vector>

struct UsbAddress {
    uint8_t bus = 0;
    uint8_t device = 0;
    bool operator==(const UsbAddress&) const = default;
};

struct BridgeTty {
    std::string name; // ttyUSB3
    UsbAddress usb;
};

// ttyUSB* bound to the cp210x driver, ordered by their number. sysRoot is "/sys"
// except in tests.
std::vector<BridgeTty> findCp210xTtys(const std::string& sysRoot);
