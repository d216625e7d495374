// Counted texts: the layout callers rely on, and their references.
#include <gtest/gtest.h>

#include <cstring>

#include "link/CountedText.h"

namespace {
int32_t References(zc_text text) { return reinterpret_cast<const int32_t*>(text)[-2]; }
int32_t LengthField(zc_text text) { return reinterpret_cast<const int32_t*>(text)[-1]; }
} // namespace

TEST(CountedText, MakeTextLaysOutCountLengthBytesAndZero) {
    const char bytes[] = {'S', 'T', '\0', 'X', '\xFF'};
    zc_text text = MakeText(bytes, 5);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(References(text), 1);
    EXPECT_EQ(LengthField(text), 5);
    EXPECT_EQ(std::memcmp(text, bytes, 5), 0);
    EXPECT_EQ(text[5], '\0');
    EXPECT_EQ(TextLength(text), 5);
    EXPECT_EQ(TextView(text), std::string_view(bytes, 5)); // zero bytes inside are kept
    ReleaseText(text);
}

TEST(CountedText, EmptyAndRefusedTextsAreNull) {
    EXPECT_EQ(MakeText("abc", 0), nullptr);
    EXPECT_EQ(MakeText("abc", -1), nullptr);
    EXPECT_EQ(MakeText(nullptr, 3), nullptr);
    EXPECT_EQ(TextLength(nullptr), 0);
    EXPECT_TRUE(TextView(nullptr).empty());
    EXPECT_EQ(NewText(""), nullptr);
    ReleaseText(nullptr);
}

TEST(CountedText, ArgumentsHoldAReferenceOnlyDuringTheCall) {
    zc_text text = NewText("HP.ZIP");
    ASSERT_NE(text, nullptr);
    {
        TextArgument argument(text);
        EXPECT_EQ(References(text), 2);
        EXPECT_EQ(argument.View(), "HP.ZIP");
    }
    EXPECT_EQ(References(text), 1);
    ReleaseText(text); // the last reference: freed (a sanitizer build sees a leak or a double free)
}

TEST(CountedText, ConstantTextsAreNeverCountedOrFreed) {
    struct {
        int32_t references = -1;
        int32_t length = 3;
        char bytes[4] = {'a', 'b', 'c', '\0'};
    } constant;
    {
        TextArgument argument(constant.bytes);
        EXPECT_EQ(argument.View(), "abc");
    }
    ReleaseText(constant.bytes);
    EXPECT_EQ(constant.references, -1);
}

TEST(CountedText, ACountAtItsMaximumDoesNotWrapIntoAConstant) {
    zc_text text = NewText("full");
    int32_t* references = reinterpret_cast<int32_t*>(const_cast<char*>(text)) - 2;
    *references = INT32_MAX;
    {
        TextArgument argument(text);
        EXPECT_EQ(argument.View(), "full");
        EXPECT_EQ(References(text), INT32_MAX);
    }
    EXPECT_EQ(References(text), INT32_MAX);
    *references = 1;
    ReleaseText(text); // still counted, so freed (a sanitizer build sees a leak otherwise)
}
