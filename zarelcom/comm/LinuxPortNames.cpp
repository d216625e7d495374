#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "comm/LinuxPortDirectory.h"
#include "comm/NetworkPortName.h"
#include "comm/PortNames.h"

namespace {
std::string DefaultDevice(long number) {
    static const char* const ranges[] = {"/dev/ttyS", "/dev/ttyUSB", "/dev/ttyACM"};
    if (number < 1 || number > 96) return std::string();
    return ranges[(number - 1) / 32] + std::to_string((number - 1) % 32);
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}
} // namespace

std::string PortDirectory() {
    std::string directory = Environment("ZARELCOM_PORT_DIR");
    if (!directory.empty()) return directory;
    directory = Environment("XDG_CONFIG_HOME");
    if (directory.empty()) {
        const std::string home = Environment("HOME");
        if (home.empty()) return std::string();
        directory = home + "/.config";
    }
    return directory + "/zarelcom/ports";
}

std::string ResolvePortName(const std::string& name) {
    if ((!name.empty() && name[0] == '/') || IsNetworkPortName(name)) return name;
    const long number = PortNumber(name);
    if (number < 0) return std::string();
    const std::string directory = PortDirectory();
    if (!directory.empty()) {
        const std::string entry = directory + "/com" + std::to_string(number);
        struct stat info;
        if (::lstat(entry.c_str(), &info) == 0) {
            // An entry may name a device server rather than lead to a device.
            char target[PATH_MAX];
            const ssize_t length =
                S_ISLNK(info.st_mode) ? ::readlink(entry.c_str(), target, sizeof target - 1) : -1;
            const std::string named = length > 0 ? std::string(target, size_t(length)) : "";
            return IsNetworkPortName(named) ? named : entry;
        }
    }
    return DefaultDevice(number);
}

std::string DeviceBehind(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
    const ssize_t length = ::readlink(path.c_str(), resolved, sizeof resolved - 1);
    return length > 0 ? std::string(resolved, size_t(length)) : path;
}
