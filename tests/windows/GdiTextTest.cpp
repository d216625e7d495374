// Text logos drawn by GDI under Wine. The fonts here are not Windows' own (Arial is absent), so
// the logos are checked for what must hold in any font: sizes from the font's measures, the
// offsets moving the text dot for dot, and the same bytes from the same text every time.
#include <gtest/gtest.h>

#include "logo/TextLogo.h"
#include "win32/GdiTextRasterizer.h"

namespace {

int BlackDots(const LogoBitmap &logo) {
    int count = 0;
    for (int y = 0; y < logo.Height(); ++y)
        for (int x = 0; x < logo.Width(); ++x) count += logo.IsBlack(x, y);
    return count;
}

TEST(GdiText, MeasuresGrowWithTheSizeAndTheText) {
    const GdiTextRasterizer small("Tahoma", 8), large("Tahoma", 24);
    EXPECT_GT(small.LineHeight(), 0);
    EXPECT_GT(large.LineHeight(), 2 * small.LineHeight());
    EXPECT_EQ(small.LineWidth(""), 0);
    EXPECT_GT(small.LineWidth("LOT 42"), small.LineWidth("LOT"));
    EXPECT_GT(large.LineWidth("LOT"), small.LineWidth("LOT"));
}

TEST(GdiText, ALogoHasTheLogoHeightAndTheWidestLinesWidth) {
    const GdiTextRasterizer font("Tahoma", 10);
    for (int height : {50, 25, 17}) {
        const LogoBitmap logo = RenderTextLogo({"This is Test.", "LOT"}, font, height, 0, 0);
        EXPECT_EQ(logo.Height(), height);
        EXPECT_EQ(logo.Width(), font.LineWidth("This is Test."));
        EXPECT_GT(BlackDots(logo), 0) << "nothing drawn at height " << height;
        EXPECT_EQ(logo, RenderTextLogo({"This is Test.", "LOT"}, font, height, 0, 0))
            << "the same text gave other dots";
    }
}

TEST(GdiText, OffsetsMoveTheTextDotForDot) {
    const GdiTextRasterizer font("Tahoma", 10);
    const LogoBitmap placed = RenderTextLogo({"HELLO"}, font, 25, 0, 0);
    const LogoBitmap moved = RenderTextLogo({"HELLO"}, font, 25, 5, 3);
    ASSERT_EQ(moved.Width(), placed.Width());
    for (int y = 0; y < moved.Height(); ++y)
        for (int x = 0; x < moved.Width(); ++x) {
            const bool expected = x >= 5 && y >= 3 && placed.IsBlack(x - 5, y - 3);
            ASSERT_EQ(moved.IsBlack(x, y), expected) << "at " << x << ", " << y;
        }
}

} // namespace
