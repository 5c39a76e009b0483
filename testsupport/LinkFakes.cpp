#include "testsupport/LinkFakes.h"

#include "device/DeviceChooser.h"
#include "device/ReaderDevice.h"

BaudTable configuredBaudTable() {
    BaudTable table{};
    for (size_t i = 0; i < BaudTableRows; ++i)
        table[i] = {uint16_t(0xFF00 + i), uint16_t(0xFE00 + i), 1, uint32_t(9600 * (i + 1))};
    for (size_t i = RequiredRowFirst; i <= RequiredRowLast; ++i)
        table[i] = RequiredBaudRow;
    return table;
}

class RecordingBridgeLibrary::Handle : public SerialLine {
public:
    Handle(RecordingBridgeLibrary& owner, uint32_t index) : owner_(owner), index(index) {
        ++owner_.openHandles_;
    }
    ~Handle() override {
        if (open_) closeHandle();
    }
    bool getCommState(LineState&) override { return false; }
    bool setCommState(const LineState&) override { return false; }
    bool setCommTimeouts(const CommTimeouts&) override { return false; }
    bool readFile(uint8_t*, uint32_t, uint32_t& got) override { return got = 0, false; }
    bool writeFile(const uint8_t*, uint32_t, uint32_t& written) override {
        return written = 0, false;
    }
    bool closeHandle() override {
        if (!open_) return false;
        open_ = false;
        --owner_.openHandles_;
        owner_.calls.push_back("close " + std::to_string(index));
        return true;
    }
    long lastError() const override { return 0; }

    RecordingBridgeLibrary& owner_;
    uint32_t index;
    bool open_ = true;
};

RecordingBridgeLibrary::Bridge* RecordingBridgeLibrary::enter(const std::string& name,
                                                              SerialLine& handle, int& status,
                                                              const std::string& argument) {
    auto* h = dynamic_cast<Handle*>(&handle);
    calls.push_back(name + " " + (h ? std::to_string(h->index) : "?") +
                    (argument.empty() ? "" : " " + argument));
    if (auto it = failures.find(name); it != failures.end()) {
        status = it->second;
        return nullptr;
    }
    if (!h || !h->open_) {
        status = InvalidHandle;
        return nullptr;
    }
    status = Success;
    return &bridges[h->index];
}

int RecordingBridgeLibrary::getNumDevices(uint32_t& count) {
    calls.push_back("getNumDevices");
    count = uint32_t(bridges.size());
    auto it = failures.find("getNumDevices");
    return it == failures.end() ? Success : it->second;
}

int RecordingBridgeLibrary::open(uint32_t index, LineHandle& handle) {
    calls.push_back("open " + std::to_string(index));
    if (auto it = failures.find("open"); it != failures.end()) {
        if (failedOpenGivesHandle) handle = std::make_unique<Handle>(*this, index);
        return it->second;
    }
    if (index >= bridges.size()) return DeviceNotFound;
    handle = std::make_unique<Handle>(*this, index);
    return Success;
}

int RecordingBridgeLibrary::getPartNumber(SerialLine& handle, uint8_t& code) {
    int status;
    if (Bridge* b = enter("getPartNumber", handle, status)) code = b->partNumber;
    return status;
}

int RecordingBridgeLibrary::getMaxPower(SerialLine& handle, uint8_t& value) {
    int status;
    if (Bridge* b = enter("getMaxPower", handle, status)) value = b->maxPower;
    return status;
}

int RecordingBridgeLibrary::setMaxPower(SerialLine& handle, uint8_t value) {
    int status;
    if (Bridge* b = enter("setMaxPower", handle, status, std::to_string(value)))
        b->maxPower = value;
    return status;
}

int RecordingBridgeLibrary::getSelfPower(SerialLine& handle, int32_t& selfPowered) {
    int status;
    if (Bridge* b = enter("getSelfPower", handle, status)) selfPowered = b->selfPower;
    return status;
}

int RecordingBridgeLibrary::setSelfPower(SerialLine& handle, int32_t selfPowered) {
    int status;
    if (Bridge* b = enter("setSelfPower", handle, status, std::to_string(selfPowered)))
        b->selfPower = selfPowered;
    return status;
}

int RecordingBridgeLibrary::getBaudRateConfig(SerialLine& handle, BaudTable& table) {
    int status;
    if (Bridge* b = enter("getBaudRateConfig", handle, status)) table = b->table;
    return status;
}

int RecordingBridgeLibrary::setBaudRateConfig(SerialLine& handle, const BaudTable& table) {
    int status;
    if (Bridge* b = enter("setBaudRateConfig", handle, status)) b->table = table;
    if (status == Success) writtenTable = table;
    return status;
}

void RecordingLinkUi::chooseDevice(DeviceChooser& chooser) {
    events.push_back("device");
    if (onChooseDevice) onChooseDevice(chooser);
}

namespace {
class RecordingProgress : public Progress {
public:
    explicit RecordingProgress(RecordingLinkUi& ui) : ui_(ui) {}
    ~RecordingProgress() override { ui_.events.push_back("progress closed"); }
    bool update(int value, const std::string& message) override {
        ui_.updates.emplace_back(value, message);
        return !ui_.onUpdate || ui_.onUpdate(value, message);
    }

private:
    RecordingLinkUi& ui_;
};
} // namespace

std::unique_ptr<Progress> RecordingLinkUi::openProgress(const std::string& title,
                                                        const std::string& message, int maximum) {
    events.push_back("progress " + title + "|" + message + "|" + std::to_string(maximum));
    return std::make_unique<RecordingProgress>(*this);
}

void RecordingLinkUi::info(const std::string& title, const std::string& message,
                           const std::string& picture) {
    events.push_back("info " + title + "|" + message + "|" + picture);
}

void RecordingLinkUi::error(const std::string& message, const std::string& detail) {
    events.push_back("error " + message);
    errorDetails.push_back(detail);
}
