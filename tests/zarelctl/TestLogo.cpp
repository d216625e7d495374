#include "TestLogo.h"

#include <cstdint>

std::string OneBitLogo(const std::vector<std::string> &rows) {
    const size_t height = rows.size(), width = rows.empty() ? 0 : rows[0].size();
    const size_t stride = (width + 31) / 32 * 4;
    std::string bytes(62 + stride * height, '\0');
    auto le32 = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    bytes[0] = 'B', bytes[1] = 'M';
    le32(2, static_cast<uint32_t>(bytes.size()));
    le32(10, 62), le32(14, 40), le32(18, static_cast<uint32_t>(width)),
        le32(22, static_cast<uint32_t>(height));
    bytes[26] = 1, bytes[28] = 1;
    bytes[58] = bytes[59] = bytes[60] = '\xFF'; // entry 1 white
    for (size_t row = 0; row < height; ++row)
        for (size_t x = 0; x < width; ++x)
            if (rows[row][x] == '.') // a set bit is white
                bytes[62 + (height - 1 - row) * stride + x / 8] |=
                    static_cast<char>(0x80 >> (x % 8));
    return bytes;
}

std::string WhiteLogo(int width, int height) {
    return OneBitLogo(std::vector<std::string>(static_cast<size_t>(height),
                                               std::string(static_cast<size_t>(width), '.')));
}
