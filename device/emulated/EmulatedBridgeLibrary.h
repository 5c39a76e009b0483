#pragma once
// Bridges for tests and demonstrations: each is a serial device path (a
// pseudo-terminal of the reader emulator, say) opened through the same tty
// code as a real bridge, with its configuration kept in memory. They start
// unconfigured, so a first connection writes the configuration.
#include <string>
#include <vector>

#include "device/BridgeLibrary.h"

class EmulatedBridgeLibrary : public BridgeLibrary {
public:
    static constexpr uint8_t PartNumber = 0x02;

    struct Config {
        uint8_t maxPower;
        int32_t selfPower;
        BaudTable table;
    };
    // The configuration a bridge leaves the factory with.
    static Config factoryConfig();

    explicit EmulatedBridgeLibrary(std::vector<std::string> paths);
    // The paths of a colon-separated list (empty entries left out).
    static std::vector<std::string> parsePaths(const std::string& list);

    int getNumDevices(uint32_t& count) override;
    int open(uint32_t index, LineHandle& handle) override;
    int getPartNumber(SerialLine& handle, uint8_t& code) override;
    int getMaxPower(SerialLine& handle, uint8_t& value) override;
    int setMaxPower(SerialLine& handle, uint8_t value) override;
    int getSelfPower(SerialLine& handle, int32_t& selfPowered) override;
    int setSelfPower(SerialLine& handle, int32_t selfPowered) override;
    int getBaudRateConfig(SerialLine& handle, BaudTable& table) override;
    int setBaudRateConfig(SerialLine& handle, const BaudTable& table) override;
    long lastError() const override { return lastError_; }

    const Config& config(size_t index) const { return configs_[index]; }

private:
    Config* configOf(SerialLine& handle);

    std::vector<std::string> paths_;
    std::vector<Config> configs_;
    long lastError_ = 0;
};
