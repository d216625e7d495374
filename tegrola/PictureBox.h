// A picture shown at its own size, as Image1, Image2 and Image3 show theirs: the image is kept as
// it is (a logo stays one bit a pixel) and the widget sizes itself to it.
#pragma once

#include <QImage>
#include <QLabel>

class TPictureBox : public QLabel {
    Q_OBJECT
public:
    TPictureBox(const QString &objectName, QWidget *parent);

    const QImage &Picture() const { return FPicture; }
    void SetPicture(const QImage &picture);

private:
    QImage FPicture;
};
