#include "device/emulated/EmulatedBridgeLibrary.h"

#include <cerrno>
#include <sstream>

#include "device/linux/BridgeLine.h"

EmulatedBridgeLibrary::Config EmulatedBridgeLibrary::factoryConfig() {
    Config c{};
    c.maxPower = 25;
    c.selfPower = 1;
    // Every row at the rate it is named for: 24 MHz / (prescaler × (65536 − reload)).
    static const uint32_t rates[BaudTableRows] = {
        2000000, 1500000, 1200000, 921600, 576000, 500000, 460800, 256000, 250000, 230400, 153600,
        128000,  115200,  76800,   57600,  56000,  51200,  38400,  28800,  19200,  16000,  14400,
        9600,    7200,    4800,    4000,   2400,   1800,   1200,   600,    300,    300};
    for (size_t i = 0; i < BaudTableRows; ++i) {
        uint8_t prescaler = rates[i] < 1000 ? 4 : 1;
        uint32_t divisor = 24000000u / (prescaler * rates[i]);
        c.table[i] = {uint16_t(65536 - divisor), uint16_t(65536 - divisor * 3 / 8), prescaler,
                      rates[i]};
    }
    return c;
}

EmulatedBridgeLibrary::EmulatedBridgeLibrary(std::vector<std::string> paths)
    : paths_(std::move(paths)), configs_(paths_.size(), factoryConfig()) {}

std::vector<std::string> EmulatedBridgeLibrary::parsePaths(const std::string& list) {
    std::vector<std::string> paths;
    std::stringstream in(list);
    std::string path;
    while (std::getline(in, path, ':'))
        if (!path.empty()) paths.push_back(path);
    return paths;
}

int EmulatedBridgeLibrary::getNumDevices(uint32_t& count) {
    count = uint32_t(paths_.size());
    return Success;
}

int EmulatedBridgeLibrary::open(uint32_t index, LineHandle& handle) {
    handle.reset();
    if (index >= paths_.size()) {
        lastError_ = ENODEV;
        return DeviceNotFound;
    }
    std::unique_ptr<BridgeLine> line;
    if (int error = BridgeLine::open(paths_[index], line, this, size_t(index))) {
        lastError_ = error;
        return DeviceIoFailed;
    }
    handle = std::move(line);
    return Success;
}

EmulatedBridgeLibrary::Config* EmulatedBridgeLibrary::configOf(SerialLine& handle) {
    BridgeLine* line = BridgeLine::of<BridgeLine>(handle, this);
    return line ? &configs_[line->slot()] : nullptr;
}

int EmulatedBridgeLibrary::getPartNumber(SerialLine& handle, uint8_t& code) {
    if (!configOf(handle)) return InvalidHandle;
    code = PartNumber;
    return Success;
}

int EmulatedBridgeLibrary::getMaxPower(SerialLine& handle, uint8_t& value) {
    Config* c = configOf(handle);
    if (!c) return InvalidHandle;
    value = c->maxPower;
    return Success;
}

int EmulatedBridgeLibrary::setMaxPower(SerialLine& handle, uint8_t value) {
    Config* c = configOf(handle);
    if (!c) return InvalidHandle;
    if (value > 250) return InvalidParameter;
    c->maxPower = value;
    return Success;
}

int EmulatedBridgeLibrary::getSelfPower(SerialLine& handle, int32_t& selfPowered) {
    Config* c = configOf(handle);
    if (!c) return InvalidHandle;
    selfPowered = c->selfPower;
    return Success;
}

int EmulatedBridgeLibrary::setSelfPower(SerialLine& handle, int32_t selfPowered) {
    Config* c = configOf(handle);
    if (!c) return InvalidHandle;
    c->selfPower = selfPowered ? 1 : 0;
    return Success;
}

int EmulatedBridgeLibrary::getBaudRateConfig(SerialLine& handle, BaudTable& table) {
    Config* c = configOf(handle);
    if (!c) return InvalidHandle;
    table = c->table;
    return Success;
}

int EmulatedBridgeLibrary::setBaudRateConfig(SerialLine& handle, const BaudTable& table) {
    Config* c = configOf(handle);
    if (!c) return InvalidHandle;
    c->table = table;
    return Success;
}
