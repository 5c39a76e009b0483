#include "device/linux/Termios2.h"

#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

#include "device/SerialLine.h"

int readLineFormat(int fd, LineFormat& format) {
    struct termios2 t;
    if (::ioctl(fd, TCGETS2, &t) != 0) return errno;
    format.baudRate = t.c_ospeed;
    switch (t.c_cflag & CSIZE) {
    case CS5:
        format.dataBits = 5;
        break;
    case CS6:
        format.dataBits = 6;
        break;
    case CS7:
        format.dataBits = 7;
        break;
    default:
        format.dataBits = 8;
        break;
    }
    if (!(t.c_cflag & PARENB))
        format.parity = LineState::NoParity;
    else if (t.c_cflag & CMSPAR)
        format.parity = (t.c_cflag & PARODD) ? LineState::MarkParity : LineState::SpaceParity;
    else
        format.parity = (t.c_cflag & PARODD) ? LineState::OddParity : LineState::EvenParity;
    format.stopBits = (t.c_cflag & CSTOPB) ? LineState::TwoStopBits : LineState::OneStopBit;
    return 0;
}

int writeLineFormat(int fd, const LineFormat& format) {
    if (format.dataBits < 5 || format.dataBits > 8 || format.parity > LineState::SpaceParity ||
        format.stopBits > LineState::TwoStopBits || format.baudRate == 0)
        return EINVAL;
    struct termios2 t;
    if (::ioctl(fd, TCGETS2, &t) != 0) return errno;
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= sizes[format.dataBits - 5] | BOTHER | (BOTHER << IBSHIFT);
    switch (format.parity) {
    case LineState::OddParity:
        t.c_cflag |= PARENB | PARODD;
        break;
    case LineState::EvenParity:
        t.c_cflag |= PARENB;
        break;
    case LineState::MarkParity:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case LineState::SpaceParity:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    // 1.5 stop bits exist only with 5 data bits, where the UART gives them for CSTOPB.
    if (format.stopBits != LineState::OneStopBit) t.c_cflag |= CSTOPB;
    t.c_ispeed = t.c_ospeed = format.baudRate;
    if (::ioctl(fd, TCSETS2, &t) != 0) return errno;
    return 0;
}
