#include "logo/PictureLogo.h"

#include <algorithm>
#include <vector>

namespace {

// Source positions [first, last) that fall onto target position t when size source becomes
// size target; never empty, so enlarging repeats the nearest source position.
struct SourceSpan {
    int64_t first;
    int64_t last;
};

SourceSpan SpanOf(int64_t t, int64_t source, int64_t target) {
    const int64_t first = t * source / target;
    return {first, std::max(first + 1, (t + 1) * source / target)};
}

// Pictures of more than one bit a pixel: one source pixel for each logo pixel.
void SamplePicture(const Picture &picture, LogoBitmap &logo, int scaledWidth, int rows) {
    std::vector<int> sourceColumn(scaledWidth);
    for (int x = 0; x < scaledWidth; ++x)
        sourceColumn[x] = int(SpanOf(x, picture.Width(), scaledWidth).first);
    for (int y = 0; y < rows; ++y) {
        const int sourceRow = int(SpanOf(y, picture.Height(), kPictureScaleRows).first);
        for (int x = 0; x < scaledWidth; ++x)
            if (!IsNearerWhite(picture.ColourAt(sourceColumn[x], sourceRow))) logo.SetBlack(x, y);
    }
}

// One-bit pictures: a logo pixel is black when any source pixel falling onto it is black.
void ShrinkOneBitPicture(const Picture &picture, LogoBitmap &logo, int scaledWidth, int rows) {
    std::vector<bool> black;
    for (const Rgb colour : picture.Colours()) black.push_back(!IsNearerWhite(colour));
    const auto isBlack = [&](int index) { return index < int(black.size()) && black[index]; };
    std::vector<SourceSpan> columns(scaledWidth);
    for (int x = 0; x < scaledWidth; ++x) columns[x] = SpanOf(x, picture.Width(), scaledWidth);
    for (int y = 0; y < rows; ++y) {
        const SourceSpan sourceRows = SpanOf(y, picture.Height(), kPictureScaleRows);
        for (int x = 0; x < scaledWidth; ++x) {
            bool anyBlack = false;
            for (int64_t sy = sourceRows.first; sy < sourceRows.last && !anyBlack; ++sy)
                for (int64_t sx = columns[x].first; sx < columns[x].last && !anyBlack; ++sx)
                    anyBlack = isBlack(picture.IndexAt(int(sx), int(sy)));
            if (anyBlack) logo.SetBlack(x, y);
        }
    }
}

} // namespace

int64_t ScaledPictureWidth(int width, int height) {
    return height > 0 ? int64_t(width) * kPictureScaleRows / height : 0;
}

std::string PictureSizeProblem(int width, int height) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (width < 1 || height < 1)
        return "the picture is empty (" + size + "); open a picture that has pixels.";
    if (int64_t(width) * height > kMaxPicturePixels)
        return "the picture is too large to convert (" + size + ", at most " +
               std::to_string(kMaxPicturePixels) + " pixels); open a smaller picture.";
    const int64_t scaledWidth = ScaledPictureWidth(width, height);
    if (scaledWidth < 1)
        return "the picture is too narrow for a logo (" + size +
               " becomes less than one dot wide at 50 dots high); open a wider picture.";
    if (scaledWidth > kMaxLogoWidth)
        return "the picture is too wide for a logo (" + size + " becomes " +
               std::to_string(scaledWidth) + " dots wide at 50 dots high, at most " +
               std::to_string(kMaxLogoWidth) + "); open a less wide picture.";
    return {};
}

LogoBitmap ConvertPictureLogo(const Picture &picture, int logoHeight) {
    if (!PictureSizeProblem(picture.Width(), picture.Height()).empty() || logoHeight < 1 ||
        logoHeight > kPictureScaleRows)
        return LogoBitmap();
    const int scaledWidth = int(ScaledPictureWidth(picture.Width(), picture.Height()));
    LogoBitmap logo((scaledWidth + 7) / 8 * 8, logoHeight);
    if (picture.BitsPerPixel() == 1)
        ShrinkOneBitPicture(picture, logo, scaledWidth, logoHeight);
    else
        SamplePicture(picture, logo, scaledWidth, logoHeight);
    return logo;
}
