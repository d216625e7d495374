#include "comm/NetworkPortName.h"
#include "comm/PortList.h"

PortInfo NetworkPort(int number, const std::string& name) {
    PortInfo port;
    port.number = number;
    port.device = name;
    NetworkPortName parsed;
    std::string error;
    const bool valid = ParseNetworkPortName(name, parsed, error);
    port.description = !valid           ? "network port name not understood: " + error
                       : parsed.rfc2217 ? "device server (RFC 2217)"
                                        : "device server (raw TCP)";
    return port;
}
