#pragma once
// Finds the reader device, lets the user pick one of several, opens it and
// makes sure its bridge is configured for the transfer protocol.
#include "common/errorExc.h"
#include "device/BridgeLibrary.h"
#include "device/LinkUi.h"

// "%ld": the system's error code
inline constexpr char kCannotOpenPort[] = "не могу открыть USB-порт %ld";
// kCannotOpenPort with the system's reason for code in words and what the
// user can do about it (access rights, a busy or unplugged device).
errorExc cannotOpenPort(long code);

// The bridge configuration every reader device must have: the line's nominal
// 256000 bit/s maps through rows 7..12 onto the 125000 bit/s the reader runs at.
inline constexpr uint8_t RequiredMaxPower = 50;
inline constexpr int32_t RequiredSelfPower = 0;
inline constexpr size_t RequiredRowFirst = 7, RequiredRowLast = 12;
inline constexpr BaudTableEntry RequiredBaudRow{0xFF40, 0xFFB8, 1, 125000};

// The open and configured handle of the chosen bridge; throws errorExc. With
// several bridges the user chooses through ui.chooseDevice.
LineHandle openReaderDevice(BridgeLibrary& library, LinkUi& ui);
