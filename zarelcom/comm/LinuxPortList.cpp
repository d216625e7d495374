// The port list on Linux: every COM number whose device (as the port names resolve it) is a
// serial port, described from sysfs and /dev/serial/by-id.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <map>

#include "comm/LinuxPortDirectory.h"
#include "comm/LinuxTerminals.h"
#include "comm/NetworkPortName.h"
#include "comm/PortList.h"
#include "comm/PortNames.h"

namespace {
// Windows numbers its ports up to COM255, and so do the port directory's entries.
constexpr int LastPortNumber = 255;

// The first line of a sysfs attribute, or "".
std::string Attribute(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

int HexAttribute(const std::string& path) {
    const std::string text = Attribute(path);
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 16);
    return text.empty() || *end ? -1 : int(value);
}

// A terminal, judged from sysfs where the device is registered there (a UART port whose type
// is "unknown" has no hardware behind it), otherwise by opening it: pseudo-terminals are not in
// sysfs. A device that may not be opened, or is held, exists: its open will say why.
bool IsSerialPort(const std::string& device) {
    struct stat info;
    if (::stat(device.c_str(), &info) != 0 || !S_ISCHR(info.st_mode) || !IsLineDevice(info.st_rdev))
        return false;
    const std::string node = "/sys/dev/char/" + std::to_string(major(info.st_rdev)) + ":" +
                             std::to_string(minor(info.st_rdev));
    if (::access(node.c_str(), F_OK) == 0) {
        const std::string subsystem = DeviceBehind(node + "/subsystem");
        return subsystem.substr(subsystem.rfind('/') + 1) == "tty" &&
               Attribute(node + "/type") != "0";
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EACCES || errno == EBUSY;
    const bool terminal = ::isatty(fd);
    ::close(fd);
    return terminal;
}

// Stable names by the device they lead to.
std::map<std::string, std::string> StableNames() {
    std::map<std::string, std::string> names;
    const std::string folder = "/dev/serial/by-id";
    if (DIR* listing = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(listing)) {
            if (entry->d_name[0] == '.') continue;
            const std::string path = folder + "/" + entry->d_name;
            names.emplace(DeviceBehind(path), path);
        }
        ::closedir(listing);
    }
    return names;
}

// Vendor, product and serial number of the USB device the terminal belongs to: the nearest
// folder above the terminal's sysfs device that has a USB vendor id.
void AddUsbDetails(PortInfo& port) {
    std::string folder =
        "/sys/class/tty/" + port.device.substr(port.device.rfind('/') + 1) + "/device";
    if (::access(folder.c_str(), F_OK) != 0) return;
    folder = DeviceBehind(folder);
    for (int level = 0; !folder.empty() && level < 6; ++level) {
        if (::access((folder + "/idVendor").c_str(), R_OK) == 0) {
            port.usbVendor = HexAttribute(folder + "/idVendor");
            port.usbProduct = HexAttribute(folder + "/idProduct");
            port.description = Attribute(folder + "/product");
            port.serialNumber = Attribute(folder + "/serial");
            return;
        }
        folder.erase(folder.rfind('/'));
    }
}
} // namespace

std::vector<PortInfo> ListPorts() {
    const std::map<std::string, std::string> stableNames = StableNames();
    std::vector<PortInfo> ports;
    for (int number = 1; number <= LastPortNumber; ++number) {
        const std::string name = ResolvePortName("Com" + std::to_string(number));
        if (IsNetworkPortName(name)) {
            ports.push_back(NetworkPort(number, name));
            continue;
        }
        if (name.empty() || !IsSerialPort(name)) continue;
        PortInfo port;
        port.number = number;
        port.device = DeviceBehind(name);
        const auto stable = stableNames.find(port.device);
        if (stable != stableNames.end()) port.byId = stable->second;
        AddUsbDetails(port);
        ports.push_back(port);
    }
    return ports;
}
