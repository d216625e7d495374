#include "PortMap.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>

namespace zarelctl {

std::string PortDirectory()
{
    if (const char *dir = std::getenv("ZARELCOM_PORT_DIR"); dir && *dir)
        return dir;
    if (const char *config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/zarelcom/ports";
    const char *home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/zarelcom/ports";
}

namespace {

bool IsCharacterDevice(const std::string &path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

// /dev/ttyS<n> exist whether or not a UART sits behind them; the driver knows. A device we may not
// open is listed: it exists, and the open will say why it fails.
bool IsRealUart(const std::string &path)
{
    int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return errno == EACCES || errno == EBUSY;
    serial_struct serial {};
    bool real = ioctl(fd, TIOCGSERIAL, &serial) != 0 || serial.type != PORT_UNKNOWN;
    close(fd);
    return real;
}

void AddDirectoryEntries(std::map<int, MappedPort> &ports)
{
    std::string dir = PortDirectory();
    DIR *listing = opendir(dir.c_str());
    if (!listing)
        return;
    while (dirent *entry = readdir(listing)) {
        std::string name = entry->d_name;
        if (name.size() < 4 || name.compare(0, 3, "com") != 0 ||
            !std::all_of(name.begin() + 3, name.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
            name.size() > 6)
            continue;
        int number = std::atoi(name.c_str() + 3);
        std::string path = dir + "/" + name;
        char target[PATH_MAX];
        ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        std::string device = length > 0 ? std::string(target, static_cast<size_t>(length)) : path;
        if (number > 0 && IsCharacterDevice(path))
            ports[number] = {number, device, true};
    }
    closedir(listing);
}

void AddDefaultDevices(std::map<int, MappedPort> &ports)
{
    struct Family { const char *prefix; int firstCom; bool checkUart; };
    static const Family families[] = {{"/dev/ttyS", 1, true}, {"/dev/ttyUSB", 33, false}, {"/dev/ttyACM", 65, false}};
    for (const Family &family : families)
        for (int index = 0; index < 32; ++index) {
            int number = family.firstCom + index;
            std::string device = family.prefix + std::to_string(index);
            if (ports.count(number) || !IsCharacterDevice(device) || (family.checkUart && !IsRealUart(device)))
                continue;
            ports[number] = {number, device, false};
        }
}

} // namespace

std::vector<MappedPort> MappedPorts()
{
    std::map<int, MappedPort> ports;
    AddDirectoryEntries(ports);
    AddDefaultDevices(ports);
    std::vector<MappedPort> list;
    for (auto &[number, port] : ports)
        list.push_back(port);
    return list;
}

} // namespace zarelctl
