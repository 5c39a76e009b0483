#include "device/linux/UsbAccess.h"

#ifdef GRUVIK2_HAVE_LIBUSB
#include <libusb.h>

namespace {

class LibusbAccess : public UsbAccess {
public:
    LibusbAccess() { initError_ = libusb_init(&context_); }
    ~LibusbAccess() override {
        if (initError_ == 0) libusb_exit(context_);
    }

    int controlTransfer(const UsbAddress& address, uint8_t requestType, uint8_t request,
                        uint16_t value, uint16_t index, uint8_t* data, uint16_t length) override {
        if (initError_ != 0) return initError_;
        libusb_device** list = nullptr;
        ssize_t count = libusb_get_device_list(context_, &list);
        if (count < 0) return int(count);
        libusb_device* found = nullptr;
        for (ssize_t i = 0; i < count && !found; ++i)
            if (libusb_get_bus_number(list[i]) == address.bus &&
                libusb_get_device_address(list[i]) == address.device)
                found = list[i];
        int result = ErrorNoDevice;
        libusb_device_handle* handle = nullptr;
        if (found) result = libusb_open(found, &handle);
        libusb_free_device_list(list, 1);
        if (!handle) return result;
        // Requests to the device recipient need no claimed interface: the tty
        // driver stays bound.
        result = libusb_control_transfer(handle, requestType, request, value, index, data, length,
                                         TimeoutMs);
        libusb_close(handle);
        return result;
    }

private:
    static constexpr unsigned TimeoutMs = 1000;
    libusb_context* context_ = nullptr;
    int initError_ = 0;
};

} // namespace

std::unique_ptr<UsbAccess> makeLibusbAccess() {
    return std::make_unique<LibusbAccess>();
}

#else

namespace {
class NoUsbAccess : public UsbAccess {
public:
    int controlTransfer(const UsbAddress&, uint8_t, uint8_t, uint16_t, uint16_t, uint8_t*,
                        uint16_t) override {
        return ErrorNotSupported;
    }
};
} // namespace

std::unique_ptr<UsbAccess> makeLibusbAccess() {
    return std::make_unique<NoUsbAccess>();
}

#endif
