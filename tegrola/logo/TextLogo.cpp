#include "logo/TextLogo.h"

#include <algorithm>

namespace {

int WidestLine(const std::vector<std::string> &lines, const TextRasterizer &font) {
    int widest = 0;
    for (const std::string &line : lines) widest = std::max(widest, font.LineWidth(line));
    return widest;
}

} // namespace

LogoBitmap RenderTextLogo(const std::vector<std::string> &lines, const TextRasterizer &font,
                          int logoHeight, int textLeft, int textTop) {
    const int widest = WidestLine(lines, font);
    if (widest == 0) return LogoBitmap(kEmptyTextLogoWidth, logoHeight);
    return font.Draw(lines, widest, logoHeight, textLeft, textTop);
}

std::string TextFitProblem(const std::vector<std::string> &lines, const TextRasterizer &font,
                           int logoHeight, int textLeft, int textTop) {
    if (WidestLine(lines, font) == 0) return {};
    int lastLine = 0; // one past the last line with letters
    for (size_t i = 0; i < lines.size(); ++i)
        if (font.LineWidth(lines[i]) > 0) lastLine = int(i) + 1;
    const int bottom = textTop + lastLine * font.LineHeight();
    std::vector<std::string> cuts;
    const auto dots = [](int count) {
        return std::to_string(count) + (count == 1 ? " dot" : " dots");
    };
    if (textLeft > 0) cuts.push_back("moved " + dots(textLeft) + " past the right edge");
    if (textLeft < 0) cuts.push_back("moved " + dots(-textLeft) + " past the left edge");
    if (textTop < 0) cuts.push_back("moved " + dots(-textTop) + " past the top edge");
    if (bottom > logoHeight)
        cuts.push_back(dots(bottom - logoHeight) + " too tall for the " +
                       std::to_string(logoHeight) + "-dot logo");
    if (cuts.empty()) return {};
    std::string problem = "The text does not fit the logo: ";
    for (size_t i = 0; i < cuts.size(); ++i) problem += (i ? ", " : "") + cuts[i];
    return problem + ".";
}

std::vector<std::string> TextLines(const std::string &text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        std::string line =
            text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::string::npos) return lines;
        start = end + 1;
    }
}
