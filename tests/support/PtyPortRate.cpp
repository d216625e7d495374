// Kept apart: the kernel's termios2 header cannot share a unit with <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include "PtyPort.h"

uint32_t PtyPort::LineRate() const {
    struct termios2 settings;
    if (::ioctl(terminal_, TCGETS2, &settings) < 0) return 0;
    return settings.c_ospeed;
}
