// Text logos: lines of text drawn in black in a font, without smoothing, on a white one-bit logo.
//
// The logo is as wide as the widest line and as high as the logo height. Line i (from 0) has the
// top-left corner of its text cell at (textLeft, i * h + textTop), h being the line's height in
// the font; whatever falls outside the logo is cut off, so an offset to the right cuts the ends of
// the widest lines and an offset downwards or a font taller than the logo cuts the bottom.
//
// Text needs fonts: a QGuiApplication must exist (the "offscreen" platform serves headless use).
#pragma once

#include <QFont>
#include <QImage>
#include <QStringList>

// The width of the logo when no line has any width (no text, or only empty lines): one byte of
// white a row, the narrowest logo the printer's rows are made of, so that the file stays a valid
// bitmap that can be sent.
constexpr int kEmptyTextLogoWidth = 8;

// The text logo of logoHeight rows (at least 1) for the lines in the font, offsets in pixels.
// Sizes are measured and drawn at the resolution of a QImage (96 dots an inch).
QImage RenderTextLogo(const QStringList &lines, const QFont &font, int logoHeight, int textLeft,
                      int textTop);
