#include "LogoArt.h"

#include "System.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace zarelctl {

namespace {

uint32_t Le32(const std::vector<uint8_t> &bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<uint32_t>(bytes[at + 3]) << 24;
}

uint16_t Le16(const std::vector<uint8_t> &bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

} // namespace

bool ReadLogoBitmap(const std::string &path, LogoBitmap &logo, std::string &problem) {
    ReadableFile opened = OpenRegularFile(path);
    if (!opened.file) {
        problem = "cannot read " + path + ": " + opened.refusal.reason;
        return false;
    }
    // The header first; then only the bytes it promises, so that the file's length bounds
    // what is read.
    std::vector<uint8_t> bytes(62);
    if (std::fread(bytes.data(), 1, bytes.size(), opened.file.get()) != bytes.size() ||
        bytes[0] != 'B' || bytes[1] != 'M') {
        problem = path + " is not a BMP file";
        return false;
    }
    uint32_t pixels = Le32(bytes, 10), headerSize = Le32(bytes, 14);
    int32_t width = static_cast<int32_t>(Le32(bytes, 18)),
            height = static_cast<int32_t>(Le32(bytes, 22));
    if (headerSize < 40 || Le16(bytes, 28) != 1 || Le32(bytes, 30) != 0) {
        problem = path + " is not an uncompressed one-bit bitmap";
        return false;
    }
    bool bottomUp = height > 0;
    int64_t rows = bottomUp ? height : -static_cast<int64_t>(height);
    if (width <= 0 || rows == 0) {
        problem = path + " holds no logo: it is " + std::to_string(width) + " x " +
                  std::to_string(rows) + " dots";
        return false;
    }
    int64_t stride = (static_cast<int64_t>(width) + 31) / 32 * 4;
    int64_t palette = 14 + static_cast<int64_t>(headerSize);
    int64_t needed = std::max(palette + 8, static_cast<int64_t>(pixels) + stride * rows);
    size_t read = bytes.size();
    if (width <= 1 << 20 && rows <= 1 << 16 && needed <= opened.size)
        bytes.resize(static_cast<size_t>(needed));
    if (bytes.size() != static_cast<size_t>(needed) ||
        std::fread(bytes.data() + read, 1, bytes.size() - read, opened.file.get()) !=
            bytes.size() - read) {
        problem = path + " is cut short or has a header that does not fit its length";
        return false;
    }
    // Which of the two colour entries is the darker one (logos keep black at entry 0).
    auto brightness = [&](size_t entry) {
        return bytes[entry] + bytes[entry + 1] + bytes[entry + 2];
    };
    bool setBitIsBlack =
        brightness(static_cast<size_t>(palette) + 4) < brightness(static_cast<size_t>(palette));
    logo.width = width;
    logo.height = static_cast<int>(rows);
    logo.black.assign(static_cast<size_t>(rows), std::vector<bool>(static_cast<size_t>(width)));
    for (int64_t row = 0; row < rows; ++row) {
        size_t start = pixels + static_cast<size_t>(stride * (bottomUp ? rows - 1 - row : row));
        for (int32_t x = 0; x < width; ++x) {
            bool set = bytes[start + static_cast<size_t>(x / 8)] & (0x80 >> (x % 8));
            logo.black[static_cast<size_t>(row)][static_cast<size_t>(x)] = set == setBitIsBlack;
        }
    }
    return true;
}

std::vector<std::string> LogoArt(const LogoBitmap &logo) {
    std::vector<std::string> lines;
    for (const std::vector<bool> &row : logo.black) {
        std::string line;
        for (bool black : row) line += black ? '#' : '.';
        lines.push_back(line);
    }
    return lines;
}

} // namespace zarelctl
