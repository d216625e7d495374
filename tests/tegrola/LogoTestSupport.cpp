#include "LogoTestSupport.h"

#include <QDir>

QImage FilledPicture(int width, int height, QRgb colour) {
    QImage picture(width, height, QImage::Format_RGB888);
    picture.fill(QColor::fromRgb(colour));
    return picture;
}

bool IsBlack(const QImage &logo, int x, int y) { return logo.pixelIndex(x, y) == 0; }

int BlackCount(const QImage &logo, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) count += IsBlack(logo, x, y) ? 1 : 0;
    return count;
}

QString SaveBmp(const QImage &picture, const QString &directory, const QString &name) {
    const QString path = QDir(directory).filePath(name);
    picture.save(path, "BMP");
    return path;
}
