#include "Ports.h"

#include <dirent.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>

namespace zarelctl {

std::vector<zc_port_info> ListedPorts()
{
    // A port may come between the two calls: the second one says how many were filled.
    std::vector<zc_port_info> ports(static_cast<size_t>(zc_list_ports(nullptr, 0)) + 4);
    int32_t count = zc_list_ports(ports.data(), static_cast<int32_t>(ports.size()));
    ports.resize(std::min(ports.size(), static_cast<size_t>(count)));
    return ports;
}

OpenRefusal ReadOpenRefusal(const std::string &portName, const std::string &libraryMessage)
{
    OpenRefusal refusal;
    std::string rest = libraryMessage;
    if (size_t start = rest.find(": "); start != std::string::npos)
        rest.erase(0, start + 2);
    if (size_t code = rest.rfind(" (Error: "); code != std::string::npos) {
        refusal.error = std::atoi(rest.c_str() + code + 9);
        rest.erase(code);
    }
    // The device is named before the reason, unless the port was named by its device already.
    if (size_t colon = rest.find(": "); colon != std::string::npos) {
        refusal.device = rest.substr(0, colon);
        rest.erase(0, colon + 2);
    } else if (refusal.error != ENOENT || portName.find('/') != std::string::npos) {
        refusal.device = portName;
    }
    refusal.reason = rest;
    return refusal;
}

namespace {

std::string GroupOf(const std::string &device)
{
    struct stat info {};
    if (stat(device.c_str(), &info) != 0)
        return "dialout";
    const group *owner = getgrgid(info.st_gid);
    return owner && info.st_gid != 0 ? owner->gr_name : "dialout";
}

} // namespace

std::string OpenAdvice(const std::string &portName, const OpenRefusal &refusal, const std::string &holder)
{
    const std::string &device = refusal.device;
    std::string opening = "could not open " + portName;
    if (!device.empty() && device != portName)
        opening += " (" + device + ")";
    const std::string seePorts = "See 'zarelctl ports' for the serial ports of this machine";
    switch (refusal.error) {
    case EACCES:
    case EPERM:
        return opening + ": you may not use this port. Add yourself to its group with 'sudo usermod -aG " +
               GroupOf(device) + " $USER', then log out and in again";
    case EBUSY:
        return opening + ": another program holds it" + (holder.empty() ? "" : " (" + holder + ")") +
               ". Close that program and try again" +
               (holder.empty() ? " ('fuser -v " + device + "' names it)" : "");
    case ENOENT:
    case ENODEV:
    case ENXIO:
        if (device.empty())
            return opening + ": no device belongs to this number. Give the device itself (--port /dev/ttyUSB0) or map "
                             "it as com<n> in the port directory. " + seePorts;
        return opening + ": " + device + " is not there. Check that the adapter is plugged in. " + seePorts;
    case ENOTTY:
        return opening + ": " + device + " is not a serial port. " + seePorts;
    default:
        return opening + ": " + refusal.reason + " (system error " + std::to_string(refusal.error) + ")";
    }
}

std::string DeviceHolder(const std::string &device)
{
    char resolved[PATH_MAX];
    const std::string wanted = realpath(device.c_str(), resolved) ? resolved : device;
    const std::string self = std::to_string(getpid());
    DIR *processes = opendir("/proc");
    if (!processes)
        return "";
    std::string holder;
    while (const dirent *process = readdir(processes)) {
        const std::string pid = process->d_name;
        if (pid.find_first_not_of("0123456789") != std::string::npos || pid == self)
            continue;
        const std::string fds = "/proc/" + pid + "/fd";
        DIR *listing = opendir(fds.c_str());
        if (!listing)
            continue;
        while (const dirent *fd = readdir(listing)) {
            char target[PATH_MAX];
            ssize_t length = readlink((fds + "/" + fd->d_name).c_str(), target, sizeof target - 1);
            if (length > 0 && std::string(target, static_cast<size_t>(length)) == wanted) {
                std::string name;
                std::getline(std::ifstream("/proc/" + pid + "/comm"), name);
                holder = name + ", process " + pid;
                break;
            }
        }
        closedir(listing);
        if (!holder.empty())
            break;
    }
    closedir(processes);
    return holder;
}

} // namespace zarelctl
