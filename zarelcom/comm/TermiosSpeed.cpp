// Kept apart: the kernel's termios2 header cannot share a unit with <termios.h>.
#include "comm/TermiosSpeed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace {
// The classic speed code of a rate, or BOTHER for a rate that has none (14400, 56000, ...).
// Classic codes keep the rate readable through the standard termios calls, which the far end
// of a pseudo-terminal (a printer simulator, stty) uses; they report BOTHER as no rate at all.
tcflag_t SpeedCode(uint32_t bitsPerSecond) {
    switch (bitsPerSecond) {
        case 110: return B110;
        case 300: return B300;
        case 600: return B600;
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        default: return BOTHER;
    }
}
} // namespace

int SetLineSpeed(int fd, uint32_t bitsPerSecond) {
    struct termios2 settings;
    if (::ioctl(fd, TCGETS2, &settings) < 0) return errno;
    const tcflag_t code = SpeedCode(bitsPerSecond);
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= code | (code << IBSHIFT);
    settings.c_ospeed = bitsPerSecond;
    settings.c_ispeed = bitsPerSecond;
    if (::ioctl(fd, TCSETS2, &settings) < 0) return errno;
    return 0;
}

int GetLineSpeed(int fd, uint32_t& bitsPerSecond) {
    struct termios2 settings;
    if (::ioctl(fd, TCGETS2, &settings) < 0) return errno;
    bitsPerSecond = settings.c_ospeed;
    return 0;
}
