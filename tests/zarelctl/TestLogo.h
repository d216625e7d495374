// Logo files for tests, written as the logo tool writes them: one bit a dot, colour entry 0 black
// and entry 1 white, rows bottom-up in 4-byte steps, pixel data at byte 62.
#pragma once

#include <string>
#include <vector>

// rows top first, '#' a black dot and '.' a white one; every row as long as the first.
std::string OneBitLogo(const std::vector<std::string> &rows);
// An all-white logo of the given size.
std::string WhiteLogo(int width, int height);
