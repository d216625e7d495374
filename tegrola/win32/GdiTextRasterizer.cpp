#include "win32/GdiTextRasterizer.h"

namespace {

constexpr int kLogoDotsPerInch = 96;

// A one-bit bitmap, rows from the top, colour 0 black and colour 1 white (as the logo's bits).
struct OneBitInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
};

} // namespace

std::wstring Wide(const std::string &text) {
    if (text.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

GdiTextRasterizer::GdiTextRasterizer(const std::string &face, int points, bool bold, bool italic)
    : context_(::CreateCompatibleDC(nullptr)) {
    LOGFONTW font{};
    font.lfHeight = -::MulDiv(points, kLogoDotsPerInch, 72);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = italic ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = NONANTIALIASED_QUALITY;
    ::lstrcpynW(font.lfFaceName, Wide(face).c_str(), LF_FACESIZE);
    font_ = ::CreateFontIndirectW(&font);
    before_ = ::SelectObject(context_, font_);
}

GdiTextRasterizer::~GdiTextRasterizer() {
    ::SelectObject(context_, before_);
    ::DeleteObject(font_);
    ::DeleteDC(context_);
}

int GdiTextRasterizer::LineHeight() const {
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(context_, &metrics);
    return metrics.tmHeight;
}

int GdiTextRasterizer::LineWidth(const std::string &line) const {
    const std::wstring wide = Wide(line);
    SIZE size{};
    ::GetTextExtentPoint32W(context_, wide.c_str(), int(wide.size()), &size);
    return size.cx;
}

LogoBitmap GdiTextRasterizer::Draw(const std::vector<std::string> &lines, int width, int height,
                                   int left, int top) const {
    OneBitInfo info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    info.colours[1] = RGBQUAD{255, 255, 255, 0};
    void *bits = nullptr;
    const HBITMAP canvas = ::CreateDIBSection(context_, reinterpret_cast<BITMAPINFO *>(&info),
                                              DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!canvas) return LogoBitmap();
    const HGDIOBJ plain = ::SelectObject(context_, canvas);
    ::PatBlt(context_, 0, 0, width, height, WHITENESS);
    ::SetTextColor(context_, RGB(0, 0, 0));
    ::SetBkColor(context_, RGB(255, 255, 255));
    ::SetBkMode(context_, OPAQUE);
    const int lineHeight = LineHeight();
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::wstring wide = Wide(lines[i]);
        ::TextOutW(context_, left, top + int(i) * lineHeight, wide.c_str(), int(wide.size()));
    }
    ::GdiFlush();
    LogoBitmap logo(width, height);
    const size_t stride = (size_t(width) + 31) / 32 * 4;
    for (int y = 0; y < height; ++y) {
        const auto *row = static_cast<const uint8_t *>(bits) + size_t(y) * stride;
        for (int x = 0; x < width; ++x)
            if (!(row[x >> 3] & (0x80u >> (x & 7)))) logo.SetBlack(x, y);
    }
    ::SelectObject(context_, plain);
    ::DeleteObject(canvas);
    return logo;
}
