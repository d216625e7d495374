#include "qt/QtTextRasterizer.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace {

// Measures in the drawing's own resolution, never the screen's.
QFontMetrics MetricsOf(const QFont &font) {
    static const QImage device(1, 1, QImage::Format_RGB32);
    return QFontMetrics(font, &device);
}

} // namespace

QtTextRasterizer::QtTextRasterizer(const QFont &font) : font_(font) {
    font_.setStyleStrategy(QFont::NoAntialias);
}

int QtTextRasterizer::LineHeight() const { return MetricsOf(font_).height(); }

int QtTextRasterizer::LineWidth(const std::string &line) const {
    return MetricsOf(font_).horizontalAdvance(QString::fromStdString(line));
}

LogoBitmap QtTextRasterizer::Draw(const std::vector<std::string> &lines, int width, int height,
                                  int left, int top) const {
    // The canvas in full colour: QPainter does not draw on one-bit images with every engine;
    // without smoothing every pixel drawn is pure black or pure white anyway.
    QImage canvas(width, height, QImage::Format_RGB32);
    if (canvas.isNull()) return LogoBitmap();
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font_);
        painter.setPen(Qt::black);
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(Qt::white);
        const QFontMetrics painted(painter.fontMetrics());
        for (size_t i = 0; i < lines.size(); ++i)
            painter.drawText(QPoint(left, int(i) * painted.height() + top + painted.ascent()),
                             QString::fromStdString(lines[i]));
    }
    LogoBitmap logo(width, height);
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (!IsNearerWhite(
                    Rgb{uint8_t(qRed(line[x])), uint8_t(qGreen(line[x])), uint8_t(qBlue(line[x]))}))
                logo.SetBlack(x, y);
    }
    return logo;
}
