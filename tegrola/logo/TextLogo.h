// Text logos: lines of text drawn in black in a font, without smoothing, on a white one-bit logo.
//
// The logo is as wide as the widest line and as high as the logo height. Line i (from 0) has the
// top-left corner of its text cell at (textLeft, i * h + textTop), h being the line's height in
// the font; whatever falls outside the logo is cut off, so an offset to the right cuts the ends of
// the widest lines and an offset downwards or a font taller than the logo cuts the bottom.
#pragma once

#include "logo/LogoBitmap.h"
#include "logo/TextRasterizer.h"

#include <string>
#include <vector>

// The width of the logo when no line has any width (no text, or only empty lines): one byte of
// white a row, the narrowest logo the printer's rows are made of, so that the file stays a valid
// bitmap that can be sent.
constexpr int kEmptyTextLogoWidth = 8;

// The text logo of logoHeight rows (at least 1) for the lines in the rasterizer's font, offsets
// in dots.
LogoBitmap RenderTextLogo(const std::vector<std::string> &lines, const TextRasterizer &font,
                          int logoHeight, int textLeft, int textTop);

// Why the text does not fit the logo: "" when every line lies whole inside it, else a plain
// sentence of what is cut off (moved past an edge, or lines below the logo's last row).
std::string TextFitProblem(const std::vector<std::string> &lines, const TextRasterizer &font,
                           int logoHeight, int textLeft, int textTop);

// The lines of a text as the logo takes them: one for each line of the text ("\n" ends a line, a
// "\r" before it is dropped); no text gives no lines.
std::vector<std::string> TextLines(const std::string &text);
