#include "LogoFixtures.h"

#include <fstream>
#include <random>
#include <stdexcept>

Picture FilledPicture(int width, int height, Rgb colour) {
    Picture picture = Picture::Direct(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.SetColour(x, y, colour);
    return picture;
}

int BlackCount(const LogoBitmap &logo, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) count += logo.IsBlack(x, y) ? 1 : 0;
    return count;
}

void Put32(std::string &bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + size_t(i)] = char(value >> (8 * i));
}

std::string BmpBytes(const Picture &picture) {
    const int bits = picture.IsIndexed() ? picture.BitsPerPixel() : 24;
    const size_t colours = picture.IsIndexed() ? picture.Colours().size() : 0;
    const size_t rowBytes = (size_t(picture.Width()) * size_t(bits) + 31) / 32 * 4;
    const size_t offset = 54 + 4 * colours;
    std::string file(offset + rowBytes * size_t(picture.Height()), '\0');
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, uint32_t(file.size()));
    Put32(file, 10, uint32_t(offset));
    Put32(file, 14, 40);
    Put32(file, 18, uint32_t(picture.Width()));
    Put32(file, 22, uint32_t(picture.Height()));
    file[26] = 1;
    file[28] = char(bits);
    Put32(file, 46, uint32_t(colours));
    for (size_t i = 0; i < colours; ++i) {
        const Rgb colour = picture.Colours()[i];
        Put32(file, 54 + 4 * i,
              uint32_t(colour.red) << 16 | uint32_t(colour.green) << 8 | colour.blue);
    }
    for (int y = 0; y < picture.Height(); ++y) {
        char *row = file.data() + offset + size_t(picture.Height() - 1 - y) * rowBytes;
        for (int x = 0; x < picture.Width(); ++x) {
            if (bits == 24) {
                const Rgb colour = picture.ColourAt(x, y);
                row[3 * x] = char(colour.blue);
                row[3 * x + 1] = char(colour.green);
                row[3 * x + 2] = char(colour.red);
            } else {
                const int perByte = 8 / bits;
                row[x / perByte] |= char(picture.IndexAt(x, y) << (8 - bits * (x % perByte + 1)));
            }
        }
    }
    return file;
}

std::string Rle8Bitmap(int width, int encodedRows, bool withLength) {
    if (encodedRows <= 0) encodedRows = width;
    std::string rows;
    for (int row = 0; row < encodedRows; ++row) rows += {char(width), '\1', '\0', '\0'};
    rows += {'\0', '\1'};
    std::string bytes(54 + 2 * 4, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, uint32_t(bytes.size() + rows.size()));
    Put32(bytes, 10, uint32_t(bytes.size()));
    Put32(bytes, 14, 40);
    Put32(bytes, 18, uint32_t(width));
    Put32(bytes, 22, uint32_t(width));
    bytes[26] = 1;
    bytes[28] = 8;
    Put32(bytes, 30, 1);
    Put32(bytes, 34, withLength ? uint32_t(rows.size()) : 0);
    Put32(bytes, 46, 2);
    Put32(bytes, 54, 0xffffff);
    return bytes + rows;
}

ScratchFolder::ScratchFolder() {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() / ("tegrola-test-" + std::to_string(random()));
    std::filesystem::create_directories(folder_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string ScratchFolder::Write(const std::string &name, const std::string &bytes) const {
    const std::string path = Path(name);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), std::streamsize(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
    return path;
}
