// The fonts make-logo draws text in: each build brings its toolkit's (Qt's on Linux), or none.
#pragma once

#include <logo/TextRasterizer.h>

#include <memory>
#include <string>

// The font family text is drawn in when none is given.
const char *DefaultTextFamily();

// The font of that family and size; null with the reason in *problem when this build draws no
// text.
std::unique_ptr<TextRasterizer> OpenTextFont(const std::string &family, int points,
                                             std::string *problem);
