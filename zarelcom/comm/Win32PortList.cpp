// The port list on Windows: the system's serial port map (HARDWARE\DEVICEMAP\SERIALCOMM), whose
// values name the COM ports that exist now.
#include <windows.h>

#include <algorithm>

#include "comm/PortList.h"
#include "comm/PortNames.h"

std::vector<PortInfo> ListPorts() {
    std::vector<PortInfo> ports;
    HKEY map;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &map) != ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        char value[256], data[256];
        DWORD valueSize = sizeof value, dataSize = sizeof data - 1, type = 0;
        const LONG result = ::RegEnumValueA(map, index, value, &valueSize, nullptr, &type,
                                            reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || type != REG_SZ) continue;
        data[dataSize] = '\0';
        const long number = PortNumber(data);
        if (number < 1 || number > 255) continue;
        PortInfo port;
        port.number = int(number);
        port.device = ResolvePortName(data);
        ports.push_back(port);
    }
    ::RegCloseKey(map);
    std::sort(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) { return a.number < b.number; });
    return ports;
}
