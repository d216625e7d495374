// The COM numbers that lead to a serial device on this machine, as the library resolves them:
// first the com<n> entries of the port directory, then the usual device names.
#pragma once

#include <string>
#include <vector>

namespace zarelctl {

struct MappedPort {
    int number;         // the COM number handed to OpenComPort
    std::string device; // what it leads to ("/dev/ttyUSB0", or the entry's link target)
    bool fromDirectory; // true for a com<n> entry of the port directory
};

// $ZARELCOM_PORT_DIR, else $XDG_CONFIG_HOME/zarelcom/ports, else ~/.config/zarelcom/ports.
std::string PortDirectory();

// Every mapped port in COM order; a directory entry hides the default device of its number.
std::vector<MappedPort> MappedPorts();

} // namespace zarelctl
