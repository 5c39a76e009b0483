#include <cstdlib>
#include <string>

#include "device/Platform.h"
#include "device/emulated/EmulatedBridgeLibrary.h"
#include "device/linux/NicePriority.h"

namespace {
std::string bridgeList() {
    const char* list = std::getenv("GRUVIK2_BRIDGES");
    return list ? list : "";
}
} // namespace

std::unique_ptr<BridgeLibrary> systemBridgeLibrary() {
    return std::make_unique<EmulatedBridgeLibrary>(EmulatedBridgeLibrary::parsePaths(bridgeList()));
}

std::unique_ptr<ProcessPriority> systemPriority() {
    return std::make_unique<NicePriority>();
}

std::shared_ptr<BridgeLibrary> commandBridgeLibrary() {
    static std::string servedList;
    static std::shared_ptr<BridgeLibrary> served;
    const std::string list = bridgeList();
    if (!served || servedList != list) {
        served = systemBridgeLibrary();
        servedList = list;
    }
    return served;
}
