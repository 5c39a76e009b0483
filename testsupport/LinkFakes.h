#pragma once
// Stand-ins for what the device link talks to: a bridge library that records
// every call, a LinkUi that records what it was shown and answers as scripted,
// a priority that records its changes, and the reader emulator on a thread.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "device/BridgeLibrary.h"
#include "device/LinkUi.h"
#include "device/ProcessPriority.h"
#include "testsupport/ReaderEmulator.h"

// The baud table of a bridge configured for the reader.
BaudTable configuredBaudTable();

class RecordingBridgeLibrary : public BridgeLibrary {
public:
    struct Bridge {
        uint8_t partNumber = 0x02;
        uint8_t maxPower = 50;
        int32_t selfPower = 0;
        BaudTable table = configuredBaudTable();
    };

    std::vector<Bridge> bridges = {Bridge{}};
    // Status a named operation ("getMaxPower", ...) returns instead of working.
    std::map<std::string, int> failures;
    bool failedOpenGivesHandle = false;
    long openError = 5;

    // "open 0", "getMaxPower 0", "setMaxPower 0 50", "close 0", ...
    std::vector<std::string> calls;
    std::optional<BaudTable> writtenTable;
    int openHandles() const { return openHandles_; }

    int getNumDevices(uint32_t& count) override;
    int open(uint32_t index, LineHandle& handle) override;
    int getPartNumber(SerialLine& handle, uint8_t& code) override;
    int getMaxPower(SerialLine& handle, uint8_t& value) override;
    int setMaxPower(SerialLine& handle, uint8_t value) override;
    int getSelfPower(SerialLine& handle, int32_t& selfPowered) override;
    int setSelfPower(SerialLine& handle, int32_t selfPowered) override;
    int getBaudRateConfig(SerialLine& handle, BaudTable& table) override;
    int setBaudRateConfig(SerialLine& handle, const BaudTable& table) override;
    long lastError() const override { return openError; }

private:
    class Handle;
    // Records the call; the bridge it is about, or null when it is to fail with status.
    Bridge* enter(const std::string& name, SerialLine& handle, int& status,
                  const std::string& argument = "");

    int openHandles_ = 0;
};

class RecordingLinkUi : public LinkUi {
public:
    std::function<void(DeviceChooser&)> onChooseDevice;
    // Returns false to press cancel; called for every progress update.
    std::function<bool(int value, const std::string& message)> onUpdate;

    // "device", "progress <title>|<message>", "progress closed",
    // "info <title>|<message>|<picture>", "error <message>"
    std::vector<std::string> events;
    // The detail of every error, in order (most are empty).
    std::vector<std::string> errorDetails;
    std::vector<std::pair<int, std::string>> updates;
    void chooseDevice(DeviceChooser& chooser) override;
    std::unique_ptr<Progress> openProgress(const std::string& title, const std::string& message,
                                           int maximum) override;
    void info(const std::string& title, const std::string& message,
              const std::string& picture) override;
    void error(const std::string& message, const std::string& detail) override;
};

class RecordingPriority : public ProcessPriority {
public:
    std::vector<uint32_t> classes;
    bool setPriorityClass(uint32_t priorityClass) override {
        classes.push_back(priorityClass);
        return true;
    }
};

// The emulator serving memory on a thread for as long as this object lives.
class EmulatorThread {
public:
    EmulatorThread(RecorderImage& memory, EmulatorFaults faults = {})
        : emulator_(memory, std::move(faults)), thread_([this] { emulator_.serve(); }) {}
    ~EmulatorThread() { stop(); }
    // Returns once every byte that had arrived has been served.
    void stop() {
        if (!thread_.joinable()) return;
        emulator_.stop();
        thread_.join();
    }
    const std::string& path() const { return emulator_.path(); }
    ReaderEmulator::Stats stats() const { return emulator_.stats(); }

private:
    ReaderEmulator emulator_;
    std::thread thread_;
};
