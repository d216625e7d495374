#include "PictureBox.h"

#include <QPixmap>

TPictureBox::TPictureBox(const QString &objectName, QWidget *parent) : QLabel(parent) {
    setObjectName(objectName);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TPictureBox::SetPicture(const QImage &picture) {
    FPicture = picture;
    setPixmap(QPixmap::fromImage(picture));
    adjustSize();
}
