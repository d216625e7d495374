// DelPathString: the caller's text variable replaced by its part after the last backslash.
#include <gtest/gtest.h>

#include <zarelcom/zarelcom.h>

#include <string>

namespace {

std::string Stripped(const std::string &path) {
    zc_text text = MakeText(path.data(), static_cast<int32_t>(path.size()));
    EXPECT_TRUE(DelPathString(&text));
    const std::string result = text == nullptr ? std::string() : std::string(text);
    ReleaseText(text);
    return result;
}

TEST(DelPathString, KeepsThePartAfterTheLastBackslashOnly) {
    EXPECT_EQ(Stripped("C:\\a\\b\\c.txt"), "c.txt");
    EXPECT_EQ(Stripped("C:file.txt"), "C:file.txt");
    EXPECT_EQ(Stripped("dir/sub/file.txt"), "dir/sub/file.txt");
    EXPECT_EQ(Stripped("C:\\folder\\"), "");
    EXPECT_EQ(Stripped(""), "");
}

TEST(DelPathString, LeavesATextWithoutBackslashAsItIsAndRefusesANullVariable) {
    zc_text text = MakeText("name.txt", 8);
    const zc_text before = text;
    EXPECT_TRUE(DelPathString(&text));
    EXPECT_EQ(text, before);
    ReleaseText(text);

    EXPECT_FALSE(DelPathString(nullptr));
}

} // namespace
