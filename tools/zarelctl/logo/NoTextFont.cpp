// A build without a toolkit that draws text: pictures only.
#include "TextFont.h"

const char *DefaultTextFamily() { return ""; }

std::unique_ptr<TextRasterizer> OpenTextFont(const std::string &, int, std::string *problem) {
    *problem = "this build of make-logo draws no text (it was built without Qt 6); make a "
               "--picture logo, or make the text logo with a build that has Qt";
    return nullptr;
}
