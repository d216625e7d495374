// The logo file form: the bytes the printer takes, checked one by one.
#include "LogoFixtures.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

uint32_t U32(const std::vector<uint8_t> &bytes, size_t offset) {
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 |
           uint32_t(bytes[offset + 2]) << 16 | uint32_t(bytes[offset + 3]) << 24;
}

uint16_t U16(const std::vector<uint8_t> &bytes, size_t offset) {
    return uint16_t(bytes[offset] | bytes[offset + 1] << 8);
}

TEST(LogoBitmap, HeaderAndColourTable) {
    const std::vector<uint8_t> file = EncodeLogoBmp(LogoBitmap(56, 50));
    ASSERT_EQ(file.size(), 462u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(U32(file, 2), 462u); // file length
    EXPECT_EQ(U32(file, 10), 62u); // start of the pixel data
    EXPECT_EQ(U32(file, 14), 40u); // information header
    EXPECT_EQ(int32_t(U32(file, 18)), 56);
    EXPECT_EQ(int32_t(U32(file, 22)), 50); // positive: bottom-up rows
    EXPECT_EQ(U16(file, 26), 1);           // planes
    EXPECT_EQ(U16(file, 28), 1);           // bits a pixel
    EXPECT_EQ(U32(file, 30), 0u);          // no compression
    EXPECT_EQ(U32(file, 34), 400u);        // pixel bytes
    EXPECT_EQ(U32(file, 38), 3937u);       // 100 dots an inch, as every logo so far
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54, file.begin() + 62),
              (std::vector<uint8_t>{0, 0, 0, 0, 0xff, 0xff, 0xff, 0}));
}

TEST(LogoBitmap, RowsRunBottomUpPaddedToFourBytes) {
    LogoBitmap logo(56, 50);
    logo.SetBlack(0, 0);   // top-left
    logo.SetBlack(9, 49);  // bottom row, second byte
    logo.SetBlack(55, 49); // last pixel of the bottom row
    const std::vector<uint8_t> file = EncodeLogoBmp(logo);
    const size_t rowBytes = 8; // 7 bytes of pixels padded to 8
    // The file's first row is the logo's bottom row.
    EXPECT_EQ(file[62 + 0], 0xFF);
    EXPECT_EQ(file[62 + 1], 0xBF);
    EXPECT_EQ(file[62 + 6], 0xFE);
    EXPECT_EQ(file[62 + 7], 0x00);
    // The logo's top row comes last.
    EXPECT_EQ(file[62 + 49 * rowBytes], 0x7F);
    for (size_t row = 1; row < 49; ++row)
        for (size_t byte = 0; byte < 7; ++byte) ASSERT_EQ(file[62 + row * rowBytes + byte], 0xFF);
}

TEST(LogoBitmap, BitsPastTheWidthAreWhiteAndPaddingZero) {
    LogoBitmap logo(181, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 181; ++x) logo.SetBlack(x, y);
    const std::vector<uint8_t> file = EncodeLogoBmp(logo);
    ASSERT_EQ(file.size(), 62u + 24 * 3);
    for (size_t row = 0; row < 3; ++row) {
        const size_t start = 62 + row * 24;
        for (size_t byte = 0; byte < 22; ++byte) ASSERT_EQ(file[start + byte], 0);
        EXPECT_EQ(file[start + 22], 0x07); // columns 176-180 black, 181-183 white
        EXPECT_EQ(file[start + 23], 0x00);
    }
}

TEST(LogoBitmap, FileLengthFollowsWidthAndHeight) {
    const struct {
        int width, height;
        int64_t length;
    } cases[] = {{56, 50, 462},     {216, 50, 62 + 28 * 50}, {64, 17, 62 + 8 * 17},
                 {2560, 50, 16062}, {100000, 50, 625062},    {1, 25, 62 + 4 * 25}};
    for (const auto &c : cases) {
        EXPECT_EQ(LogoFileLength(c.width, c.height), c.length);
        EXPECT_EQ(int64_t(EncodeLogoBmp(LogoBitmap(c.width, c.height)).size()), c.length);
    }
    EXPECT_TRUE(LogoBitmap(0, 50).IsNull());
    EXPECT_TRUE(EncodeLogoBmp(LogoBitmap()).empty());
}

TEST(LogoBitmap, NearerColourDecidesBlackOrWhite) {
    EXPECT_FALSE(IsNearerWhite(kBlack));
    EXPECT_TRUE(IsNearerWhite(kWhite));
    EXPECT_TRUE(IsNearerWhite(Rgb{127, 128, 128}));  // 383
    EXPECT_FALSE(IsNearerWhite(Rgb{127, 128, 127})); // 382
    EXPECT_FALSE(IsNearerWhite(Rgb{255, 127, 0}));
}

TEST(LogoBitmap, WritingReplacesTheFileOrKeepsTheOldOne) {
    ScratchFolder folder;
    const std::string path = folder.Path("tempold.bmp");
    std::string error;
    ASSERT_TRUE(WriteLogoBmp(LogoBitmap(8, 17), path, &error)) << error;
    EXPECT_EQ(int64_t(std::filesystem::file_size(path)), LogoFileLength(8, 17));
    ASSERT_TRUE(WriteLogoBmp(LogoBitmap(56, 50), path, &error)) << error;
    EXPECT_EQ(std::filesystem::file_size(path), 462u);

    EXPECT_FALSE(
        WriteLogoBmp(LogoBitmap(8, 17), folder.Path("no such folder/tempold.bmp"), &error));
    EXPECT_EQ(error.rfind("Cannot write the logo file ", 0), 0u) << error;
    EXPECT_FALSE(WriteLogoBmp(LogoBitmap(), path, &error));
    EXPECT_EQ(std::filesystem::file_size(path), 462u);
    // Nothing but the logo is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path("")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(LogoBitmap, WritingFollowsLinksAndRefusesDevices) {
    ScratchFolder folder;
    const std::string target = folder.Path("target.bmp");
    std::filesystem::create_symlink(target, folder.Path("link.bmp"));
    std::string error;
    ASSERT_TRUE(WriteLogoBmp(LogoBitmap(8, 17), folder.Path("link.bmp"), &error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path("link.bmp")));
    EXPECT_EQ(int64_t(std::filesystem::file_size(target)), LogoFileLength(8, 17));
    EXPECT_FALSE(WriteLogoBmp(LogoBitmap(8, 17), "/dev/null", &error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}

} // namespace
