#include "core/PortAdvice.h"

#include "logo/FilePaths.h"

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Serial devices belong to the group dialout, unless the system gave this one another.
std::string DeviceGroup(const std::string &device) {
#ifndef _WIN32
    struct stat about {};
    if (stat(device.c_str(), &about) == 0)
        if (const group *owner = getgrgid(about.st_gid);
            owner && std::string(owner->gr_name) != "root")
            return owner->gr_name;
#else
    (void)device;
#endif
    return "dialout";
}

} // namespace

std::string PortOpenAdvice(const std::string &portName, const zc_port_failure_info &failure) {
    const std::string device = failure.device;
    const std::string port = device.empty() ? portName : portName + " (" + device + ")";
    switch (failure.kind) {
    case ZC_PORT_OK:
        return {};
    case ZC_PORT_DENIED: {
        const std::string group = DeviceGroup(device);
        return port + " may not be opened by you. Add yourself to the group " + group +
               " (sudo adduser $USER " + group + "), then log out and in again.";
    }
    case ZC_PORT_BUSY: {
        // A line this program holds itself has no other program to close.
        const bool ours = failure.holder_pid == int32_t(getpid());
        std::string holder = ours ? std::string() : failure.holder;
        if (!holder.empty() && failure.holder_pid > 0)
            holder += ", process " + std::to_string(failure.holder_pid);
        return port + " is held by another program" + (holder.empty() ? "" : " (" + holder + ")") +
               ". Close that program, then connect again.";
    }
    case ZC_PORT_MISSING:
        if (device.empty())
            return "No device belongs to " + portName +
                   ". Choose another port, or name the device as com<n> in "
                   "~/.config/zarelcom/ports.";
        return portName + " leads to " + device +
               ", which is not there. Check that the adapter is plugged in, or choose another "
               "port.";
    case ZC_PORT_NOT_SERIAL:
        return portName + " leads to " + device +
               ", which is not a serial port. Choose another port.";
    default:
        return port + " did not open: " + SystemErrorText(failure.os_error) + " (system error " +
               std::to_string(failure.os_error) + ").";
    }
}
