// One-bit logo bitmaps: the form every logo takes, in memory and on disk.
//
// In memory a logo is a LogoBitmap: rows from the top, each (width + 7) / 8 bytes with the leftmost
// dot in the highest bit, a set bit white and a clear bit black (ink). On disk it is a Windows
// bitmap file: 14-byte file header, 40-byte information header (one plane, one bit a pixel, no
// compression, positive height so the rows run bottom-up), the two colour entries {black, white},
// then the rows, each padded to a multiple of 4 bytes. The pixel data starts at byte 62 and the
// file is 62 + 4 * ceil(width / 32) * height bytes long; the printer takes logos in exactly this
// form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Where the rows start in a logo file, and so the length of everything before them.
constexpr int kLogoPixelOffset = 62;

// A colour of 8 bits a channel.
struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    friend bool operator==(Rgb a, Rgb b) {
        return a.red == b.red && a.green == b.green && a.blue == b.blue;
    }
    friend bool operator!=(Rgb a, Rgb b) { return !(a == b); }
};

// The nearer of black and white for a colour: true (white) when red + green + blue >= 383.
// Pure black stays black and pure white stays white.
bool IsNearerWhite(Rgb colour);

class LogoBitmap {
public:
    // The null logo: no dots.
    LogoBitmap() = default;
    // A logo of the given size, every dot white; the null logo when width or height is below 1.
    LogoBitmap(int width, int height);

    bool IsNull() const { return width_ == 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Bytes of one row: (width + 7) / 8.
    int RowBytes() const { return (width_ + 7) / 8; }

    // x and y must lie inside the logo.
    bool IsBlack(int x, int y) const {
        return !(bits_[size_t(y) * size_t(RowBytes()) + size_t(x >> 3)] & (0x80u >> (x & 7)));
    }
    void SetBlack(int x, int y) {
        bits_[size_t(y) * size_t(RowBytes()) + size_t(x >> 3)] &= uint8_t(~(0x80u >> (x & 7)));
    }
    // Row y from the top; bits past the last column are white.
    const uint8_t *Row(int y) const { return bits_.data() + size_t(y) * size_t(RowBytes()); }

    friend bool operator==(const LogoBitmap &a, const LogoBitmap &b) {
        return a.width_ == b.width_ && a.height_ == b.height_ && a.bits_ == b.bits_;
    }
    friend bool operator!=(const LogoBitmap &a, const LogoBitmap &b) { return !(a == b); }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> bits_;
};

// The length of the logo file for a logo of this size: 62 + 4 * ceil(width / 32) * height.
int64_t LogoFileLength(int width, int height);

// The bytes of the logo file; empty for the null logo. The row padding is zero.
std::vector<uint8_t> EncodeLogoBmp(const LogoBitmap &logo);

// Writes the logo file to path (UTF-8), replacing an older file only once the new one is complete
// (a failed write leaves the old file as it was). False with a plain-English reason in *error
// (when error is not null) if the file cannot be written.
bool WriteLogoBmp(const LogoBitmap &logo, const std::string &path, std::string *error);
