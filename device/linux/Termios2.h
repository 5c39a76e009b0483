#pragma once
// Line format and any bit rate (the nominal 256000 has no Bxxx constant)
// through the kernel's termios2. Its header clashes with <termios.h>, so this
// is all that the rest of the backend sees of it.
#include <cstdint>

struct LineFormat {
    uint32_t baudRate = 0;
    uint8_t dataBits = 8; // 5..8
    uint8_t parity = 0;   // LineState's parity values
    uint8_t stopBits = 0; // LineState's stop-bit values
};

// 0 on success, else errno.
int readLineFormat(int fd, LineFormat& format);
int writeLineFormat(int fd, const LineFormat& format);
