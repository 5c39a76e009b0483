#include <gtest/gtest.h>

#include <cerrno>

#include "common/errorExc.h"
#include "device/DeviceChooser.h"
#include "device/ReaderDevice.h"
#include "testsupport/LinkFakes.h"

namespace {

using Calls = std::vector<std::string>;

const Calls kReadsOnly = {"getNumDevices", "open 0",         "getPartNumber 0",
                          "getMaxPower 0", "getSelfPower 0", "getBaudRateConfig 0"};

std::string openMessage(RecordingBridgeLibrary& library, RecordingLinkUi& ui) {
    try {
        LineHandle handle = openReaderDevice(library, ui);
        return handle ? "(open)" : "(null)";
    } catch (const errorExc& e) {
        return e.message();
    }
}

TEST(OpenReaderDevice, ConfiguredBridgeIsOnlyReadAndNoChoiceIsOffered) {
    RecordingBridgeLibrary library;
    RecordingLinkUi ui;
    LineHandle handle = openReaderDevice(library, ui);
    ASSERT_TRUE(handle);
    EXPECT_EQ(library.calls, kReadsOnly);
    EXPECT_TRUE(ui.events.empty());
    EXPECT_EQ(library.openHandles(), 1);
}

TEST(OpenReaderDevice, UnconfiguredBridgeIsWrittenInOrder) {
    RecordingBridgeLibrary library;
    library.bridges[0].maxPower = 25;
    library.bridges[0].selfPower = 1;
    library.bridges[0].table = BaudTable{};
    RecordingLinkUi ui;
    LineHandle handle = openReaderDevice(library, ui);
    EXPECT_EQ(library.calls, (Calls{"getNumDevices", "open 0", "getPartNumber 0", "getMaxPower 0",
                                    "setMaxPower 0 50", "getSelfPower 0", "setSelfPower 0 0",
                                    "getBaudRateConfig 0", "setBaudRateConfig 0"}));
    for (size_t row = 0; row < BaudTableRows; ++row)
        EXPECT_EQ(library.bridges[0].table[row],
                  row >= 7 && row <= 12 ? RequiredBaudRow : BaudTableEntry{})
            << row;
}

TEST(OpenReaderDevice, OneDifferingFieldGivesOneTableWriteWithOtherRowsKept) {
    struct Case {
        size_t row;
        std::function<void(BaudTableEntry&)> spoil;
    };
    const Case cases[] = {
        {7, [](BaudTableEntry& e) { e.valueA = 0xFF41; }},
        {9, [](BaudTableEntry& e) { e.valueB = 0; }},
        {11, [](BaudTableEntry& e) { e.valueC = 2; }},
        {12, [](BaudTableEntry& e) { e.baudRate = 256000; }},
    };
    for (const Case& c : cases) {
        RecordingBridgeLibrary library;
        c.spoil(library.bridges[0].table[c.row]);
        RecordingLinkUi ui;
        LineHandle handle = openReaderDevice(library, ui);
        Calls expected = kReadsOnly;
        expected.push_back("setBaudRateConfig 0");
        EXPECT_EQ(library.calls, expected) << c.row;
        ASSERT_TRUE(library.writtenTable);
        EXPECT_EQ(*library.writtenTable, configuredBaudTable()) << c.row;
    }
}

TEST(OpenReaderDevice, RefusedModelAndFailuresCloseTheHandle) {
    struct Case {
        std::string failing; // operation that fails; empty: model code 1
        std::string message;
    };
    const Case cases[] = {
        {"", "Неизвестное устройство считывания"},
        {"getMaxPower", "Ошибка функции GetMaxPower()"},
        {"setMaxPower", "Ошибка функции SetMaxPower()"},
        {"getSelfPower", "Ошибка функции GetSelfPower()"},
        {"setSelfPower", "Ошибка функции SetSelfPower()"},
        {"getBaudRateConfig", "Ошибка функции GetBaudRateConfig()"},
        {"setBaudRateConfig", "Ошибка функции SetBaudRateConfig()"},
    };
    for (const Case& c : cases) {
        RecordingBridgeLibrary library;
        auto& bridge = library.bridges[0];
        if (c.failing.empty()) bridge.partNumber = 1;
        // A set fails only when it is needed.
        bridge.maxPower = 10, bridge.selfPower = 1, bridge.table[8].valueC = 0;
        if (!c.failing.empty()) library.failures[c.failing] = BridgeLibrary::DeviceIoFailed;
        RecordingLinkUi ui;
        EXPECT_EQ(openMessage(library, ui), c.message);
        EXPECT_EQ(library.openHandles(), 0) << c.message;
        EXPECT_EQ(library.calls.back(), "close 0") << c.message;
    }
}

TEST(OpenReaderDevice, FailingModelQueryIsIgnored) {
    RecordingBridgeLibrary library;
    library.failures["getPartNumber"] = BridgeLibrary::FunctionNotSupported;
    RecordingLinkUi ui;
    LineHandle handle = openReaderDevice(library, ui);
    EXPECT_EQ(library.calls, kReadsOnly);
}

TEST(OpenReaderDevice, CountAndOpenFailures) {
    RecordingLinkUi ui;
    RecordingBridgeLibrary none;
    none.bridges.clear();
    EXPECT_EQ(openMessage(none, ui), "Устройство считывания не обнаружено");

    RecordingBridgeLibrary countFails;
    countFails.failures["getNumDevices"] = BridgeLibrary::DeviceIoFailed;
    EXPECT_EQ(openMessage(countFails, ui), "Устройство считывания не обнаружено");

    RecordingBridgeLibrary openFails;
    openFails.failures["open"] = BridgeLibrary::DeviceIoFailed;
    openFails.openError = 31;
    EXPECT_EQ(openMessage(openFails, ui), "не могу открыть USB-порт 31");
    // A port the user may not open: the reason in words and the way to access.
    const std::string denied = cannotOpenPort(EACCES).detail();
    EXPECT_EQ(denied.rfind("Permission denied: ", 0), 0u) << denied;
    EXPECT_NE(denied.find("udev"), std::string::npos);
    EXPECT_NE(denied.find("dialout и plugdev"), std::string::npos);

    // A failed open that still gave a handle hands it over unconfigured.
    RecordingBridgeLibrary halfOpen;
    halfOpen.failures["open"] = BridgeLibrary::DeviceIoFailed;
    halfOpen.failedOpenGivesHandle = true;
    EXPECT_EQ(openMessage(halfOpen, ui), "(open)");
    EXPECT_EQ(halfOpen.calls, (Calls{"getNumDevices", "open 0", "close 0"}));
}

TEST(OpenReaderDevice, SeveralBridgesTakeTheOneShownLast) {
    RecordingBridgeLibrary library;
    library.bridges.resize(3);
    RecordingLinkUi ui;
    ui.onChooseDevice = [&](DeviceChooser& chooser) {
        EXPECT_EQ(chooser.deviceCount(), 3);
        EXPECT_EQ(library.openHandles(), 1); // bridge 0 blinks
        chooser.previous();                  // at the first: nothing
        chooser.next();
        chooser.next();
        chooser.next(); // at the last: nothing
        chooser.previous();
        EXPECT_EQ(chooser.deviceIndex(), 1);
    };
    LineHandle handle = openReaderDevice(library, ui);
    ASSERT_TRUE(handle);
    EXPECT_EQ(ui.events, Calls{"device"});
    Calls expected = {"getNumDevices", "open 0", "close 0", "open 1", "close 1",        "open 2",
                      "close 2",       "open 1", "close 1", "open 1", "getPartNumber 1"};
    ASSERT_GE(library.calls.size(), expected.size());
    EXPECT_EQ(Calls(library.calls.begin(), library.calls.begin() + long(expected.size())),
              expected);
    EXPECT_EQ(library.openHandles(), 1);
}

TEST(DeviceChooser, FailingOpenIsReportedAndTheChoiceGoesOn) {
    RecordingBridgeLibrary library;
    library.bridges.resize(2);
    library.openError = 2;
    std::vector<std::string> reports;
    library.failures["open"] = BridgeLibrary::DeviceNotFound;
    {
        DeviceChooser chooser(library, 2, [&](const std::string& m) { reports.push_back(m); });
        EXPECT_FALSE(chooser.deviceOpen());
        library.failures.clear();
        chooser.next();
        EXPECT_TRUE(chooser.deviceOpen());
        EXPECT_TRUE(chooser.atLast());
    } // however the choice ends, the handle is closed
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].substr(0, reports[0].find('\n')), "не могу открыть USB-порт 2");
    EXPECT_NE(reports[0].find("\nNo such file or directory: устройство считывания отключено"),
              std::string::npos)
        << reports[0];
    EXPECT_EQ(library.openHandles(), 0);
}

} // namespace
