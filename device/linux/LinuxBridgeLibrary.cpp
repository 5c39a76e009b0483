#include "device/linux/LinuxBridgeLibrary.h"

#include <algorithm>
#include <cerrno>

#include "device/linux/BridgeLine.h"
#include "device/linux/SysfsBridges.h"

namespace {

constexpr uint8_t VendorIn = 0xC0, VendorOut = 0x40, StandardIn = 0x80;
constexpr uint8_t VendorRequest = 0xFF, GetDescriptor = 0x06;
constexpr uint16_t ConfigDescriptor = 0x0200;
constexpr uint16_t PartNumberValue = 0x370B, MaxPowerValue = 0x3706, SelfPowerValue = 0x3705,
                   BaudTableValue = 0x3709;
constexpr uint8_t PartCp2102 = 0x02, PartCp2103 = 0x03;
constexpr uint8_t MaxPowerLimit = 250; // 500 mA in 2 mA units
constexpr uint8_t AttributesBase = 0x80, AttributeSelfPowered = 0x40;

int statusOf(int transferred, uint16_t expected) {
    if (transferred >= 0)
        return transferred == expected ? BridgeLibrary::Success : BridgeLibrary::DeviceIoFailed;
    switch (transferred) {
    case UsbAccess::ErrorNoDevice:
    case UsbAccess::ErrorNotFound:
        return BridgeLibrary::DeviceNotFound;
    case UsbAccess::ErrorNotSupported:
        return BridgeLibrary::FunctionNotSupported;
    case UsbAccess::ErrorInvalidParam:
        return BridgeLibrary::InvalidParameter;
    default:
        return BridgeLibrary::DeviceIoFailed;
    }
}

} // namespace

class LinuxBridgeLibrary::Line : public BridgeLine {
public:
    Line(int fd, std::string path, const void* owner, size_t slot, UsbAddress usb)
        : BridgeLine(fd, std::move(path), owner, slot), usb(usb) {}
    UsbAddress usb;
    int partNumber = -1; // read once per handle
};

WireBaudTable packBaudTable(const BaudTable& table) {
    WireBaudTable wire{};
    for (size_t i = 0; i < BaudTableRows; ++i) {
        uint8_t* w = wire.data() + i * WireBaudRowSize;
        const BaudTableEntry& e = table[i];
        w[0] = uint8_t(e.valueA >> 8), w[1] = uint8_t(e.valueA);
        w[2] = uint8_t(e.valueB >> 8), w[3] = uint8_t(e.valueB);
        w[4] = e.valueC, w[5] = 0;
        for (int b = 0; b < 4; ++b)
            w[6 + b] = uint8_t(e.baudRate >> (8 * b));
    }
    return wire;
}

BaudTable unpackBaudTable(const WireBaudTable& wire) {
    BaudTable table{};
    for (size_t i = 0; i < BaudTableRows; ++i) {
        const uint8_t* w = wire.data() + i * WireBaudRowSize;
        BaudTableEntry& e = table[i];
        e.valueA = uint16_t(w[0] << 8 | w[1]);
        e.valueB = uint16_t(w[2] << 8 | w[3]);
        e.valueC = w[4];
        e.baudRate =
            uint32_t(w[6]) | uint32_t(w[7]) << 8 | uint32_t(w[8]) << 16 | uint32_t(w[9]) << 24;
    }
    return table;
}

LinuxBridgeLibrary::LinuxBridgeLibrary(std::unique_ptr<UsbAccess> usb, std::string sysRoot,
                                       std::string devRoot)
    : usb_(std::move(usb)), sysRoot_(std::move(sysRoot)), devRoot_(std::move(devRoot)) {}

int LinuxBridgeLibrary::getNumDevices(uint32_t& count) {
    count = uint32_t(findCp210xTtys(sysRoot_).size());
    return Success;
}

int LinuxBridgeLibrary::open(uint32_t index, LineHandle& handle) {
    handle.reset();
    auto ttys = findCp210xTtys(sysRoot_);
    if (index >= ttys.size()) {
        lastError_ = ENODEV;
        return DeviceNotFound;
    }
    std::unique_ptr<Line> line;
    if (int error = BridgeLine::open(devRoot_ + "/" + ttys[index].name, line, this, size_t(index),
                                     ttys[index].usb)) {
        lastError_ = error;
        return error == ENOENT || error == ENODEV || error == ENXIO ? DeviceNotFound
                                                                    : DeviceIoFailed;
    }
    handle = std::move(line);
    return Success;
}

LinuxBridgeLibrary::Line* LinuxBridgeLibrary::lineOf(SerialLine& handle) {
    return BridgeLine::of<Line>(handle, this);
}

int LinuxBridgeLibrary::vendorIn(Line& line, uint16_t value, uint8_t* data, uint16_t length) {
    // Some models execute an IN request to 0x3701..0x3708 as a write: only
    // the reads known to be reads are ever sent.
    if (value != PartNumberValue && value != BaudTableValue && value != 0x370A)
        return InvalidParameter;
    return statusOf(
        usb_->controlTransfer(line.usb, VendorIn, VendorRequest, value, 0, data, length), length);
}

int LinuxBridgeLibrary::vendorOut(Line& line, uint16_t value, uint16_t index, uint8_t* data,
                                  uint16_t length) {
    return statusOf(
        usb_->controlTransfer(line.usb, VendorOut, VendorRequest, value, index, data, length),
        length);
}

int LinuxBridgeLibrary::readPartNumber(Line& line, uint8_t& code) {
    if (line.partNumber < 0) {
        uint8_t byte = 0;
        if (int status = vendorIn(line, PartNumberValue, &byte, 1)) return status;
        line.partNumber = byte;
    }
    code = uint8_t(line.partNumber);
    return Success;
}

int LinuxBridgeLibrary::readConfigDescriptor(Line& line, uint8_t& attributes, uint8_t& maxPower) {
    // The standard request asks the bridge itself, not a copy cached at enumeration.
    uint8_t descriptor[9] = {};
    int transferred = usb_->controlTransfer(line.usb, StandardIn, GetDescriptor, ConfigDescriptor,
                                            0, descriptor, sizeof descriptor);
    if (int status = statusOf(transferred, sizeof descriptor)) return status;
    if (descriptor[1] != 0x02) return DeviceIoFailed;
    attributes = descriptor[7];
    maxPower = descriptor[8];
    return Success;
}

int LinuxBridgeLibrary::requireTableModel(Line& line) {
    uint8_t part = 0;
    if (int status = readPartNumber(line, part)) return status;
    return part == PartCp2102 || part == PartCp2103 ? Success : FunctionNotSupported;
}

int LinuxBridgeLibrary::getPartNumber(SerialLine& handle, uint8_t& code) {
    Line* line = lineOf(handle);
    return line ? readPartNumber(*line, code) : InvalidHandle;
}

int LinuxBridgeLibrary::getMaxPower(SerialLine& handle, uint8_t& value) {
    Line* line = lineOf(handle);
    if (!line) return InvalidHandle;
    uint8_t attributes = 0;
    return readConfigDescriptor(*line, attributes, value);
}

int LinuxBridgeLibrary::setMaxPower(SerialLine& handle, uint8_t value) {
    Line* line = lineOf(handle);
    if (!line) return InvalidHandle;
    if (value > MaxPowerLimit) return InvalidParameter;
    if (int status = requireTableModel(*line)) return status;
    return vendorOut(*line, MaxPowerValue, value, nullptr, 0);
}

int LinuxBridgeLibrary::getSelfPower(SerialLine& handle, int32_t& selfPowered) {
    Line* line = lineOf(handle);
    if (!line) return InvalidHandle;
    uint8_t attributes = 0, maxPower = 0;
    if (int status = readConfigDescriptor(*line, attributes, maxPower)) return status;
    selfPowered = (attributes & AttributeSelfPowered) ? 1 : 0;
    return Success;
}

int LinuxBridgeLibrary::setSelfPower(SerialLine& handle, int32_t selfPowered) {
    Line* line = lineOf(handle);
    if (!line) return InvalidHandle;
    if (int status = requireTableModel(*line)) return status;
    uint16_t attributes = AttributesBase | (selfPowered ? AttributeSelfPowered : 0);
    return vendorOut(*line, SelfPowerValue, attributes, nullptr, 0);
}

int LinuxBridgeLibrary::getBaudRateConfig(SerialLine& handle, BaudTable& table) {
    Line* line = lineOf(handle);
    if (!line) return InvalidHandle;
    if (int status = requireTableModel(*line)) return status;
    WireBaudTable wire{};
    if (int status = vendorIn(*line, BaudTableValue, wire.data(), uint16_t(wire.size())))
        return status;
    table = unpackBaudTable(wire);
    return Success;
}

int LinuxBridgeLibrary::setBaudRateConfig(SerialLine& handle, const BaudTable& table) {
    Line* line = lineOf(handle);
    if (!line) return InvalidHandle;
    if (int status = requireTableModel(*line)) return status;
    // The bridge takes the table followed by two zero bytes.
    std::array<uint8_t, sizeof(WireBaudTable) + 2> data{};
    WireBaudTable wire = packBaudTable(table);
    std::copy(wire.begin(), wire.end(), data.begin());
    return vendorOut(*line, BaudTableValue, 0, data.data(), uint16_t(data.size()));
}
