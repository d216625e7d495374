// What the command functions take from the printer's replies, and what they leave alone when
// the exchange fails.
#include <cstring>
#include <string>

#include <zarelcom/zarelcom.h>

#include "LinkTest.h"
#include "link/CountedText.h"
#include "link/Exchange.h"

namespace {

class ReplyDecodingTest : public LinkTest {
protected:
    void Reply(uint8_t code, const Bytes &data) { AnswerEveryRequest(ReplyFrame(code, data)); }
};

Bytes Le32(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    return {uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24)};
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes &part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST_F(ReplyDecodingTest, PrintStatusHasThreeOutcomes) {
    EXPECT_EQ(GetPrintStatus(), -1);
    Reply('E', {0});
    EXPECT_EQ(GetPrintStatus(), 0);
    Reply('E', {1});
    EXPECT_EQ(GetPrintStatus(), 1);
    Reply('E', {255});
    EXPECT_EQ(GetPrintStatus(), 1);
}

TEST_F(ReplyDecodingTest, OneByteQueriesAndTheirFailureValues) {
    EXPECT_EQ(GetFreeLogoNo(), -1);
    EXPECT_EQ(GetInkStaus(), 255);
    EXPECT_EQ(GetBackUpRestoreReg(), 2);
    EXPECT_EQ(GetMessageNo(), -1);
    EXPECT_EQ(GetZarelType(), -1);
    Reply('x', {200, 1, 2, 3, 77});
    EXPECT_EQ(GetFreeLogoNo(), 200);
    EXPECT_EQ(GetMeasure(), 200);
    EXPECT_EQ(GetZarelType(), 77);
}

TEST_F(ReplyDecodingTest, SixteenAndThirtyTwoBitValues) {
    EXPECT_EQ(GetMaxMsg(), 0);
    EXPECT_EQ(GetFreeDiskSpc(), 0);
    Reply('f', {0xFF, 0xFF, 0xFF, 0x7F});
    EXPECT_EQ(GetMaxMsg(), -1);
    EXPECT_EQ(GetFreeDiskSpc(), 0x7FFFFFFF);
}

TEST_F(ReplyDecodingTest, SystemInfoFieldsAndUntouchedOnFailure) {
    SystemInfo info = {-5, -5, -5, -5, -5};
    EXPECT_FALSE(GetSysInfo(&info));
    EXPECT_EQ(info.SerialNo, -5);
    EXPECT_EQ(info.RefMonthDay, -5);
    Reply('B', Concat({Le32(123456), Le32(101), Le32(206), Le32(2005), Le32(3 * 31 + 14)}));
    EXPECT_TRUE(GetSysInfo(&info));
    EXPECT_EQ(info.SerialNo, 123456);
    EXPECT_EQ(info.ModelNo, 101);
    EXPECT_EQ(info.Version, 206);
    EXPECT_EQ(info.RefYear, 2005);
    EXPECT_EQ(info.RefMonthDay, 107);
}

TEST_F(ReplyDecodingTest, EncoderIsHalfWrittenWhenTheSecondRequestFails) {
    int calls = 0;
    PrinterIs([&](const Bytes &) {
        return ++calls == 1 ? ReplyFrame('Y', Concat({Le32(7), Le32(-8)})) : Bytes{};
    });
    int32_t record[2] = {0, 0};
    int32_t status = 99;
    EXPECT_FALSE(GetEncoder(record, &status));
    EXPECT_EQ(record[0], 7);
    EXPECT_EQ(record[1], -8);
    EXPECT_EQ(status, 99);
    Reply('[', {5, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(GetEncoder(record, &status));
    EXPECT_EQ(status, 5);
}

TEST_F(ReplyDecodingTest, ConveyorAndMessageDelay) {
    int32_t conveyor = 1;
    int32_t delay[2] = {0x0A0B0C0D, 0};
    EXPECT_FALSE(GetMsgDelay(delay));
    EXPECT_FALSE(GetConveyor(&conveyor));
    EXPECT_EQ(conveyor, 1);
    EXPECT_EQ(delay[0], 0x0A0B0C0D);
    const Bytes w = Written();
    EXPECT_EQ(Bytes(w.begin() + 5, w.begin() + 9), Le32(0x0A0B0C0D)) << "field 0 goes out";
    Reply('d', Concat({Le32(-2), Le32(300)}));
    EXPECT_TRUE(GetConveyor(&conveyor));
    EXPECT_TRUE(GetMsgDelay(delay));
    EXPECT_EQ(conveyor, -2);
    EXPECT_EQ(delay[0], -2);
    EXPECT_EQ(delay[1], 300);
}

TEST_F(ReplyDecodingTest, SysDataIsCopiedAsItIs) {
    Bytes data(64);
    for (int i = 0; i < 64; ++i) data[i] = static_cast<uint8_t>(200 + i);
    Reply('I', data);
    uint8_t out[64] = {};
    EXPECT_TRUE(GetSysData(out));
    EXPECT_EQ(Bytes(out, out + 64), data);
}

TEST_F(ReplyDecodingTest, LanguagesHandOutOnlyTheNamesTheReplyHolds) {
    int32_t count = -1, current = -1;
    zc_text names = nullptr;
    Reply('S', Concat({{2, 1}, ToBytes("ENGLISH "), ToBytes("CHINESE ")}));
    ASSERT_TRUE(GetLang(&count, &current, &names));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(current, 1);
    EXPECT_EQ(std::string(TextView(names)), "ENGLISH CHINESE ");
    ReleaseText(names);

    Reply('S', Concat({{200, 0}, ToBytes("ENGLISH "), ToBytes("CHIN")}));
    ASSERT_TRUE(GetLang(&count, &current, &names));
    EXPECT_EQ(count, 1) << "the reply announces 200 names but carries one whole";
    EXPECT_EQ(std::string(TextView(names)), "ENGLISH ");
    ReleaseText(names);

    Reply('S', {0, 3});
    ASSERT_TRUE(GetLang(&count, &current, &names));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(names, nullptr) << "no names: the empty text";
}

TEST_F(ReplyDecodingTest, PrintRegistrationTextEndsInsideTheReply) {
    EXPECT_EQ(GetPRCmd(), nullptr);
    std::memset(ProcessLink().rcvBuffer, 'z', sizeof ProcessLink().rcvBuffer);
    Reply(0xF0, Concat({{0x10}, ToBytes("REG 12")}));
    const char *text = GetPRCmd();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text, reinterpret_cast<const char *>(ProcessLink().rcvBuffer + 3));
    EXPECT_STREQ(text, "REG 12");
    Reply(0xF0, {});
    EXPECT_STREQ(GetPRCmd(), "") << "a reply without data gives an empty text";
}

TEST_F(ReplyDecodingTest, IncPRCmdFailsWhenThePrinterIsSilentOrAnswersShort) {
    AnswerEveryRequest(ReplyFrame('x'));
    ASSERT_TRUE(IncPRCmd());
    PrinterIs([](const Bytes &) { return Bytes{}; });
    EXPECT_FALSE(IncPRCmd());
    AnswerEveryRequest({0x02, 0x00, 0x05, 0x30});
    EXPECT_FALSE(IncPRCmd());
    AnswerEveryRequest(ErrorReply(3));
    EXPECT_FALSE(IncPRCmd());
}

TEST_F(ReplyDecodingTest, ClockRecord) {
    int32_t clock[6] = {1, 1, 1, 1, 1, 1};
    EXPECT_FALSE(GetSystemClock(clock));
    EXPECT_EQ(clock[0], 1);
    Reply('4', {0xD5, 0x07, 12, 31, 23, 59, 250});
    EXPECT_TRUE(GetSystemClock(clock));
    EXPECT_EQ(std::vector<int32_t>(clock, clock + 6),
              std::vector<int32_t>({2005, 12, 31, 23, 59, 250}));
    Reply('4', {0xFE, 0xFF, 0, 0, 0, 0, 0});
    EXPECT_TRUE(GetSystemClock(clock));
    EXPECT_EQ(clock[0], -2);
}

TEST_F(ReplyDecodingTest, ShiftGroupsWithSpaceCodesAreEmpty) {
    int8_t shifts[15];
    std::memset(shifts, 7, sizeof shifts);
    EXPECT_FALSE(GetShift(shifts));
    EXPECT_EQ(shifts[0], 7);
    Reply('8', {' ', 0xCE, 0x04, 0x42, 0x00, 0x00, 0x41, 0x37, 0x09, 0x43, 0x2C, 0x01, ' ', 0, 0});
    EXPECT_TRUE(GetShift(shifts));
    EXPECT_EQ(std::vector<int>(shifts, shifts + 15),
              std::vector<int>({0, 0, 0, 0x42, 0, 0, 0x41, 23, 59, 0x43, 3, 0, 0, 0, 0}));
}

TEST_F(ReplyDecodingTest, RollHourTexts) {
    const char *text = "untouched";
    EXPECT_FALSE(GetRollHour(&text));
    EXPECT_STREQ(text, "untouched");
    const std::pair<int16_t, const char *> cases[] = {
        {730, "07:30"}, {5, "00:05"}, {0, "00:00"}, {2359, "23:59"}};
    for (const auto &[value, expected] : cases) {
        Reply('>', {uint8_t(value), uint8_t(value >> 8)});
        ASSERT_TRUE(GetRollHour(&text));
        EXPECT_STREQ(text, expected) << value;
    }
}

TEST_F(ReplyDecodingTest, YearTexts) {
    const char *text = nullptr;
    EXPECT_FALSE(GetCYear(&text));
    EXPECT_STREQ(text, "dffd");
    Reply('@', {0xEA, 0x07});
    ASSERT_TRUE(GetCYear(&text));
    EXPECT_STREQ(text, "2026");
    Reply('@', {0x00, 0x80});
    ASSERT_TRUE(GetCYear(&text));
    EXPECT_STREQ(text, "-32768");
}

TEST_F(ReplyDecodingTest, CounterRecord) {
    int32_t record[5] = {4, 0, 0, 0, 0};
    Reply(':', Concat({{9, 0xEE}, Le32(1000), Le32(-1), Le32(0), Le32(1)}));
    EXPECT_TRUE(GetCounter(record, 2));
    EXPECT_EQ(std::vector<int32_t>(record, record + 5), std::vector<int32_t>({9, 1000, -1, 0, 1}));
    const Bytes w = Written();
    EXPECT_EQ(Bytes(w.begin() + 5, w.begin() + 7), Bytes({4, 2}));
}

TEST_F(ReplyDecodingTest, DateFormatInTextAndRawForm) {
    const char *text = "untouched";
    EXPECT_EQ(GetTDFormat(&text, 1), 0);
    EXPECT_STREQ(text, "untouched");

    const Bytes codes = {11, 0, 0, 0, 0, 4, 5, 6, 7, 8, 9, 0x2D};
    Reply('6', codes);
    EXPECT_EQ(GetTDFormat(&text, 1), 1);
    EXPECT_STREQ(text, "YYYY/MM/DD-");
    EXPECT_EQ(GetTDFormat(&text, 0), 1);
    EXPECT_EQ(text, reinterpret_cast<const char *>(ProcessLink().rcvBuffer + 2));
    EXPECT_EQ(Bytes(text, text + codes.size()), codes);

    Reply('6', {31, 10, 11, 12, 13, 14, 15, 16, 17,  18,  19, 20, 21, 22, 23, 24,
                25, 26, 27, 28, 29, 30, 31, 32, 'Q', 255, 1,  2,  3,  4,  5,  6});
    EXPECT_EQ(GetTDFormat(&text, 1), 1);
    EXPECT_STREQ(text, " hh:mm:ss JJJ WW w AAA Q\xFFYYY/MM");

    for (uint8_t form : {0, 1}) {
        Reply('6', {0});
        EXPECT_EQ(GetTDFormat(&text, form), -1);
        EXPECT_STREQ(text, " Not use Time Date format");
    }
}

TEST_F(ReplyDecodingTest, UserStringEndsAtAZeroByte) {
    zc_text failed = StxGetString(3);
    EXPECT_EQ(std::string(TextView(failed)), "0");
    ReleaseText(failed);

    Reply('<', Concat({{3, 5}, ToBytes("ab"), {0}, ToBytes("cd")}));
    zc_text text = StxGetString(3);
    EXPECT_EQ(std::string(TextView(text)), "ab");
    ReleaseText(text);
    EXPECT_EQ(Written().at(3 * 8 + 5), 3) << "the string number goes out";

    Reply('<', Concat({{3, 4}, ToBytes("LOT7")}));
    text = StxGetString(3);
    EXPECT_EQ(std::string(TextView(text)), "LOT7");
    ReleaseText(text);
}

TEST_F(ReplyDecodingTest, UserStringTextHeldByTheLibrary) {
    const char *text = "untouched";
    EXPECT_FALSE(StxGetStringC(1, &text));
    EXPECT_STREQ(text, "untouched");
    Reply('<', {1, 0});
    EXPECT_TRUE(StxGetStringC(1, &text));
    EXPECT_STREQ(text, " Not use this string");
    Reply('<', Concat({{1, 6}, ToBytes("BATCH9")}));
    EXPECT_TRUE(StxGetStringC(1, &text));
    EXPECT_STREQ(text, "BATCH9");
    Reply('<', Concat({{1, 200}, ToBytes("SHORT")}));
    EXPECT_TRUE(StxGetStringC(1, &text));
    EXPECT_STREQ(text, "SHORT") << "only what the reply carries";
}

TEST_F(ReplyDecodingTest, BlockRepliesMustCarryCodeAndWholeBlock) {
    Reply('O', Bytes(514, 0));
    EXPECT_FALSE(StxGetPack(1));
    EXPECT_EQ(RequestsWritten(), 3);
    Reply('}', Bytes(100, 0));
    EXPECT_FALSE(StxGetPack(1)) << "a reply without the whole block";
    Bytes block(514);
    for (int i = 0; i < 514; ++i) block[i] = static_cast<uint8_t>(i * 7);
    Reply('}', block);
    EXPECT_TRUE(StxGetPack(1));
    EXPECT_EQ(Bytes(ProcessLink().rcvBuffer + 4, ProcessLink().rcvBuffer + 516),
              Bytes(block.begin() + 2, block.end()));
}

TEST_F(ReplyDecodingTest, DataBlockIsTriedThreeTimesThreeWhenNotAcknowledged) {
    Reply('x', {});
    FILE *file = std::tmpfile();
    EXPECT_FALSE(StxSendPack(1, file));
    EXPECT_EQ(RequestsWritten(), 3) << "each good reply ends its exchange";
    AnswerEveryRequest(ErrorReply(16));
    EXPECT_FALSE(StxSendPack(1, file));
    EXPECT_EQ(RequestsWritten(), 3 + 9) << "error 16 does not stop a data block's exchange";
    std::fclose(file);
    EXPECT_FALSE(StxSendPack(1, nullptr));
    EXPECT_EQ(RequestsWritten(), 12);
}

} // namespace
