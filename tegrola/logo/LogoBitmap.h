// One-bit logo bitmaps: the form every logo takes, in memory and on disk.
//
// A logo is a QImage of QImage::Format_Mono with the two-entry colour table {black, white}: pixel
// value 0 is black (ink), 1 is white. On disk it is a Windows bitmap file: 14-byte file header,
// 40-byte information header (one plane, one bit a pixel, no compression, positive height so the
// rows run bottom-up), the two colour entries, then the rows, each padded to a multiple of 4 bytes.
// The pixel data starts at byte 62 and the file is 62 + 4 * ceil(width / 32) * height bytes long;
// the printer takes logos in exactly this form.
//
// Needs QtGui only; no window and no screen are involved.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Where the rows start in a logo file, and so the length of everything before them.
constexpr int kLogoPixelOffset = 62;

// A new logo of the given size, every pixel white. A null image when width or height is below 1.
QImage NewLogoBitmap(int width, int height);

// The nearer of black and white for a colour: true (white) when red + green + blue >= 383.
// Pure black stays black and pure white stays white.
bool IsNearerWhite(QRgb colour);

// Clears one pixel of a logo to black; x and y must lie inside it.
void SetLogoBlack(QImage &logo, int x, int y);

// The length of the logo file for a logo of this size: 62 + 4 * ceil(width / 32) * height.
qint64 LogoFileLength(int width, int height);

// The bytes of the logo file for a logo made by this library (Format_Mono, index 0 black); empty
// for a null image or another format. The bits past the last column are white, the row padding
// zero.
QByteArray EncodeLogoBmp(const QImage &logo);

// Writes the logo file to path, replacing an older file only once the new one is complete (a
// failed write leaves the old file as it was). False with a plain-English reason in *error (when
// error is not null) if the file cannot be written.
bool WriteLogoBmp(const QImage &logo, const QString &path, QString *error);
