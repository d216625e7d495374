// How port names map to devices.
#pragma once

#include <string>

// The device a port name opens; empty for a name that is no port.
// Linux: "Com<n>" (any case) is the entry com<n> of the port directory when it exists, otherwise
// COM1-32 /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31; a name starting
// with "/" is a path already.
// Windows: "Com<n>" is \\.\COM<n> (the prefix that COM10 and above need); any other name is
// passed on as it is (a device path such as \\.\CNCA0).
std::string ResolvePortName(const std::string& name);

// The number n of a name "Com<n>" (any case); -1 for any other name.
long PortNumber(const std::string& name);
