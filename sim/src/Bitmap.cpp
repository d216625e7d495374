#include "Bitmap.h"

namespace zarelsim {
namespace {

uint32_t Le(const Bytes& b, size_t at, int width) {
    uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = v << 8 | b[at + i];
    return v;
}

void PutLe(Bytes& b, size_t at, uint32_t v, int width) {
    for (int i = 0; i < width; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

} // namespace

std::optional<MonoImage> ReadMonoBmp(const Bytes& file) {
    if (file.size() < 62 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
    const uint32_t offset = Le(file, 10, 4);
    const int32_t width = int32_t(Le(file, 18, 4));
    const int32_t rawHeight = int32_t(Le(file, 22, 4));
    const uint32_t headerSize = Le(file, 14, 4);
    if (Le(file, 28, 2) != 1 || Le(file, 30, 4) != 0 || width <= 0 || width > 10000 ||
        rawHeight == 0 || rawHeight < -10000 || rawHeight > 10000 ||
        size_t(14) + headerSize + 8 > file.size())
        return std::nullopt;
    const int height = rawHeight < 0 ? -rawHeight : rawHeight;
    const size_t stride = (size_t(width) + 31) / 32 * 4;
    if (offset > file.size() || file.size() - offset < stride * height) return std::nullopt;
    // Which palette entry is the darker one decides what a set bit means.
    const size_t palette = 14 + headerSize;
    auto lum = [&](size_t at) { return file[at] + file[at + 1] + file[at + 2]; };
    const bool zeroIsBlack = lum(palette) <= lum(palette + 4);
    MonoImage image;
    image.width = width;
    image.height = height;
    image.black.resize(size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        const size_t row = offset + stride * size_t(rawHeight > 0 ? height - 1 - y : y);
        for (int x = 0; x < width; ++x) {
            const bool bit = file[row + x / 8] >> (7 - x % 8) & 1;
            image.black[size_t(y) * width + x] = bit != zeroIsBlack;
        }
    }
    return image;
}

Bytes WriteMonoBmp(const MonoImage& image) {
    const size_t stride = (size_t(image.width) + 31) / 32 * 4;
    Bytes file(62 + stride * image.height, 0);
    file[0] = 'B';
    file[1] = 'M';
    PutLe(file, 2, uint32_t(file.size()), 4);
    PutLe(file, 10, 62, 4);
    PutLe(file, 14, 40, 4);
    PutLe(file, 18, uint32_t(image.width), 4);
    PutLe(file, 22, uint32_t(image.height), 4);
    PutLe(file, 26, 1, 2);
    PutLe(file, 28, 1, 2);
    PutLe(file, 34, uint32_t(stride * image.height), 4);
    PutLe(file, 46, 2, 4);
    file[58] = file[59] = file[60] = 0xFF; // entry 0 black (zeros), entry 1 white
    for (int y = 0; y < image.height; ++y) {
        const size_t row = 62 + stride * size_t(image.height - 1 - y);
        for (int x = 0; x < image.width; ++x)
            if (!image.At(x, y)) file[row + x / 8] |= uint8_t(0x80 >> (x % 8));
    }
    return file;
}

std::string TextArt(const MonoImage& image) {
    std::string art;
    art.reserve(size_t(image.width + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) art += image.At(x, y) ? '#' : '.';
        art += '\n';
    }
    return art;
}

} // namespace zarelsim
