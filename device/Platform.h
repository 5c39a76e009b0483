#pragma once
// The bridge library and process priority of the system the program runs on.
#include <memory>

#include "device/BridgeLibrary.h"
#include "device/ProcessPriority.h"

// Emulated bridges when GRUVIK2_BRIDGES names serial devices (colon-separated),
// else the attached CP210x bridges.
std::unique_ptr<BridgeLibrary> systemBridgeLibrary();
std::unique_ptr<ProcessPriority> systemPriority();
