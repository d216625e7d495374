// Port names of printers on serial device servers: rfc2217://host:port (the telnet COM port
// option, which carries line rates, purges and modem lines) and socket://host:port (raw TCP,
// whose line rate is the server's own and may be stated: socket://host:port?baud=19200).
#pragma once

#include <cstdint>
#include <string>

struct NetworkPortName {
    bool rfc2217 = false;
    std::string host; // a name, an IPv4 address, or an IPv6 address without its brackets
    uint16_t port = 0;
    uint32_t baud = 0; // socket:// only: the server's line rate, 0 when not stated
};

// True for a name of either form, valid or not: such a name opens no local device.
bool IsNetworkPortName(const std::string& name);

// Parses a network port name; false with the reason in error ("no port number in ...").
bool ParseNetworkPortName(const std::string& name, NetworkPortName& parsed, std::string& error);
