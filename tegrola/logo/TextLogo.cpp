#include "logo/TextLogo.h"

#include "logo/LogoBitmap.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

QImage RenderTextLogo(const QStringList &lines, const QFont &font, int logoHeight, int textLeft,
                      int textTop) {
    QFont drawing(font);
    drawing.setStyleStrategy(QFont::NoAntialias);

    // The canvas in full colour: QPainter does not draw on one-bit images with every engine;
    // without smoothing every pixel drawn is pure black or pure white anyway.
    QImage measure(1, 1, QImage::Format_RGB32);
    const QFontMetrics metrics(drawing, &measure);
    int widest = 0;
    for (const QString &line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    if (widest == 0) return NewLogoBitmap(kEmptyTextLogoWidth, logoHeight);

    QImage canvas(widest, logoHeight, QImage::Format_RGB32);
    if (canvas.isNull()) return canvas;
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(drawing);
        painter.setPen(Qt::black);
        // Each line's cell is painted white behind its letters.
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(Qt::white);
        const QFontMetrics painted(painter.fontMetrics());
        for (int i = 0; i < lines.size(); ++i)
            painter.drawText(QPoint(textLeft, i * painted.height() + textTop + painted.ascent()),
                             lines[i]);
    }

    QImage logo = NewLogoBitmap(widest, logoHeight);
    for (int y = 0; y < logoHeight; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
        for (int x = 0; x < widest; ++x)
            if (!IsNearerWhite(line[x])) SetLogoBlack(logo, x, y);
    }
    return logo;
}
