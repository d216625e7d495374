// Pictures as read from a bitmap file, before they become logos: each pixel a colour number into
// the picture's colour table (pictures of 1, 4 or 8 bits a pixel) or a colour of its own (16, 24
// and 32 bits). Rows run from the top.
#pragma once

#include "logo/LogoBitmap.h"

#include <cstdint>
#include <vector>

class Picture {
public:
    // The null picture: no pixels.
    Picture() = default;
    // A picture of colour numbers, every pixel colour 0; bitsPerPixel is 1, 4 or 8.
    static Picture Indexed(int width, int height, int bitsPerPixel, std::vector<Rgb> colours);
    // A picture of colours, every pixel black.
    static Picture Direct(int width, int height);

    bool IsNull() const { return width_ < 1 || height_ < 1; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsIndexed() const { return bitsPerPixel_ <= 8; }
    // 1, 4 or 8 for pictures of colour numbers, 24 for pictures of colours.
    int BitsPerPixel() const { return bitsPerPixel_; }
    const std::vector<Rgb> &Colours() const { return colours_; }

    // Pictures of colour numbers only; x and y inside the picture.
    int IndexAt(int x, int y) const { return indices_[Offset(x, y)]; }
    void SetIndex(int x, int y, int index) { indices_[Offset(x, y)] = uint8_t(index); }
    // The pixel's colour, through the table for pictures of colour numbers (a number the table
    // lacks reads black).
    Rgb ColourAt(int x, int y) const;
    // Pictures of colours only.
    void SetColour(int x, int y, Rgb colour) { pixels_[Offset(x, y)] = colour; }

    friend bool operator==(const Picture &a, const Picture &b) {
        return a.width_ == b.width_ && a.height_ == b.height_ &&
               a.bitsPerPixel_ == b.bitsPerPixel_ && a.colours_ == b.colours_ &&
               a.indices_ == b.indices_ && a.pixels_ == b.pixels_;
    }
    friend bool operator!=(const Picture &a, const Picture &b) { return !(a == b); }

private:
    size_t Offset(int x, int y) const { return size_t(y) * size_t(width_) + size_t(x); }

    int width_ = 0;
    int height_ = 0;
    int bitsPerPixel_ = 24;
    std::vector<Rgb> colours_;
    std::vector<uint8_t> indices_;
    std::vector<Rgb> pixels_;
};
