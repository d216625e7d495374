#include "qt/LogoImages.h"

#include <cstring>

QImage LogoImage(const LogoBitmap &logo) {
    if (logo.IsNull()) return QImage();
    QImage image(logo.Width(), logo.Height(), QImage::Format_Mono);
    if (image.isNull()) return image;
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    // Format_Mono keeps the leftmost pixel in the highest bit, as the logo does.
    for (int y = 0; y < logo.Height(); ++y)
        std::memcpy(image.scanLine(y), logo.Row(y), size_t(logo.RowBytes()));
    return image;
}

QImage PictureImage(const Picture &picture) {
    if (picture.IsNull()) return QImage();
    if (picture.IsIndexed()) {
        QImage image(picture.Width(), picture.Height(), QImage::Format_Indexed8);
        if (image.isNull()) return image;
        QList<QRgb> table;
        for (const Rgb colour : picture.Colours())
            table.push_back(qRgb(colour.red, colour.green, colour.blue));
        // Numbers the table lacks never reach a picture that was read; black keeps them drawable.
        while (table.size() < 256) table.push_back(qRgb(0, 0, 0));
        image.setColorTable(table);
        for (int y = 0; y < picture.Height(); ++y) {
            uchar *line = image.scanLine(y);
            for (int x = 0; x < picture.Width(); ++x) line[x] = uchar(picture.IndexAt(x, y));
        }
        return image;
    }
    QImage image(picture.Width(), picture.Height(), QImage::Format_RGB32);
    if (image.isNull()) return image;
    for (int y = 0; y < picture.Height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < picture.Width(); ++x) {
            const Rgb colour = picture.ColourAt(x, y);
            line[x] = qRgb(colour.red, colour.green, colour.blue);
        }
    }
    return image;
}
