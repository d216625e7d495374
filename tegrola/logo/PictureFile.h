// Picture files for picture logos: Windows bitmaps (.bmp) read the same way on every platform, so
// that a picture gives the same logo everywhere.
//
// Read are the information headers of 12 (OS/2), 40 and more bytes; 1, 4 and 8 bits a pixel with
// a colour table, 16, 24 and 32 bits of colour (with or without their colour masks); rows stored
// as they are or run-length encoded (8 and 4 bits a pixel); rows from the bottom or the top.
#pragma once

#include "logo/Picture.h"

#include <cstdint>
#include <string>

// A picture read from a file, or the reason it could not be read.
struct LoadedPicture {
    Picture picture;   // null when the file was refused
    std::string error; // plain English, says what failed and what to do; empty on success
};

// The picture file an operator means by a name typed without extension: name.bmp or name.BMP,
// whichever exists (in that order), as case-insensitive systems find either; the path itself
// otherwise.
std::string ExistingPictureName(const std::string &path);

// Reads a Windows bitmap file (.bmp; a name without extension as ExistingPictureName finds it)
// for conversion. Refuses another extension, anything but a regular file, a file that is not a
// valid bitmap (damaged headers, pixel data that begins inside them, compressed rows that run past
// their row, the picture or their data, or lack their end mark), one that ends before the pixel
// data its header describes, pixels of colours its table lacks, a picture without pixels and a
// picture too large to convert. The checks that the file's headers allow come before decoding, and
// nothing past the end of the pixel data is read.
LoadedPicture LoadLogoPicture(const std::string &path);
