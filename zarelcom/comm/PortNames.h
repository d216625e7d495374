// How port names map to device paths on POSIX.
#pragma once

#include <string>

// The port directory: $ZARELCOM_PORT_DIR, else $XDG_CONFIG_HOME/zarelcom/ports, else
// ~/.config/zarelcom/ports.
std::string PortDirectory();

// The device path of a port name. "Com<n>" (any case) is the entry com<n> of the port directory
// when it exists, otherwise COM1-32 /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96
// /dev/ttyACM0-31. A name starting with "/" is a path already. Empty for every other name.
std::string ResolvePortName(const std::string& name);

// The device a path leads to once its links are followed; for a link that leads nowhere, its
// target as written.
std::string DeviceBehind(const std::string& path);
