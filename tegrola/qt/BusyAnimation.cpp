#include "BusyAnimation.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {
constexpr int kLoopMs = 1600;
constexpr int kFrameMs = 80;
} // namespace

TBusyAnimation::TBusyAnimation(TClip clip, QSize size, QWidget *parent)
    : QWidget(parent), FClip(clip) {
    setFixedSize(size);
    QSizePolicy policy = sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
    FTick.setInterval(kFrameMs);
    connect(&FTick, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    hide();
}

void TBusyAnimation::Start() {
    FFrames.start();
    FTick.start();
    raise();
    show();
    repaint();
}

void TBusyAnimation::Stop() {
    FTick.stop();
    FFrames.invalidate();
    lower();
    hide();
}

void TBusyAnimation::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double phase = Active() ? double(FFrames.elapsed() % kLoopMs) / kLoopMs : 0.0;
    if (FClip == TClip::SearchComputer)
        PaintSearch(painter, phase);
    else
        PaintCopy(painter, phase);
}

// Two computers with a magnifying glass sweeping between them.
void TBusyAnimation::PaintSearch(QPainter &painter, double phase) const {
    const QPalette colours = palette();
    const int h = height();
    const auto screen = [&](int left) {
        const QRect monitor(left, 2, h - 6, h - 10);
        painter.setPen(colours.color(QPalette::Dark));
        painter.setBrush(colours.color(QPalette::Base));
        painter.drawRoundedRect(monitor, 2, 2);
        painter.fillRect(monitor.adjusted(3, 3, -2, -2), QColor(0x3a, 0x6e, 0xa5));
        painter.drawLine(monitor.center().x(), monitor.bottom(), monitor.center().x(), h - 3);
        painter.drawLine(monitor.center().x() - 5, h - 3, monitor.center().x() + 5, h - 3);
    };
    screen(2);
    screen(width() - h + 4);

    const double sweep = 0.5 - 0.5 * std::cos(phase * 2 * M_PI);
    const double x = h + sweep * (width() - 2.5 * h);
    painter.setPen(QPen(colours.color(QPalette::Text), 2));
    painter.setBrush(QColor(255, 255, 255, 160));
    painter.drawEllipse(QPointF(x + 7, h / 2.0 - 2), 6, 6);
    painter.drawLine(QPointF(x + 11.5, h / 2.0 + 2.5), QPointF(x + 17, h / 2.0 + 8));
}

// A sheet flying from a folder to a printer.
void TBusyAnimation::PaintCopy(QPainter &painter, double phase) const {
    const QPalette colours = palette();
    const int h = height();
    const QRect folder(4, h / 2 - 8, 28, 20);
    painter.setPen(colours.color(QPalette::Dark));
    painter.setBrush(QColor(0xe8, 0xc0, 0x5a));
    painter.drawRect(folder);
    painter.drawRect(QRect(folder.left(), folder.top() - 4, 12, 4));

    const QRect printer(width() - 40, h / 2 - 8, 34, 18);
    painter.setBrush(colours.color(QPalette::Button));
    painter.drawRoundedRect(printer, 3, 3);
    painter.setBrush(colours.color(QPalette::Dark));
    painter.drawRect(QRect(printer.left() + 6, printer.bottom() - 5, printer.width() - 12, 3));

    const double x = folder.right() + 4 + phase * (printer.left() - folder.right() - 20);
    const double lift = std::sin(phase * M_PI) * (h / 2.0 - 10);
    const QRectF sheet(x, h / 2.0 - 10 - lift, 12, 15);
    painter.setBrush(colours.color(QPalette::Base));
    painter.drawRect(sheet);
    painter.setPen(colours.color(QPalette::Mid));
    for (int line = 0; line < 3; ++line)
        painter.drawLine(QPointF(sheet.left() + 2, sheet.top() + 4 + 3 * line),
                         QPointF(sheet.right() - 2, sheet.top() + 4 + 3 * line));
}
