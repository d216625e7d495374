#include "logo/LogoBitmap.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

QImage NewLogoBitmap(int width, int height)
{
    if (width < 1 || height < 1)
        return QImage();
    QImage logo(width, height, QImage::Format_Mono);
    if (logo.isNull())
        return logo;
    logo.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    logo.fill(1);
    return logo;
}

bool IsNearerWhite(QRgb colour)
{
    return qRed(colour) + qGreen(colour) + qBlue(colour) >= 383;
}

void SetLogoBlack(QImage &logo, int x, int y)
{
    // Format_Mono keeps the leftmost pixel in the highest bit, as the BMP rows do.
    logo.scanLine(y)[x >> 3] &= static_cast<uchar>(~(0x80u >> (x & 7)));
}

qint64 LogoFileLength(int width, int height)
{
    return kLogoPixelOffset + 4 * ((qint64(width) + 31) / 32) * height;
}

QByteArray EncodeLogoBmp(const QImage &logo)
{
    QByteArray bytes;
    if (logo.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(logo))
        bytes.clear();
    return bytes;
}

bool WriteLogoBmp(const QImage &logo, const QString &path, QString *error)
{
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("Cannot write the logo file %1: %2.")
                         .arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    const QByteArray bytes = EncodeLogoBmp(logo);
    if (bytes.isEmpty())
        return fail(QStringLiteral("there is no logo to write"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(file.errorString());
    return true;
}
