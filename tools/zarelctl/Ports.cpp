#include "Ports.h"

#include "System.h"

#include <algorithm>

namespace zarelctl {

std::vector<zc_port_info> ListedPorts() {
    // A port may come between the two calls: the second one says how many were filled.
    std::vector<zc_port_info> ports(static_cast<size_t>(zc_list_ports(nullptr, 0)) + 4);
    int32_t count = zc_list_ports(ports.data(), static_cast<int32_t>(ports.size()));
    ports.resize(std::min(ports.size(), static_cast<size_t>(count)));
    return ports;
}

std::string OpenReason(const zc_port_failure_info &failure) {
    if (failure.kind == ZC_PORT_MISSING && failure.device[0] == '\0')
        return "no device is mapped to this name";
    if (failure.kind == ZC_PORT_NOT_SERIAL) return "not a serial port";
    return SystemErrorText(failure.os_error);
}

std::string OpenAdvice(const std::string &portName, const zc_port_failure_info &failure) {
    const std::string device = failure.device;
    std::string opening = "could not open " + portName;
    if (!device.empty() && device != portName) opening += " (" + device + ")";
    const std::string seePorts = "See 'zarelctl ports' for the serial ports of this machine";
    const std::string holder =
        failure.holder_pid == 0
            ? ""
            : std::string(failure.holder) + ", process " + std::to_string(failure.holder_pid);
    switch (failure.kind) {
    case ZC_PORT_DENIED:
        return opening +
               ": you may not use this port. Add yourself to its group with 'sudo usermod -aG " +
               (DeviceGroup(device).empty() ? "dialout" : DeviceGroup(device)) +
               " $USER', then log out and in again";
    case ZC_PORT_BUSY:
        return opening + ": another program holds it" +
               (holder.empty() ? "" : " (" + holder + ")") + ". Close that program and try again" +
               (holder.empty() ? " ('fuser -v " + device + "' names it)" : "");
    case ZC_PORT_MISSING:
        if (device.empty())
            return opening +
                   ": no device belongs to this number. Give the device itself (--port "
                   "/dev/ttyUSB0) or map it as com<n> in the port directory. " +
                   seePorts;
        return opening + ": " + device + " is not there. Check that the adapter is plugged in. " +
               seePorts;
    case ZC_PORT_NOT_SERIAL:
        return opening + ": " + device + " is not a serial port. " + seePorts;
    default:
        return opening + ": " + OpenReason(failure) + " (system error " +
               std::to_string(failure.os_error) + ")";
    }
}

} // namespace zarelctl
