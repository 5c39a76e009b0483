#pragma once
// Control transfers to a USB device by its bus address: all the bridge
// configuration needs. Behind an interface so the requests can be checked
// without hardware.
#include <cstdint>
#include <memory>

#include "device/linux/SysfsBridges.h"

class UsbAccess {
public:
    // libusb's negative error codes
    enum Error : int {
        ErrorIo = -1,
        ErrorInvalidParam = -2,
        ErrorAccess = -3,
        ErrorNoDevice = -4,
        ErrorNotFound = -5,
        ErrorBusy = -6,
        ErrorTimeout = -7,
        ErrorPipe = -9,
        ErrorNotSupported = -12,
        ErrorOther = -99,
    };

    virtual ~UsbAccess() = default;
    // Bytes transferred, or a negative error code. The direction is bit 7 of requestType.
    virtual int controlTransfer(const UsbAddress& device, uint8_t requestType, uint8_t request,
                                uint16_t value, uint16_t index, uint8_t* data, uint16_t length) = 0;
};

// libusb when the build has it; otherwise every transfer fails as not supported.
std::unique_ptr<UsbAccess> makeLibusbAccess();
