#include "comm/PortNames.h"

#include <cctype>

long PortNumber(const std::string& name) {
    if (name.size() < 4 || name.size() > 13) return -1;
    for (int i = 0; i < 3; ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != "com"[i]) return -1;
    long number = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}
