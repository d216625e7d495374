#include "TransferSetup.h"

#include <fstream>

void WritePattern(const std::string &path, size_t size) {
    std::ofstream out(path, std::ios::binary);
    for (size_t i = 0; i < size; ++i) out.put(static_cast<char>(i % 251));
}

int32_t BaudOrdinal(uint32_t baud) {
    switch (baud) {
    case 9600:
        return ZC_BR9600;
    case 19200:
        return ZC_BR19200;
    case 38400:
        return ZC_BR38400;
    case 57600:
        return ZC_BR57600;
    default:
        return ZC_BR115200;
    }
}
