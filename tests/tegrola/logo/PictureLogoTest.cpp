// Pictures made into logos: scaling to 50 rows, the padded width, the cut to the logo height,
// the two scaling rules, and the picture files read or refused.
#include "LogoFixtures.h"
#include "logo/PictureFile.h"
#include "logo/PictureLogo.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

namespace {

Picture RandomBlackAndWhite(int width, int height, unsigned seed) {
    Picture picture = FilledPicture(width, height, kWhite);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (random() & 1) picture.SetColour(x, y, kBlack);
    return picture;
}

struct PaddedWidth {
    int width, height, scaledWidth, logoWidth;
    int64_t fileLength;
};

TEST(PictureLogo, ScaledWidthIsPaddedToWholeBytes) {
    for (const PaddedWidth &c :
         {PaddedWidth{100, 100, 50, 56, 462}, PaddedWidth{30, 7, 214, 216, 62 + 28 * 50},
          PaddedWidth{128, 100, 64, 64, 62 + 8 * 50}, // no padding
          PaddedWidth{2000, 1, 100000, 100000, 625062}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const LogoBitmap logo = ConvertPictureLogo(FilledPicture(c.width, c.height, kBlack), 50);
        ASSERT_EQ(logo.Width(), c.logoWidth);
        ASSERT_EQ(logo.Height(), 50);
        // The scaled picture is black; the padding columns stay white.
        EXPECT_EQ(BlackCount(logo, 0, 0, c.scaledWidth, 50), c.scaledWidth * 50);
        EXPECT_EQ(BlackCount(logo, c.scaledWidth, 0, c.logoWidth, 50), 0);
        EXPECT_EQ(int64_t(EncodeLogoBmp(logo).size()), c.fileLength);
    }
}

TEST(PictureLogo, LowerLogosKeepTheTopOfThe50Rows) {
    Picture picture = FilledPicture(100, 100, kWhite); // top half black, bottom half white
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) picture.SetColour(x, y, kBlack);
    const LogoBitmap full = ConvertPictureLogo(picture, 50);
    EXPECT_EQ(BlackCount(full, 0, 0, 50, 25), 50 * 25);
    EXPECT_EQ(BlackCount(full, 0, 25, 56, 50), 0);

    const LogoBitmap half = ConvertPictureLogo(picture, 25);
    EXPECT_EQ(half.Width(), 56);
    EXPECT_EQ(half.Height(), 25);
    EXPECT_EQ(BlackCount(half, 0, 0, 50, 25), 50 * 25);
    EXPECT_EQ(ConvertPictureLogo(picture, 17).Height(), 17);
}

TEST(PictureLogo, PureBlackAndWhiteKeepEveryPixel) {
    const Picture picture = RandomBlackAndWhite(80, 50, 7);
    const LogoBitmap logo = ConvertPictureLogo(picture, 50);
    ASSERT_EQ(logo.Width(), 80);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(logo.IsBlack(x, y), picture.ColourAt(x, y) == kBlack) << x << ", " << y;
}

TEST(PictureLogo, ColourPicturesTakeOneSourcePixelWithoutBlending) {
    // Columns alternate black and white; halving takes the even (black) columns, a blend would
    // give grey.
    Picture stripes = FilledPicture(200, 100, kWhite);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; x += 2) stripes.SetColour(x, y, kBlack);
    EXPECT_EQ(BlackCount(ConvertPictureLogo(stripes, 50), 0, 0, 100, 50), 100 * 50);

    Picture colours = Picture::Direct(300, 150);
    std::mt19937 random(11);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 300; ++x) {
            const uint32_t value = random();
            colours.SetColour(x, y, Rgb{uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16)});
        }
    const LogoBitmap logo = ConvertPictureLogo(colours, 50);
    ASSERT_EQ(logo.Width(), 104);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(logo.IsBlack(x, y), !IsNearerWhite(colours.ColourAt(x * 3, y * 3)));
}

TEST(PictureLogo, OneBitPicturesKeepAnyBlack) {
    Picture picture = Picture::Indexed(200, 100, 1, {kWhite, kBlack}); // index 1 is black here
    picture.SetIndex(3, 3, 1); // falls onto logo pixel (1, 1); sampling would drop it
    picture.SetIndex(198, 99, 1);
    const LogoBitmap logo = ConvertPictureLogo(picture, 50);
    ASSERT_EQ(logo.Width(), 104);
    EXPECT_TRUE(logo.IsBlack(1, 1));
    EXPECT_TRUE(logo.IsBlack(99, 49));
    EXPECT_EQ(BlackCount(logo, 0, 0, 104, 50), 2);

    // Enlarged, each source pixel is repeated.
    Picture small = Picture::Indexed(10, 25, 1, {kBlack, kWhite});
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 10; ++x) small.SetIndex(x, y, 1);
    small.SetIndex(4, 0, 0);
    const LogoBitmap enlarged = ConvertPictureLogo(small, 50);
    ASSERT_EQ(enlarged.Width(), 24);
    EXPECT_EQ(BlackCount(enlarged, 0, 0, 24, 50), 4);
    EXPECT_EQ(BlackCount(enlarged, 8, 0, 10, 2), 4);
}

TEST(PictureLogo, LogoHeightMustBeOneToFiftyRows) {
    const Picture picture = FilledPicture(10, 10, kBlack);
    EXPECT_TRUE(ConvertPictureLogo(picture, 0).IsNull());
    EXPECT_TRUE(ConvertPictureLogo(picture, 51).IsNull());
    EXPECT_EQ(ConvertPictureLogo(picture, 1).Width(), 56);
}

TEST(PictureFile, LoadsBitmapFilesAndRefusesTheRest) {
    ScratchFolder folder;
    const LoadedPicture loaded =
        LoadLogoPicture(folder.Write("logo.BMP", BmpBytes(FilledPicture(30, 7, kBlack))));
    ASSERT_EQ(loaded.error, "");
    EXPECT_EQ(loaded.picture, FilledPicture(30, 7, kBlack));

    EXPECT_NE(LoadLogoPicture(folder.Write("logo.png", "\x89PNG\r\n\x1a\n"))
                  .error.find("only Windows bitmap files"),
              std::string::npos);
    const LoadedPicture unreadable =
        LoadLogoPicture(folder.Write("notes.bmp", "these are not the bytes of a picture"));
    EXPECT_TRUE(unreadable.picture.IsNull());
    EXPECT_EQ(unreadable.error.rfind("Cannot open the picture ", 0), 0u) << unreadable.error;
    EXPECT_EQ(LoadLogoPicture(folder.Path("missing.bmp")).error,
              "Cannot open the picture " + folder.Path("missing.bmp") +
                  ": No such file or directory.");
}

TEST(PictureFile, ReadsOnlyRegularFiles) {
    ScratchFolder folder;
    ASSERT_EQ(mkfifo(folder.Path("pipe.bmp").c_str(), 0600), 0);
    std::filesystem::create_directory(folder.Path("folder.bmp"));
    // Opening the pipe would wait for a writer for ever, reading the device would never end.
    for (const std::string &path : {folder.Path("pipe.bmp"), folder.Path("folder.bmp")}) {
        const LoadedPicture loaded = LoadLogoPicture(path);
        EXPECT_TRUE(loaded.picture.IsNull()) << path;
        EXPECT_NE(loaded.error, "") << path;
    }
    std::filesystem::create_symlink("/dev/zero", folder.Path("zero.bmp"));
    EXPECT_NE(LoadLogoPicture(folder.Path("zero.bmp")).error.find("not a regular file"),
              std::string::npos);
}

struct HeaderCase {
    int width, height;
    const char *reason;
};

TEST(PictureFile, RefusesEmptyAndHugeHeaders) {
    ScratchFolder folder;
    for (const HeaderCase &c :
         {HeaderCase{100000, 100000, "too large"}, HeaderCase{40, 0, "empty"},
          HeaderCase{0, 40, "empty"}, HeaderCase{1, 100, "too narrow"}, // scales to nothing
          HeaderCase{60000, 2, "too wide"}}) {
        SCOPED_TRACE(c.reason);
        std::string header = BmpBytes(FilledPicture(1, 1, kBlack)).substr(0, 54);
        Put32(header, 18, uint32_t(c.width));
        Put32(header, 22, uint32_t(c.height));
        // A few rows only: a huge picture must be refused from its header, before decoding.
        const LoadedPicture loaded =
            LoadLogoPicture(folder.Write("header.bmp", header + std::string(4096, '\0')));
        EXPECT_TRUE(loaded.picture.IsNull());
        EXPECT_NE(loaded.error.find(c.reason), std::string::npos) << loaded.error;
        EXPECT_NE(PictureSizeProblem(c.width, c.height).find(c.reason), std::string::npos);
    }
}

// An RLE8 bitmap of 4 x 4 with other rows: the headers of Rle8Bitmap, these bytes as its data.
std::string Rle8WithRows(const std::string &rows) {
    std::string bytes = Rle8Bitmap(4).substr(0, 62) + rows;
    Put32(bytes, 34, uint32_t(rows.size()));
    return bytes;
}

TEST(PictureFile, RefusesFilesThatAreNoValidBitmap) {
    const Picture colour = FilledPicture(100, 100, kBlack);
    Picture oneBit = Picture::Indexed(64, 40, 1, {kBlack, kWhite});
    Picture eightBit = Picture::Indexed(64, 40, 8, {kBlack, kWhite});
    std::string offsetZero = BmpBytes(colour);
    Put32(offsetZero, 10, 0);
    const std::pair<const char *, std::string> cases[] = {
        {"24-bit, first 3000 of 30054 bytes", BmpBytes(colour).substr(0, 3000)},
        {"24-bit, one byte short", BmpBytes(colour).substr(0, 30053)},
        {"1-bit, one byte short", BmpBytes(oneBit).substr(0, BmpBytes(oneBit).size() - 1)},
        {"8-bit, half", BmpBytes(eightBit).substr(0, BmpBytes(eightBit).size() - 1280)},
        {"RLE8, cut inside its rows", Rle8Bitmap(4).substr(0, Rle8Bitmap(4).size() - 5)},
        {"RLE8 without its length", Rle8Bitmap(4, 0, false)},
        {"pixel data at offset 0", offsetZero},
        {"RLE8, a run past its row", Rle8WithRows(std::string("\5\1\0\1", 4))},
        {"RLE8, pixels as they are past its row",
         Rle8WithRows(std::string("\2\1\0\3\1\1\1\0\0\1", 10))},
        {"RLE8, rows past the picture", Rle8WithRows(std::string("\0\0\0\0\0\0\0\0\4\1\0\1", 12))},
        {"RLE8, a move past the picture", Rle8WithRows(std::string("\0\2\5\0\0\1", 6))},
        {"RLE8, pixels as they are past its data", Rle8WithRows(std::string("\0\4\1\1", 4))},
        {"RLE8 without its end mark", Rle8WithRows(std::string("\4\1\0\0", 4))},
    };
    ScratchFolder folder;
    for (const auto &[name, bytes] : cases) {
        const LoadedPicture loaded = LoadLogoPicture(folder.Write("bad.bmp", bytes));
        EXPECT_TRUE(loaded.picture.IsNull()) << name;
        EXPECT_NE(loaded.error.find("not a valid bitmap"), std::string::npos)
            << name << ": " << loaded.error;
    }
}

TEST(PictureFile, EveryPixelComesFromTheFile) {
    ScratchFolder folder;
    // Bytes after the pixel data are no part of the picture.
    const std::string whole = BmpBytes(FilledPicture(30, 7, kBlack));
    const Picture plain = LoadLogoPicture(folder.Write("a.bmp", whole)).picture;
    ASSERT_FALSE(plain.IsNull());
    for (const char garbage : {'\0', '\xff'})
        EXPECT_EQ(LoadLogoPicture(folder.Write("b.bmp", whole + std::string(600, garbage))).picture,
                  plain);

    // Compressed rows that end early leave the rest in colour 0 (white here), not in noise.
    const Picture early = LoadLogoPicture(folder.Write("rle.bmp", Rle8Bitmap(4, 1))).picture;
    ASSERT_EQ(early.Width(), 4);
    ASSERT_EQ(early.Height(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(early.ColourAt(x, y), y == 3 ? kBlack : kWhite);
}

TEST(PictureFile, RefusesPixelsOfColoursItsTableLacks) {
    std::string bytes = Rle8Bitmap(4); // a run of colour 2 where the table holds 0 and 1 only
    bytes[63] = '\2';
    ScratchFolder folder;
    const LoadedPicture loaded = LoadLogoPicture(folder.Write("colour.bmp", bytes));
    EXPECT_TRUE(loaded.picture.IsNull());
    EXPECT_NE(loaded.error.find("colour number 2, but its colour table holds only 2 colours"),
              std::string::npos)
        << loaded.error;
}

TEST(PictureFile, NamesWithoutExtensionFindEitherCase) {
    for (const std::string file : {"logo.bmp", "logo.BMP"}) {
        ScratchFolder folder;
        folder.Write(file, BmpBytes(FilledPicture(30, 7, kBlack)));
        EXPECT_EQ(ExistingPictureName(folder.Path("logo")), folder.Path(file));
        EXPECT_EQ(LoadLogoPicture(folder.Path("logo")).picture.Width(), 30);
        EXPECT_EQ(ExistingPictureName(folder.Path("other")), folder.Path("other"));
    }
}

} // namespace
