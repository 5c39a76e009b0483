#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "device/DeviceChooser.h"
#include "device/Platform.h"
#include "device/ReaderDevice.h"
#include "device/emulated/EmulatedBridgeLibrary.h"
#include "device/linux/NicePriority.h"
#include "testsupport/LinkFakes.h"

namespace {

TEST(EmulatedBridges, PathsComeFromTheEnvironmentInOrder) {
    EXPECT_EQ(EmulatedBridgeLibrary::parsePaths("/dev/pts/3::/tmp/x:"),
              (std::vector<std::string>{"/dev/pts/3", "/tmp/x"}));
    ::setenv("GRUVIK2_BRIDGES", "/nonexistent/a:/nonexistent/b", 1);
    auto library = systemBridgeLibrary();
    ::unsetenv("GRUVIK2_BRIDGES");
    uint32_t count = 0;
    EXPECT_EQ(library->getNumDevices(count), BridgeLibrary::Success);
    EXPECT_EQ(count, 2u);
    LineHandle handle;
    EXPECT_EQ(library->open(1, handle), BridgeLibrary::DeviceIoFailed);
    EXPECT_EQ(library->lastError(), ENOENT);
    EXPECT_EQ(library->open(2, handle), BridgeLibrary::DeviceNotFound);
    EXPECT_FALSE(handle);
}

TEST(EmulatedBridges, StartUnconfiguredAndKeepTheirConfiguration) {
    RecorderImage memory;
    EmulatorThread a(memory), b(memory);
    EmulatedBridgeLibrary library({a.path(), b.path()});
    RecordingLinkUi ui;
    ui.onChooseDevice = [](DeviceChooser& chooser) { chooser.next(); };
    LineHandle handle = openReaderDevice(library, ui);
    ASSERT_TRUE(handle);
    EXPECT_EQ(library.config(1).maxPower, RequiredMaxPower);
    EXPECT_EQ(library.config(1).selfPower, 0);
    EXPECT_EQ(library.config(1).table[10], RequiredBaudRow);
    // Rows outside 7..12 keep the factory's values; the other bridge is untouched.
    const auto factory = EmulatedBridgeLibrary::factoryConfig();
    EXPECT_EQ(library.config(1).table[13], factory.table[13]);
    EXPECT_NE(factory.table[10], RequiredBaudRow);
    EXPECT_EQ(library.config(0).maxPower, factory.maxPower);
    EXPECT_NE(factory.maxPower, RequiredMaxPower);

    // Handles of another library are not this one's.
    EmulatedBridgeLibrary other({a.path()});
    uint8_t power = 0;
    EXPECT_EQ(other.getMaxPower(*handle, power), BridgeLibrary::InvalidHandle);
}

TEST(NicePriority, HighThenNormalPutsTheNiceValueBack) {
    errno = 0;
    const int before = ::getpriority(PRIO_PROCESS, 0);
    NicePriority priority;
    bool raised = priority.setPriorityClass(ProcessPriority::HighPriorityClass);
    if (raised) {
        EXPECT_EQ(::getpriority(PRIO_PROCESS, 0), NicePriority::HighNice);
    }
    EXPECT_TRUE(priority.setPriorityClass(ProcessPriority::NormalPriorityClass));
    EXPECT_EQ(::getpriority(PRIO_PROCESS, 0), before);
    EXPECT_FALSE(priority.setPriorityClass(0x40));
}

TEST(ReaderEmulatorPages, ListsAndRanges) {
    std::set<uint32_t> pages;
    EXPECT_TRUE(parsePageList("3,10-12,8191", pages));
    EXPECT_EQ(pages, (std::set<uint32_t>{3, 10, 11, 12, 8191}));
    for (const char* bad : {"x", "5-", "8192", "7-3", "1,,2"}) {
        std::set<uint32_t> ignored;
        EXPECT_FALSE(parsePageList(bad, ignored)) << bad;
    }
}

} // namespace
