#include "device/linux/SysfsBridges.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

bool readNumber(const fs::path& file, unsigned long& value) {
    std::ifstream in(file);
    return bool(in >> value);
}

// The number after "ttyUSB", or -1 for any other name.
long ttyNumber(const std::string& name) {
    const std::string prefix = "ttyUSB";
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    std::string digits = name.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::strtol(digits.c_str(), nullptr, 10);
}

} // namespace

std::vector<BridgeTty> findCp210xTtys(const std::string& sysRoot) {
    std::vector<std::pair<long, BridgeTty>> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(sysRoot) / "class/tty", ec)) {
        std::string name = entry.path().filename().string();
        long number = ttyNumber(name);
        if (number < 0) continue;
        fs::path device = entry.path() / "device";
        fs::path driver = fs::read_symlink(device / "driver", ec);
        if (ec || driver.filename() != "cp210x") continue;
        // device is the USB interface; its parent folder is the USB device.
        fs::path usbDevice = fs::canonical(device, ec).parent_path();
        unsigned long bus = 0, address = 0;
        if (ec || !readNumber(usbDevice / "busnum", bus) ||
            !readNumber(usbDevice / "devnum", address))
            continue;
        found.push_back({number, BridgeTty{name, UsbAddress{uint8_t(bus), uint8_t(address)}}});
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<BridgeTty> result;
    for (auto& [number, tty] : found)
        result.push_back(std::move(tty));
    return result;
}
