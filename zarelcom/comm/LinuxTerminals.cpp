#include "comm/LinuxTerminals.h"

#include <sys/sysmacros.h>

namespace {
// The kernel's fixed numbers: major 5 holds /dev/tty (0), /dev/console (1) and /dev/ptmx (2).
constexpr unsigned kAlternateTerminals = 5;
constexpr unsigned kLastNotALine = 2;
} // namespace

bool IsLineDevice(dev_t device) {
    return !(major(device) == kAlternateTerminals && minor(device) <= kLastNotALine);
}
