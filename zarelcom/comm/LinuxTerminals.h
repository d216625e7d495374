// Which character devices on Linux are lines to a printer.
#pragma once

#include <sys/types.h>

// False for the terminals that are no line of their own: /dev/tty (the process's controlling
// terminal, whatever it is), /dev/console and /dev/ptmx (each open makes a new pseudo-terminal).
bool IsLineDevice(dev_t device);
