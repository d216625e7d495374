// A one-bit logo bitmap read back from its file and drawn as text, one character a dot.
#pragma once

#include <string>
#include <vector>

namespace zarelctl {

struct LogoBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::vector<bool>> black; // black[row][column], the top row first
};

// Reads a one-bit, uncompressed BMP file (the form of the logos). A file of another form, or one
// whose header does not fit its length, is refused with a message that says what is wrong.
bool ReadLogoBitmap(const std::string &path, LogoBitmap &logo, std::string &problem);

// Each row as a line: '#' a black dot, '.' a white one.
std::vector<std::string> LogoArt(const LogoBitmap &logo);

} // namespace zarelctl
