// make-logo runs the logo tool's conversion without a display; show-logo draws the result; and
// the whole road from text to a printer slot works from the command line.
#include "SimulatorFixture.h"
#include "TestLogo.h"

#include <algorithm>
#include <filesystem>

namespace {

#define EXPECT_CONTAINS(text, part)                                                                \
    EXPECT_NE((text).find(part), std::string::npos) << "in: " << (text)

class MakeLogo : public ZarelctlOnSimulator {};

size_t LogoFileLength(size_t width, size_t height) { return 62 + 4 * ((width + 31) / 32) * height; }

TEST_F(MakeLogo, TextBecomesALogoOfTheChosenHeight) {
    ProgramResult made =
        CtlAsIs({"--json", "make-logo", "--text", "This is Test.", "-o", File("text.bmp")});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_CONTAINS(made.out, "\"height\":50");
    size_t width = std::stoul(made.out.substr(made.out.find("\"width\":") + 8));
    EXPECT_GT(width, 30u);
    EXPECT_EQ(ReadFile("text.bmp").size(), LogoFileLength(width, 50));

    ProgramResult shown = CtlAsIs({"show-logo", File("text.bmp")});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(std::count(shown.out.begin(), shown.out.end(), '\n'), 51); // the title and 50 rows
    EXPECT_CONTAINS(shown.out, "#");

    ProgramResult low = CtlAsIs({"make-logo", "--text", "This is Test.", "--height", "17", "--top",
                                 "-2", "-o", File("low.bmp")});
    ASSERT_EQ(low.exitCode, 0) << low.err;
    EXPECT_CONTAINS(low.out, "Logo written to " + File("low.bmp") + ": " + std::to_string(width) +
                                 " x 17 dots");
}

TEST_F(MakeLogo, PicturesAreScaledTo50RowsAndPaddedToBytes) {
    WriteFile("square.bmp", OneBitLogo(std::vector<std::string>(100, std::string(100, '#'))));
    ProgramResult made =
        CtlAsIs({"make-logo", "--picture", File("square.bmp"), "-o", File("logo.bmp")});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(made.out, "Logo written to " + File("logo.bmp") + ": 56 x 50 dots, 462 bytes\n");
    ProgramResult shown = CtlAsIs({"show-logo", File("logo.bmp")});
    EXPECT_CONTAINS(shown.out, "\n" + std::string(50, '#') + "......\n");

    WriteFile("notes.bmp", "not a picture at all");
    ProgramResult refused =
        CtlAsIs({"make-logo", "--picture", File("notes.bmp"), "-o", File("bad.bmp")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err, "");

    // A copy cut short after its header: refused, and no logo made of whatever memory held.
    WriteFile("cut.bmp", ReadFile("square.bmp").substr(0, 300));
    ProgramResult cut =
        CtlAsIs({"make-logo", "--picture", File("cut.bmp"), "-o", File("cut-logo.bmp")});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_CONTAINS(cut.err, "not a valid bitmap");
    EXPECT_FALSE(std::filesystem::exists(File("cut-logo.bmp")));
}

TEST_F(MakeLogo, FromTextToThePrintersSlot) {
    ASSERT_EQ(CtlAsIs({"make-logo", "--text", "This is Test.", "-o", File("logo.bmp")}).exitCode,
              0);
    ProgramResult sent = Ctl({"send-logo", File("logo.bmp")});
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
    std::string logo = ReadFile("logo.bmp");
    EXPECT_EQ(Printer().State().logos[0], zarelsim::Bytes(logo.begin(), logo.end()));
}

} // namespace
