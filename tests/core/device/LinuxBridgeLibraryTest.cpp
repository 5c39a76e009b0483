#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

#include "device/ReaderDevice.h"
#include "device/linux/LinuxBridgeLibrary.h"
#include "device/linux/TermiosLine.h"
#include "testsupport/LinkFakes.h"
#include "testsupport/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct Transfer {
    uint8_t requestType, request;
    uint16_t value, index, length;
    std::vector<uint8_t> out; // data sent with an OUT request
};

// USB devices by address, answering the bridge's requests from their state.
class FakeUsb : public UsbAccess {
public:
    struct Device {
        uint8_t partNumber = 0x02;
        uint8_t attributes = 0xC0, maxPower = 0x32;
        WireBaudTable table{};
    };
    std::map<std::pair<uint8_t, uint8_t>, Device> devices;
    std::vector<Transfer>& log;
    std::optional<int> failWith; // result of every transfer
    bool shortAnswers = false;

    explicit FakeUsb(std::vector<Transfer>& log) : log(log) {}

    int controlTransfer(const UsbAddress& address, uint8_t requestType, uint8_t request,
                        uint16_t value, uint16_t index, uint8_t* data, uint16_t length) override {
        Transfer t{requestType, request, value, index, length, {}};
        if (!(requestType & 0x80)) t.out.assign(data, data + length);
        log.push_back(t);
        // Reads the chip may execute as writes must never be sent.
        EXPECT_FALSE(requestType == 0xC0 && value >= 0x3701 && value <= 0x3708) << value;
        if (failWith) return *failWith;
        auto it = devices.find({address.bus, address.device});
        if (it == devices.end()) return ErrorNoDevice;
        Device& d = it->second;
        int n = length;
        if (requestType == 0x80 && request == 0x06 && value == 0x0200) {
            uint8_t descriptor[9] = {9, 2, 32, 0, 1, 1, 0, d.attributes, d.maxPower};
            std::copy(descriptor, descriptor + std::min<int>(9, length), data);
        } else if (requestType == 0xC0 && value == 0x370B) {
            data[0] = d.partNumber;
        } else if (requestType == 0xC0 && value == 0x3709) {
            std::copy(d.table.begin(), d.table.begin() + std::min<int>(320, length), data);
        } else if (requestType == 0x40 && value == 0x3706) {
            d.maxPower = uint8_t(index);
        } else if (requestType == 0x40 && value == 0x3705) {
            d.attributes = uint8_t(index);
        } else if (requestType == 0x40 && value == 0x3709) {
            std::copy(data, data + 320, d.table.begin());
        } else {
            return ErrorPipe;
        }
        return shortAnswers && n > 0 ? n - 1 : n;
    }
};

// A sysfs tree with ttys of several drivers, and a /dev whose ttys are pseudo-terminals.
class LinuxBridgeLibraryTest : public ::testing::Test {
protected:
    LinuxBridgeLibraryTest() {
        addTty("ttyUSB10", "cp210x", 3, 7);
        addTty("ttyUSB2", "cp210x", 1, 4);
        addTty("ttyUSB1", "ftdi_sio", 1, 5);
        addTty("ttyS0", "serial8250", 0, 0);
        auto usb = std::make_unique<FakeUsb>(log);
        fake = usb.get();
        fake->devices[{1, 4}] = {};
        fake->devices[{3, 7}] = {};
        library = std::make_unique<LinuxBridgeLibrary>(
            std::move(usb), (dir.path() / "sys").string(), (dir.path() / "dev").string());
    }
    ~LinuxBridgeLibraryTest() override {
        for (int fd : masters)
            ::close(fd);
    }

    void addTty(const std::string& name, const std::string& driver, int bus, int device) {
        fs::path usbDevice = dir.path() / "sys/devices/usb" / (name + "-dev");
        fs::path interface = usbDevice / "1-1:1.0";
        fs::create_directories(interface);
        fs::create_directories(dir.path() / "sys/bus/usb-serial/drivers" / driver);
        fs::create_symlink(dir.path() / "sys/bus/usb-serial/drivers" / driver,
                           interface / "driver");
        std::ofstream(usbDevice / "busnum") << bus << "\n";
        std::ofstream(usbDevice / "devnum") << device << "\n";
        fs::create_directories(dir.path() / "sys/class/tty" / name);
        fs::create_symlink(interface, dir.path() / "sys/class/tty" / name / "device");
        int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ::grantpt(master);
        ::unlockpt(master);
        masters.push_back(master);
        fs::create_directories(dir.path() / "dev");
        fs::create_symlink(::ptsname(master), dir.path() / "dev" / name);
    }

    LineHandle open(uint32_t index) {
        LineHandle handle;
        EXPECT_EQ(library->open(index, handle), BridgeLibrary::Success);
        return handle;
    }

    TempDir dir;
    std::vector<int> masters;
    std::vector<Transfer> log;
    FakeUsb* fake;
    std::unique_ptr<LinuxBridgeLibrary> library;
};

TEST(BaudTableWireForm, PacksBigEndianReloadsAndLittleEndianRate) {
    BaudTable table{};
    table[0] = RequiredBaudRow;
    table[31] = {0x1234, 0x5678, 0x9A, 0xBCDEF012};
    WireBaudTable wire = packBaudTable(table);
    EXPECT_EQ(std::vector<uint8_t>(wire.begin(), wire.begin() + 10),
              (std::vector<uint8_t>{0xFF, 0x40, 0xFF, 0xB8, 0x01, 0x00, 0x48, 0xE8, 0x01, 0x00}));
    EXPECT_EQ(std::vector<uint8_t>(wire.end() - 10, wire.end()),
              (std::vector<uint8_t>{0x12, 0x34, 0x56, 0x78, 0x9A, 0x00, 0x12, 0xF0, 0xDE, 0xBC}));
    EXPECT_EQ(unpackBaudTable(wire), table);
}

TEST_F(LinuxBridgeLibraryTest, OnlyCp210xTtysInNumericOrder) {
    uint32_t count = 0;
    EXPECT_EQ(library->getNumDevices(count), BridgeLibrary::Success);
    EXPECT_EQ(count, 2u);
    auto first = open(0);
    auto* tty = dynamic_cast<TermiosLine*>(first.get());
    ASSERT_TRUE(tty);
    EXPECT_EQ(fs::path(tty->path()).filename(), "ttyUSB2");
    // The USB device behind it answers the configuration requests.
    uint8_t part = 0;
    EXPECT_EQ(library->getPartNumber(*first, part), BridgeLibrary::Success);
    fake->devices[{3, 7}].partNumber = 0x03;
    auto second = open(1);
    EXPECT_EQ(library->getPartNumber(*second, part), BridgeLibrary::Success);
    EXPECT_EQ(part, 0x03);
    LineHandle none;
    EXPECT_EQ(library->open(2, none), BridgeLibrary::DeviceNotFound);
    EXPECT_FALSE(none);
}

TEST_F(LinuxBridgeLibraryTest, UnconfiguredBridgeGetsTheRequestsInOrder) {
    fake->devices[{1, 4}].maxPower = 0x19;
    RecordingLinkUi ui;
    LineHandle handle = openReaderDevice(*library, ui);
    ASSERT_TRUE(handle);
    struct Expected {
        uint8_t requestType;
        uint16_t value, index, length;
    };
    const Expected expected[] = {
        {0xC0, 0x370B, 0, 1},    // part number
        {0x80, 0x0200, 0, 9},    // configuration descriptor: maximum power
        {0x40, 0x3706, 50, 0},   // set maximum power
        {0x80, 0x0200, 0, 9},    // descriptor: self-powered
        {0x40, 0x3705, 0x80, 0}, // bus-powered
        {0xC0, 0x3709, 0, 320},  // table
        {0x40, 0x3709, 0, 322},  // table and two zero bytes
    };
    ASSERT_EQ(log.size(), std::size(expected));
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].requestType, expected[i].requestType) << i;
        EXPECT_EQ(log[i].value, expected[i].value) << i;
        EXPECT_EQ(log[i].index, expected[i].index) << i;
        EXPECT_EQ(log[i].length, expected[i].length) << i;
        EXPECT_EQ(log[i].request, expected[i].requestType == 0x80 ? 0x06 : 0xFF) << i;
    }
    const auto& written = log.back().out;
    EXPECT_EQ(written[320], 0);
    EXPECT_EQ(written[321], 0);
    BaudTable table = unpackBaudTable(fake->devices[{1, 4}].table);
    for (size_t row = 0; row < BaudTableRows; ++row)
        EXPECT_EQ(table[row], row >= 7 && row <= 12 ? RequiredBaudRow : BaudTableEntry{}) << row;

    // Configured now: the next connection only reads.
    log.clear();
    handle.reset();
    handle = openReaderDevice(*library, ui);
    ASSERT_EQ(log.size(), 4u);
    for (const Transfer& t : log)
        EXPECT_TRUE(t.requestType & 0x80);
}

TEST_F(LinuxBridgeLibraryTest, SelfPowerFlagComesFromTheDescriptor) {
    auto handle = open(0);
    int32_t self = -1;
    fake->devices[{1, 4}].attributes = 0xC0;
    EXPECT_EQ(library->getSelfPower(*handle, self), BridgeLibrary::Success);
    EXPECT_EQ(self, 1);
    EXPECT_EQ(library->setSelfPower(*handle, 1), BridgeLibrary::Success);
    EXPECT_EQ(log.back().index, 0xC0);
    fake->devices[{1, 4}].attributes = 0x80;
    EXPECT_EQ(library->getSelfPower(*handle, self), BridgeLibrary::Success);
    EXPECT_EQ(self, 0);
    EXPECT_EQ(library->setMaxPower(*handle, 251), BridgeLibrary::InvalidParameter);
}

TEST_F(LinuxBridgeLibraryTest, TransferErrorsBecomeLibraryStatus) {
    auto handle = open(0);
    struct Case {
        int result;
        bool shortAnswer;
        int status;
    };
    const Case cases[] = {
        {UsbAccess::ErrorNoDevice, false, BridgeLibrary::DeviceNotFound},
        {UsbAccess::ErrorNotFound, false, BridgeLibrary::DeviceNotFound},
        {UsbAccess::ErrorPipe, false, BridgeLibrary::DeviceIoFailed},
        {UsbAccess::ErrorAccess, false, BridgeLibrary::DeviceIoFailed},
        {UsbAccess::ErrorNotSupported, false, BridgeLibrary::FunctionNotSupported},
        {0, true, BridgeLibrary::DeviceIoFailed},
    };
    for (const Case& c : cases) {
        fake->failWith = c.shortAnswer ? std::nullopt : std::optional<int>(c.result);
        fake->shortAnswers = c.shortAnswer;
        uint8_t power = 0;
        EXPECT_EQ(library->getMaxPower(*handle, power), c.status) << c.result;
    }
}

TEST_F(LinuxBridgeLibraryTest, ModelsWithoutTheTableGetNoWrites) {
    fake->devices[{1, 4}].partNumber = 0x04;
    auto handle = open(0);
    BaudTable table{};
    EXPECT_EQ(library->getBaudRateConfig(*handle, table), BridgeLibrary::FunctionNotSupported);
    EXPECT_EQ(library->setMaxPower(*handle, 50), BridgeLibrary::FunctionNotSupported);
    EXPECT_EQ(library->setSelfPower(*handle, 0), BridgeLibrary::FunctionNotSupported);
    EXPECT_EQ(library->setBaudRateConfig(*handle, table), BridgeLibrary::FunctionNotSupported);
    // One part-number query per handle, nothing else.
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].value, 0x370B);
}

TEST_F(LinuxBridgeLibraryTest, ForeignAndClosedHandlesAreInvalid) {
    std::unique_ptr<TermiosLine> foreign;
    ASSERT_EQ(TermiosLine::open(::ptsname(masters[0]), foreign), 0);
    uint8_t code = 0;
    EXPECT_EQ(library->getPartNumber(*foreign, code), BridgeLibrary::InvalidHandle);
    auto handle = open(0);
    handle->closeHandle();
    EXPECT_EQ(library->getPartNumber(*handle, code), BridgeLibrary::InvalidHandle);
    EXPECT_TRUE(log.empty());
}

} // namespace
