#include "device/DeviceChooser.h"

#include "common/errorExc.h"
#include "device/ReaderDevice.h"

DeviceChooser::DeviceChooser(BridgeLibrary& library, int32_t deviceCount, ReportFn report)
    : library_(library), deviceCount_(deviceCount), report_(std::move(report)) {
    openCurrent();
}

DeviceChooser::~DeviceChooser() {
    finish();
}

void DeviceChooser::previous() {
    if (deviceIndex_ <= 0) return;
    finish();
    --deviceIndex_;
    openCurrent();
}

void DeviceChooser::next() {
    if (deviceIndex_ >= deviceCount_ - 1) return;
    finish();
    ++deviceIndex_;
    openCurrent();
}

void DeviceChooser::finish() {
    if (!deviceHandle_) return;
    deviceHandle_->closeHandle();
    deviceHandle_.reset();
}

void DeviceChooser::openCurrent() {
    LineHandle handle;
    if (library_.open(uint32_t(deviceIndex_), handle) != BridgeLibrary::Success && !handle) {
        if (report_) report_(cannotOpenPort(library_.lastError()).fullMessage(true));
        return;
    }
    deviceHandle_ = std::move(handle);
}
