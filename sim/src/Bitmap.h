// One-bit Windows bitmaps: the printer's logos arrive as such files, its screen image leaves as one.
#pragma once

#include <zarelsim/PrinterState.h>

#include <optional>
#include <string>
#include <vector>

namespace zarelsim {

struct MonoImage {
    int width = 0, height = 0;
    std::vector<bool> black; // row by row from the top
    bool At(int x, int y) const { return black[size_t(y) * width + x]; }
};

// The image of a 1-bit bitmap file (bottom-up or top-down); nothing when the bytes are not one.
std::optional<MonoImage> ReadMonoBmp(const Bytes& file);
// A 1-bit bitmap file, colour 0 black and 1 white, bottom-up, pixel data at byte 62.
Bytes WriteMonoBmp(const MonoImage& image);
// One text line a row, '#' for a black dot and '.' for a white one.
std::string TextArt(const MonoImage& image);

} // namespace zarelsim
