// The bytes of a Windows bitmap file turned into a Picture: the headers first, so that a file can
// be judged before its pixels are read, then the pixels.
#pragma once

#include "logo/Picture.h"

#include <cstdint>
#include <string>
#include <vector>

// What a bitmap file's headers say about its picture.
struct BitmapLayout {
    int64_t width = 0;
    int64_t height = 0; // rows, counted whichever way they run
    bool topDown = false;
    int bitCount = 0;
    uint32_t compression = 0;
    uint32_t infoSize = 0;
    int64_t pixelOffset = 0; // file offset of the first byte of pixel data
    int64_t pixelEnd = 0;    // file offset one past the last byte of pixel data
    std::string problem;     // why the headers describe no bitmap; empty when they do
};

// Bytes of a file enough for ReadBitmapLayout.
constexpr size_t kBitmapLayoutBytes = 38;

// The layout from the first bytes of a file (up to kBitmapLayoutBytes of them).
BitmapLayout ReadBitmapLayout(const uint8_t *head, size_t size);

// The picture in the file's bytes up to layout.pixelEnd, or why there is none ("its compressed
// rows ...", to follow "it is not a valid bitmap: ").
struct DecodedBitmap {
    Picture picture;
    std::string problem;
};
DecodedBitmap DecodeBitmap(const std::vector<uint8_t> &file, const BitmapLayout &layout);
