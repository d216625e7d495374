#include "logo/LogoBitmap.h"

#include <QDir>
#include <QSaveFile>
#include <QtEndian>

#include <cstring>
#include <limits>

QImage NewLogoBitmap(int width, int height) {
    if (width < 1 || height < 1) return QImage();
    QImage logo(width, height, QImage::Format_Mono);
    if (logo.isNull()) return logo;
    logo.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    logo.fill(1);
    return logo;
}

bool IsNearerWhite(QRgb colour) { return qRed(colour) + qGreen(colour) + qBlue(colour) >= 383; }

void SetLogoBlack(QImage &logo, int x, int y) {
    // Format_Mono keeps the leftmost pixel in the highest bit, as the BMP rows do.
    logo.scanLine(y)[x >> 3] &= static_cast<uchar>(~(0x80u >> (x & 7)));
}

qint64 LogoFileLength(int width, int height) {
    return kLogoPixelOffset + 4 * ((qint64(width) + 31) / 32) * height;
}

QByteArray EncodeLogoBmp(const QImage &logo) {
    if (logo.isNull() || logo.format() != QImage::Format_Mono ||
        logo.colorTable() != NewLogoBitmap(1, 1).colorTable())
        return QByteArray();
    const int width = logo.width();
    const int height = logo.height();
    const int pixelBytes = (width + 7) / 8;
    const int rowBytes = int(4 * ((qint64(width) + 31) / 32));
    const qint64 length = LogoFileLength(width, height);
    if (length > std::numeric_limits<int>::max()) return QByteArray();

    QByteArray file(int(length), '\0');
    char *bytes = file.data();
    const auto put16 = [&](int offset, quint16 value) { qToLittleEndian(value, bytes + offset); };
    const auto put32 = [&](int offset, quint32 value) { qToLittleEndian(value, bytes + offset); };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, quint32(length));
    put32(10, kLogoPixelOffset);
    put32(14, 40); // information header
    put32(18, quint32(width));
    put32(22, quint32(height)); // positive: the rows run bottom-up
    put16(26, 1);               // planes
    put16(28, 1);               // bits a pixel
    put32(30, 0);               // no compression
    put32(34, quint32(rowBytes) * quint32(height));
    put32(38, quint32(logo.dotsPerMeterX()));
    put32(42, quint32(logo.dotsPerMeterY()));
    put32(46, 2); // colours used
    put32(50, 2); // colours important
    const QRgb table[2] = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    for (int entry = 0; entry < 2; ++entry) {
        bytes[54 + 4 * entry] = char(qBlue(table[entry]));
        bytes[55 + 4 * entry] = char(qGreen(table[entry]));
        bytes[56 + 4 * entry] = char(qRed(table[entry]));
    }

    // The bits past the last column are white and the padding is zero, whatever the image's
    // memory holds there, so that a logo always gives the same file.
    const uchar unusedBits = uchar(0xFFu >> (width % 8 == 0 ? 8 : width % 8));
    for (int y = 0; y < height; ++y) {
        char *row = bytes + kLogoPixelOffset + qint64(height - 1 - y) * rowBytes;
        std::memcpy(row, logo.constScanLine(y), size_t(pixelBytes));
        row[pixelBytes - 1] = char(uchar(row[pixelBytes - 1]) | unusedBits);
    }
    return file;
}

bool WriteLogoBmp(const QImage &logo, const QString &path, QString *error) {
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("Cannot write the logo file %1: %2.")
                         .arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    const QByteArray bytes = EncodeLogoBmp(logo);
    if (bytes.isEmpty()) return fail(QStringLiteral("there is no logo to write"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(file.errorString());
    return true;
}
