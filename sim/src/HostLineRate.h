// The line rate the host has set on its side of the pseudo-terminal, in bit/s.
#pragma once

#include <cstdint>

namespace zarelsim {

// Hosts set any rate (also ones without a B-constant, through termios2 on Linux); 0 when it
// cannot be read.
uint32_t HostLineRate(int fd);

} // namespace zarelsim
