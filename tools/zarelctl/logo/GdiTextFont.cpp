// Text drawn by GDI, as Tegrola draws it on Windows.
#include "TextFont.h"

#include <win32/GdiTextRasterizer.h>

// Every Windows install has it.
const char *DefaultTextFamily() { return "Arial"; }

std::unique_ptr<TextRasterizer> OpenTextFont(const std::string &family, int points, std::string *) {
    return std::make_unique<GdiTextRasterizer>(family, points);
}
