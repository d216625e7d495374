// Logos and pictures as Qt images, to be shown.
#pragma once

#include "logo/LogoBitmap.h"
#include "logo/Picture.h"

#include <QImage>

// A one-bit image (colour 0 black, 1 white) of the logo; a null image for the null logo.
QImage LogoImage(const LogoBitmap &logo);

// The picture as an image: of colour numbers with their table, or of colours.
QImage PictureImage(const Picture &picture);
