#include <windows.h>

#include "comm/NetworkPortName.h"
#include "comm/PortNames.h"

namespace {
// The network port name the user mapped to COM<n>, or "": the value COM<n> under
// HKEY_CURRENT_USER\Software\Zarelcom\Ports, which reg.exe or regedit sets.
std::string MappedNetworkPort(long number) {
    char value[512];
    DWORD size = sizeof value;
    const std::string name = "COM" + std::to_string(number);
    if (::RegGetValueA(HKEY_CURRENT_USER, "Software\\Zarelcom\\Ports", name.c_str(), RRF_RT_REG_SZ,
                       nullptr, value, &size) != ERROR_SUCCESS)
        return std::string();
    const std::string mapped(value);
    return IsNetworkPortName(mapped) ? mapped : std::string();
}
} // namespace

std::string ResolvePortName(const std::string& name) {
    const long number = PortNumber(name);
    if (number < 0) return name;
    const std::string mapped = MappedNetworkPort(number);
    return mapped.empty() ? "\\\\.\\COM" + std::to_string(number) : mapped;
}
