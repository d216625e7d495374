// Text logos drawn by GDI: the font's measures and its letters in a memory device context at 96
// dots an inch (the logo's dots, whatever the screen's scaling), without smoothing, straight into
// a one-bit bitmap.
#pragma once

#include "logo/TextRasterizer.h"

#include <windows.h>
// The logic's Dialogs::ChooseFont, not commdlg.h's macro for ChooseFontW.
#undef ChooseFont

#include <string>
#include <vector>

class GdiTextRasterizer : public TextRasterizer {
public:
    // The face (UTF-8) at the point size; a face the system lacks gets GDI's nearest.
    GdiTextRasterizer(const std::string &face, int points, bool bold = false, bool italic = false);
    ~GdiTextRasterizer() override;
    GdiTextRasterizer(const GdiTextRasterizer &) = delete;
    GdiTextRasterizer &operator=(const GdiTextRasterizer &) = delete;

    int LineHeight() const override;
    int LineWidth(const std::string &line) const override;
    LogoBitmap Draw(const std::vector<std::string> &lines, int width, int height, int left,
                    int top) const override;

private:
    HDC context_;
    HFONT font_;
    HGDIOBJ before_;
};

// UTF-8 text as Windows' wide characters.
std::wstring Wide(const std::string &text);
