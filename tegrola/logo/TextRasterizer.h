// What text logos need of a toolkit: a font's measures and its letters drawn without smoothing.
// Each window supplies its own (Qt's on Linux, GDI's on Windows), made for the font the operator
// chose.
#pragma once

#include "logo/LogoBitmap.h"

#include <string>
#include <vector>

class TextRasterizer {
public:
    virtual ~TextRasterizer() = default;

    // The height of one line of text in the font, in dots: the distance from one line's top to
    // the next's.
    virtual int LineHeight() const = 0;

    // How far the line (UTF-8) advances, in dots.
    virtual int LineWidth(const std::string &line) const = 0;

    // A width x height logo (both at least 1) of the lines drawn black on white, without
    // smoothing: line i with the top-left corner of its text cell at (left, top + i *
    // LineHeight()), each cell painted white behind its letters, whatever falls outside cut off.
    virtual LogoBitmap Draw(const std::vector<std::string> &lines, int width, int height, int left,
                            int top) const = 0;
};
