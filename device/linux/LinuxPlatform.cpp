#include "device/Platform.h"
#include "device/linux/LinuxBridgeLibrary.h"
#include "device/linux/NicePriority.h"

std::unique_ptr<BridgeLibrary> systemBridgeLibrary() {
    return std::make_unique<LinuxBridgeLibrary>(makeLibusbAccess());
}

std::unique_ptr<ProcessPriority> systemPriority() {
    return std::make_unique<NicePriority>();
}

std::shared_ptr<BridgeLibrary> commandBridgeLibrary() {
    return systemBridgeLibrary();
}
