// Pictures, bitmap files and logo checks shared by the logo tests.
#pragma once

#include "logo/LogoBitmap.h"
#include "logo/Picture.h"

#include <filesystem>
#include <string>

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

// A picture of colours of the given size filled with one colour.
Picture FilledPicture(int width, int height, Rgb colour);

// Number of black dots in the rectangle [x0, x1) x [y0, y1) of the logo.
int BlackCount(const LogoBitmap &logo, int x0, int y0, int x1, int y1);

// The bytes of a bitmap file of the picture, rows from the bottom: 24 bits a pixel for a
// picture of colours, its own bits a pixel and colour table otherwise.
std::string BmpBytes(const Picture &picture);

// A width x width 8-bit run-length bitmap, colour 0 white and 1 black, whose encoded rows (the
// bottom ones first) are black runs, each ended by an end of row; the end mark follows the last
// encoded row. withLength: whether the header gives the compressed length.
std::string Rle8Bitmap(int width, int encodedRows = -1, bool withLength = true);

// Stores a 32-bit little-endian value into bytes at offset.
void Put32(std::string &bytes, size_t offset, uint32_t value);

// A folder of its own for one test, removed with it.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    std::string Path(const std::string &name) const { return (folder_ / name).string(); }
    // Writes the bytes to the named file; its path.
    std::string Write(const std::string &name, const std::string &bytes) const;

private:
    std::filesystem::path folder_;
};
