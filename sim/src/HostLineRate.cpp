// Kept apart: on Linux the kernel's termios2 header cannot share a unit with <termios.h>.
#include "HostLineRate.h"

#if defined(__linux__)
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace zarelsim {

uint32_t HostLineRate(int fd) {
    struct termios2 settings {};
    return ::ioctl(fd, TCGETS2, &settings) == 0 ? settings.c_ospeed : 0;
}

} // namespace zarelsim
#else
#include <termios.h>

namespace zarelsim {

uint32_t HostLineRate(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return 0;
    const speed_t speed = cfgetospeed(&settings);
    switch (speed) {
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return uint32_t(speed); // systems whose speed_t is the rate itself
    }
}

} // namespace zarelsim
#endif
