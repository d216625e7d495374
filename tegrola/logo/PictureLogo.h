// Picture logos: a Windows bitmap picture turned into a one-bit logo of one of the print heights.
//
// The picture is scaled to 50 rows (its width in proportion, the fraction dropped), placed on a
// white logo whose width is that scaled width rounded up to a multiple of 8, and cut to the logo
// height: a logo of 25 or 17 rows keeps the top 25 or 17 rows of the 50-row picture. Colour
// pictures are scaled by taking one source pixel for each logo pixel (no blending); for one-bit
// pictures a logo pixel is black when any source pixel that falls onto it is black. Each pixel
// becomes the nearer of black and white (IsNearerWhite).
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The height every picture is scaled to, whatever the logo height.
constexpr int kPictureScaleRows = 50;

// The largest pictures and logos converted: beyond these the memory and the file a logo needs
// are no longer reasonable for the printer's fifty slots.
constexpr qint64 kMaxPicturePixels = qint64(64) * 1024 * 1024;
constexpr qint64 kMaxLogoWidth = qint64(1) << 20;

// The width of a picture of this size once scaled to 50 rows: (width * 50) div height.
qint64 ScaledPictureWidth(QSize picture);

// Why a picture of this size cannot be made into a logo, in plain English ("the picture is too
// large ..."); empty when it can.
QString PictureSizeProblem(QSize picture);

// A picture read from a file, or the reason it could not be read.
struct LoadedPicture {
    QImage picture; // null when the file was refused
    QString error;  // plain English, says what failed and what to do; empty on success
};

// The picture file an operator means by a name typed without extension: name.bmp or name.BMP,
// whichever exists (in that order), as case-insensitive systems find either; the path itself
// otherwise.
QString ExistingPictureName(const QString &path);

// Reads a Windows bitmap file (.bmp; a name without extension as ExistingPictureName finds it)
// for conversion. Refuses another extension, a file that is not a readable bitmap, one that ends
// before the pixel data its header describes, a picture without pixels and a picture too large
// to convert; the checks that the file's headers allow come before decoding. Every pixel of the
// picture comes from the file's bytes up to the end of its pixel data.
LoadedPicture LoadLogoPicture(const QString &path);

// The logo of logoHeight rows (1 to 50) made from the picture; a null image when the picture's
// size has a PictureSizeProblem or the height is out of range.
QImage ConvertPictureLogo(const QImage &picture, int logoHeight);
