// How port names map to devices.
#pragma once

#include <string>

// The device a port name opens; empty for a name that is no port.
// A network port name (rfc2217://host:port, socket://host:port) is itself, on every system.
// Linux: "Com<n>" (any case) is the entry com<n> of the port directory when it exists (the
// network port name an entry names, when it is a symbolic link to one), otherwise COM1-32
// /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31; a name starting with "/"
// is a path already.
// Windows: "Com<n>" is the network port name of the value COM<n> under
// HKEY_CURRENT_USER\Software\Zarelcom\Ports when there is one, otherwise \\.\COM<n> (the
// prefix that COM10 and above need); any other name is passed on as it is (a device path such
// as \\.\CNCA0).
std::string ResolvePortName(const std::string& name);

// The number n of a name "Com<n>" (any case); -1 for any other name.
long PortNumber(const std::string& name);
