#pragma once
// The bridge library and process priority of the system the program runs on.
// The build links one backend: device/linux/LinuxPlatform.cpp (the attached
// CP210x bridges) for the program, device/emulated/EmulatedPlatform.cpp (the
// serial lines named in GRUVIK2_BRIDGES, colon-separated) for the demo and
// the tests.
#include <memory>

#include "device/BridgeLibrary.h"
#include "device/ProcessPriority.h"

std::unique_ptr<BridgeLibrary> systemBridgeLibrary();
std::unique_ptr<ProcessPriority> systemPriority();

// The bridges for one command of a program that runs many. Real bridges are
// looked up anew for every command (a reader may have been plugged in
// meanwhile) and keep their configuration in their own memory; emulated ones
// keep it in the library, so one library serves the run, and a new one is
// made only when the list of lines changes.
std::shared_ptr<BridgeLibrary> commandBridgeLibrary();
