#include "TransferSetup.h"

#include <fstream>

void WritePattern(const std::string &path, size_t size) {
    std::ofstream out(path, std::ios::binary);
    for (size_t i = 0; i < size; ++i) out.put(static_cast<char>(i % 251));
}
