#include "device/Platform.h"

#include <cstdlib>

#include "device/emulated/EmulatedBridgeLibrary.h"
#include "device/linux/LinuxBridgeLibrary.h"
#include "device/linux/NicePriority.h"

std::unique_ptr<BridgeLibrary> systemBridgeLibrary() {
    if (const char* list = std::getenv("GRUVIK2_BRIDGES"); list && *list)
        return std::make_unique<EmulatedBridgeLibrary>(EmulatedBridgeLibrary::parsePaths(list));
    return std::make_unique<LinuxBridgeLibrary>(makeLibusbAccess());
}

std::unique_ptr<ProcessPriority> systemPriority() {
    return std::make_unique<NicePriority>();
}
