#include "PictureBox.h"

#include "qt/LogoImages.h"

#include <QPixmap>

TPictureBox::TPictureBox(const QString &objectName, QWidget *parent) : QLabel(parent) {
    setObjectName(objectName);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TPictureBox::SetPicture(const ::Picture &picture) {
    FLogo = LogoBitmap();
    Show(PictureImage(picture));
}

void TPictureBox::SetLogo(const LogoBitmap &logo) {
    FLogo = logo;
    Show(LogoImage(logo));
}

void TPictureBox::Show(const QImage &image) {
    FPicture = image;
    setPixmap(QPixmap::fromImage(image));
    adjustSize();
}
