// Pictures and logo checks shared by the logo tests.
#pragma once

#include <QImage>
#include <QString>

// A 24-bit colour picture of the given size filled with one colour.
QImage FilledPicture(int width, int height, QRgb colour);

// True when the logo pixel is black (colour index 0).
bool IsBlack(const QImage &logo, int x, int y);

// Number of black pixels in the rectangle [x0, x1) x [y0, y1) of the logo.
int BlackCount(const QImage &logo, int x0, int y0, int x1, int y1);

// Writes a picture as a BMP file in the given format; the path of the file.
QString SaveBmp(const QImage &picture, const QString &directory, const QString &name);
