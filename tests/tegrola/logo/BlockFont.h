// A rasterizer of the tests' own: letters `dotsALetter` wide, lines 13 dots high, each line drawn
// as a black block.
#pragma once

#include "logo/TextRasterizer.h"

class BlockFont : public TextRasterizer {
public:
    explicit BlockFont(int dotsALetter = 3) : dotsALetter_(dotsALetter) {}
    int LineHeight() const override { return 13; }
    int LineWidth(const std::string &line) const override {
        return dotsALetter_ * int(line.size());
    }
    LogoBitmap Draw(const std::vector<std::string> &lines, int width, int height, int left,
                    int top) const override {
        LogoBitmap logo(width, height);
        for (size_t i = 0; i < lines.size(); ++i)
            for (int y = 0; y < LineHeight(); ++y)
                for (int x = 0; x < LineWidth(lines[i]); ++x) {
                    const int px = left + x, py = top + int(i) * LineHeight() + y;
                    if (px >= 0 && px < width && py >= 0 && py < height) logo.SetBlack(px, py);
                }
        return logo;
    }

private:
    int dotsALetter_;
};
