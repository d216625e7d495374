#include "comm/PortNames.h"

std::string ResolvePortName(const std::string& name) {
    const long number = PortNumber(name);
    if (number < 0) return name;
    return "\\\\.\\COM" + std::to_string(number);
}
