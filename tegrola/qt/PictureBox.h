// A picture shown at its own size, as Image1, Image2 and Image3 show theirs: the image is kept as
// it is (a logo stays one bit a pixel) and the widget sizes itself to it.
#pragma once

#include "logo/LogoBitmap.h"
#include "logo/Picture.h"

#include <QImage>
#include <QLabel>

class TPictureBox : public QLabel {
    Q_OBJECT
public:
    TPictureBox(const QString &objectName, QWidget *parent);

    // What is shown.
    const QImage &Picture() const { return FPicture; }
    // The logo shown by SetLogo; the null logo after SetPicture.
    const LogoBitmap &Logo() const { return FLogo; }
    void SetPicture(const ::Picture &picture);
    void SetLogo(const LogoBitmap &logo);

private:
    void Show(const QImage &image);

    QImage FPicture;
    LogoBitmap FLogo;
};
