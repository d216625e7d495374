#include "Glyphs.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace {

constexpr int kGlyphSize = 20;

QIcon Drawn(void (*draw)(QPainter &)) {
    QPixmap pixmap(kGlyphSize, kGlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return QIcon(pixmap);
}

// A serial plug: the connector shell with its pins and a cable.
void DrawPlug(QPainter &painter, const QColor &shell) {
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.2));
    painter.setBrush(shell);
    QPainterPath body;
    body.moveTo(3, 6);
    body.lineTo(17, 6);
    body.lineTo(15, 13);
    body.lineTo(5, 13);
    body.closeSubpath();
    painter.drawPath(body);
    painter.setBrush(QColor(0x30, 0x30, 0x30));
    for (int pin = 0; pin < 4; ++pin) painter.drawEllipse(QPointF(6.5 + 2.3 * pin, 9.5), 0.8, 0.8);
    painter.drawLine(QPointF(10, 13), QPointF(10, 18));
}

void DrawOpenPort(QPainter &painter) { DrawPlug(painter, QColor(0x5c, 0xb8, 0x5c)); }

void DrawStopPort(QPainter &painter) {
    DrawPlug(painter, QColor(0xb0, 0xb0, 0xb0));
    painter.setPen(QPen(QColor(0xd0, 0x30, 0x30), 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(3, 3), QPointF(17, 17));
}

void DrawAutoConnect(QPainter &painter) {
    DrawPlug(painter, QColor(0x5c, 0x9c, 0xd8));
    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.8));
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawEllipse(QPointF(13, 12), 3.6, 3.6);
    painter.drawLine(QPointF(15.6, 14.6), QPointF(18.5, 17.5));
}

// A sheet going into a printer.
void DrawSendLogo(QPainter &painter) {
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(6, 2, 8, 8));
    painter.setBrush(QColor(0x9a, 0xa4, 0xb0));
    painter.drawRoundedRect(QRectF(2, 9, 16, 7), 1.5, 1.5);
    painter.setBrush(QColor(0x5c, 0xb8, 0x5c));
    painter.drawEllipse(QPointF(15, 12), 1, 1);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(6, 14, 8, 4));
}

void DrawNewText(QPainter &painter) {
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(3.5, 2.5, 13, 15));
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x2a, 0x5a, 0xa0));
    painter.drawText(QRectF(3.5, 2.5, 13, 15), Qt::AlignCenter, QStringLiteral("T"));
}

void DrawSetFont(QPainter &painter) {
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(17);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x30, 0x30, 0x30));
    painter.drawText(QRectF(0, 0, 14, 18), Qt::AlignCenter, QStringLiteral("A"));
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setPen(QColor(0x2a, 0x5a, 0xa0));
    painter.drawText(QRectF(10, 6, 10, 13), Qt::AlignCenter, QStringLiteral("a"));
}

// Cross hairs: back to the top-left corner.
void DrawCentre(QPainter &painter) {
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.4));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(10, 10), 5, 5);
    painter.drawLine(QPointF(10, 2), QPointF(10, 18));
    painter.drawLine(QPointF(2, 10), QPointF(18, 10));
}

} // namespace

QIcon GlyphIcon(TGlyph glyph) {
    QStyle *style = QApplication::style();
    switch (glyph) {
    case TGlyph::OpenPort:
        return Drawn(DrawOpenPort);
    case TGlyph::StopPort:
        return Drawn(DrawStopPort);
    case TGlyph::AutoConnect:
        return Drawn(DrawAutoConnect);
    case TGlyph::OpenPicture:
        return style->standardIcon(QStyle::SP_DialogOpenButton);
    case TGlyph::SaveLogo:
        return style->standardIcon(QStyle::SP_DialogSaveButton);
    case TGlyph::SendLogo:
        return Drawn(DrawSendLogo);
    case TGlyph::NewText:
        return Drawn(DrawNewText);
    case TGlyph::SetFont:
        return Drawn(DrawSetFont);
    case TGlyph::Up:
        return style->standardIcon(QStyle::SP_ArrowUp);
    case TGlyph::Down:
        return style->standardIcon(QStyle::SP_ArrowDown);
    case TGlyph::Left:
        return style->standardIcon(QStyle::SP_ArrowLeft);
    case TGlyph::Right:
        return style->standardIcon(QStyle::SP_ArrowRight);
    case TGlyph::Centre:
        return Drawn(DrawCentre);
    }
    return QIcon();
}
