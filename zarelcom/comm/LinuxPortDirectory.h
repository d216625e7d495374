// The folder where ports are mapped on Linux, as Wine's dosdevices folder maps them.
#pragma once

#include <string>

// $ZARELCOM_PORT_DIR, else $XDG_CONFIG_HOME/zarelcom/ports, else ~/.config/zarelcom/ports.
std::string PortDirectory();

// The device a path leads to once its links are followed; for a link that leads nowhere, its
// target as written.
std::string DeviceBehind(const std::string& path);
