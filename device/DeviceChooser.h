#pragma once
// The state behind the device-choice dialog: one bridge open at a time (its LED
// blinks while its handle is open), moved with the arrows within 0..count-1
// without wrapping. The handle is closed when the choice ends or the chooser
// is destroyed, so that the chosen bridge can be opened again.
#include <cstdint>
#include <functional>
#include <string>

#include "device/BridgeLibrary.h"

class DeviceChooser {
public:
    using ReportFn = std::function<void(const std::string&)>;

    // Opens bridge 0; a failing open is reported and the chooser stays usable.
    DeviceChooser(BridgeLibrary& library, int32_t deviceCount, ReportFn report);
    ~DeviceChooser();
    DeviceChooser(const DeviceChooser&) = delete;
    DeviceChooser& operator=(const DeviceChooser&) = delete;

    int32_t deviceCount() const { return deviceCount_; }
    int32_t deviceIndex() const { return deviceIndex_; }
    bool atFirst() const { return deviceIndex_ <= 0; }
    bool atLast() const { return deviceIndex_ >= deviceCount_ - 1; }
    // True while the bridge shown has an open handle.
    bool deviceOpen() const { return bool(deviceHandle_); }

    // The arrows: do nothing at the bounds.
    void previous();
    void next();
    // Closes the handle; the index stays the choice.
    void finish();

private:
    void openCurrent();

    BridgeLibrary& library_;
    int32_t deviceCount_;
    int32_t deviceIndex_ = 0;
    LineHandle deviceHandle_;
    ReportFn report_;
};
