// Text logos over any rasterizer: the width of the widest line, the empty text, what does not fit
// and how a text splits into lines.
#include "BlockFont.h"
#include "LogoFixtures.h"
#include "logo/TextLogo.h"

#include <gtest/gtest.h>

namespace {

TEST(TextLogo, WidthIsTheWidestLineAndHeightTheLogos) {
    const LogoBitmap logo = RenderTextLogo({"ab", "This is Test.", "x"}, BlockFont(), 25, 0, 0);
    EXPECT_EQ(logo.Width(), 39);
    EXPECT_EQ(logo.Height(), 25);
    EXPECT_EQ(BlackCount(logo, 0, 0, 39, 25), 6 * 13 + 39 * 12);
}

TEST(TextLogo, EmptyTextGivesAWhiteLogoOfOneByte) {
    for (const std::vector<std::string> &lines :
         {std::vector<std::string>{}, {""}, std::vector<std::string>{"", ""}}) {
        const LogoBitmap logo = RenderTextLogo(lines, BlockFont(), 25, 3, 4);
        EXPECT_EQ(logo.Width(), kEmptyTextLogoWidth);
        EXPECT_EQ(logo.Height(), 25);
        EXPECT_EQ(BlackCount(logo, 0, 0, logo.Width(), 25), 0);
        EXPECT_EQ(TextFitProblem(lines, BlockFont(), 25, 3, 4), "");
    }
}

TEST(TextLogo, TellsWhatDoesNotFit) {
    const std::vector<std::string> two = {"Hg", "Hg"};
    const struct {
        int height, left, top;
        std::string problem;
    } cases[] = {
        {50, 0, 0, ""},
        {26, 0, 0, ""}, // two lines of 13 exactly
        {25, 0, 0, "The text does not fit the logo: 1 dot too tall for the 25-dot logo."},
        {50, 5, 0, "The text does not fit the logo: moved 5 dots past the right edge."},
        {50, -1, 0, "The text does not fit the logo: moved 1 dot past the left edge."},
        {50, 0, -2, "The text does not fit the logo: moved 2 dots past the top edge."},
        {17, 2, 40,
         "The text does not fit the logo: moved 2 dots past the right edge, 49 dots too tall for "
         "the 17-dot logo."},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TextFitProblem(two, BlockFont(), c.height, c.left, c.top), c.problem);
    // Empty lines below the text take no room.
    EXPECT_EQ(TextFitProblem({"Hg", "", ""}, BlockFont(), 17, 0, 0), "");
}

TEST(TextLogo, TextSplitsIntoLines) {
    EXPECT_EQ(TextLines(""), std::vector<std::string>{});
    EXPECT_EQ(TextLines("one"), std::vector<std::string>{"one"});
    EXPECT_EQ(TextLines("a\nb\r\n\n"), (std::vector<std::string>{"a", "b", "", ""}));
}

} // namespace
