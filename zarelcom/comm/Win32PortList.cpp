// The serial ports of a Windows machine, from the system's serial port map: one value a port
// under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, named for the driver's device ("\Device\Serial0")
// and holding the port's name ("COM5").
#include <windows.h>

#include <algorithm>

#include "comm/PortList.h"
#include "comm/NetworkPortName.h"
#include "comm/PortNames.h"

std::vector<PortInfo> ListPorts() {
    std::vector<PortInfo> ports;
    HKEY map;
    const bool mapped = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0,
                                        KEY_READ, &map) == ERROR_SUCCESS;
    for (DWORD index = 0; mapped; ++index) {
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
    if (mapped) ::RegCloseKey(map);
    // The user's network ports come first, so that a number mapped to a device server is listed
    // with its URL, as it opens.
    std::vector<PortInfo> listed;
    for (int number = 1; number <= 255; ++number) {
        const std::string name = ResolvePortName("Com" + std::to_string(number));
        if (IsNetworkPortName(name)) listed.push_back(NetworkPort(number, name));
    }
    ports.insert(ports.begin(), listed.begin(), listed.end());
    std::stable_sort(ports.begin(), ports.end(),
                     [](const PortInfo& a, const PortInfo& b) { return a.number < b.number; });
    ports.erase(
        std::unique(ports.begin(), ports.end(),
                    [](const PortInfo& a, const PortInfo& b) { return a.number == b.number; }),
        ports.end());
    return ports;
}
