#pragma once
// The bridges of the kernel's cp210x driver: counted and opened as their ttys,
// configured through USB vendor requests while the driver stays bound.
#include <array>
#include <string>

#include "device/BridgeLibrary.h"
#include "device/linux/UsbAccess.h"

// The bridge's wire form of the table: per row BaudGen and Timer0Reload
// big-endian, the prescaler, a reserved 0 byte, the rate little-endian.
constexpr size_t WireBaudRowSize = 10;
using WireBaudTable = std::array<uint8_t, BaudTableRows * WireBaudRowSize>;
WireBaudTable packBaudTable(const BaudTable& table);
BaudTable unpackBaudTable(const WireBaudTable& wire);

class LinuxBridgeLibrary : public BridgeLibrary {
public:
    explicit LinuxBridgeLibrary(std::unique_ptr<UsbAccess> usb, std::string sysRoot = "/sys",
                                std::string devRoot = "/dev");

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

private:
    class Line;

    Line* lineOf(SerialLine& handle);
    int readPartNumber(Line& line, uint8_t& code);
    int readConfigDescriptor(Line& line, uint8_t& attributes, uint8_t& maxPower);
    // Writes and the table only on the models that have the table: the
    // configuration cannot be completed on others, so nothing is stored there.
    int requireTableModel(Line& line);
    int vendorIn(Line& line, uint16_t value, uint8_t* data, uint16_t length);
    int vendorOut(Line& line, uint16_t value, uint16_t index, uint8_t* data, uint16_t length);

    std::unique_ptr<UsbAccess> usb_;
    std::string sysRoot_, devRoot_;
    long lastError_ = 0;
};
