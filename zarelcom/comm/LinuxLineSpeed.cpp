// Kept apart: the kernel's termios2 header cannot share a unit with <termios.h>.
#include "comm/LinuxLineSpeed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

int SetLineSpeed(int fd, uint32_t bitsPerSecond) {
    struct termios2 settings;
    if (::ioctl(fd, TCGETS2, &settings) < 0) return errno;
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
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
