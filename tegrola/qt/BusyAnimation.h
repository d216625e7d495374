// A small looping animation that tells the operator the tool is busy: a search for a printer
// (Animate1) or files being copied to it (Animate2). Hidden while inactive.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class TBusyAnimation : public QWidget {
    Q_OBJECT
public:
    enum class TClip { SearchComputer, CopyFiles };

    TBusyAnimation(TClip clip, QSize size, QWidget *parent);

    // Brings the animation to the front and starts it / stops it and sends it to the back.
    void Start();
    void Stop();
    bool Active() const { return FFrames.isValid(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The picture for a phase from 0 to 1 of the loop; the phase follows the time since Start, so
    // a repaint during a blocking transfer still shows it moving on.
    void PaintSearch(QPainter &painter, double phase) const;
    void PaintCopy(QPainter &painter, double phase) const;

    const TClip FClip;
    QElapsedTimer FFrames;
    QTimer FTick;
};
