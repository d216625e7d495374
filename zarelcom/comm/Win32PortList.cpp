// The serial ports of a Windows machine, from the system's serial port map: one value a port
// under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, named for the driver's device ("\Device\Serial0")
// and holding the port's name ("COM5").
#include <windows.h>

#include <algorithm>

#include "comm/PortList.h"
#include "comm/PortNames.h"

std::vector<PortInfo> ListPorts() {
    std::vector<PortInfo> ports;
    HKEY map;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &map) !=
        ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        char driver[256];
        char name[64];
        DWORD driverSize = sizeof driver, nameSize = sizeof name - 1, type = 0;
        const LONG result = ::RegEnumValueA(map, index, driver, &driverSize, nullptr, &type,
                                            reinterpret_cast<BYTE*>(name), &nameSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || type != REG_SZ) continue;
        name[nameSize] = 0; // the stored text may lack its terminating zero
        const long number = PortNumber(name);
        if (number < 1) continue;
        PortInfo port;
        port.number = static_cast<int>(number);
        port.device = ResolvePortName(name);
        port.description = driver;
        ports.push_back(port);
    }
    ::RegCloseKey(map);
    std::sort(ports.begin(), ports.end(),
              [](const PortInfo& a, const PortInfo& b) { return a.number < b.number; });
    ports.erase(
        std::unique(ports.begin(), ports.end(),
                    [](const PortInfo& a, const PortInfo& b) { return a.number == b.number; }),
        ports.end());
    return ports;
}
