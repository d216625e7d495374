// Text logos drawn by Qt: a font's measures and letters at the resolution of a QImage (96 dots an
// inch), without smoothing.
#pragma once

#include "logo/TextRasterizer.h"

#include <QFont>

class QtTextRasterizer : public TextRasterizer {
public:
    explicit QtTextRasterizer(const QFont &font);

    int LineHeight() const override;
    int LineWidth(const std::string &line) const override;
    LogoBitmap Draw(const std::vector<std::string> &lines, int width, int height, int left,
                    int top) const override;

private:
    QFont font_;
};
