// Request frames byte for byte as they go on the wire, and the refusals that send nothing.
#include <cstdio>
#include <functional>

#include <zarelcom/zarelcom.h>

#include "LinkTest.h"
#include "link/CountedText.h"

namespace {

class FrameTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        // Data enough for every reader, so that each request's frame goes out.
        AnswerEveryRequest(ReplyFrame('O', Bytes(64, 0)));
    }
};

// The frame of a request: STX, N, the payload from its lead byte on, the checksum, ETX.
Bytes RequestFrame(const Bytes &payload) {
    const std::size_t n = payload.size();
    Bytes frame = {0x02, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
    frame.insert(frame.end(), payload.begin(), payload.end());
    unsigned sum = 0;
    for (std::size_t i = 1; i < frame.size(); ++i) sum += frame[i];
    frame.push_back(static_cast<uint8_t>(sum));
    frame.push_back(0x03);
    return frame;
}

TEST_F(FrameTest, EveryCommandFromItsTemplate) {
    const int32_t two[2] = {0x01020304, -2};
    const int32_t one = 0x7FFF0001;
    const uint8_t status = 9;
    const uint8_t cfg[3] = {2, 0x10, 0x20};
    const uint8_t cfgH[5] = {1, 5, 6, 7, 8};
    const int32_t counter[5] = {3, 0x01020304, -1, 0, 1};
    int32_t record[5] = {3};
    int32_t out[6];
    const char *text;
    zc_text names;
    uint8_t data[64];
    int8_t shifts[15];
    SystemInfo info;
    const struct {
        std::function<void()> call;
        std::vector<Bytes> payloads;
    } cases[] = {
        {[] { GetMessageNo(); }, {{0x30, '2'}}},
        {[] { SetMessageNo(0x1FF); }, {{0x30, '3', 0xFF}}},
        {[&] { GetSystemClock(out); }, {{0x30, '4'}}},
        {[&] { GetTDFormat(&text, 1); }, {{0x30, '6'}}},
        {[&] { GetShift(shifts); }, {{0x30, '8'}}},
        {[&] { GetCounter(record, 0x105); }, {{0x30, ':', 3, 5}}},
        {[&] { SetZarelCount(counter, 2); },
         {{0x30, ';', 3, 2, 4, 3, 2, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1, 0, 0, 0}}},
        {[&] { StxGetStringC(9, &text); }, {{0x30, '<', 9}}},
        {[&] { GetRollHour(&text); }, {{0x30, '>'}}},
        {[] { SetRollHour(730); }, {{0x30, '?', 0xDA, 0x02}}},
        {[&] { GetCYear(&text); }, {{0x30, '@'}}},
        {[] { SetCYear(2026); }, {{0x30, 'A', 0xEA, 0x07}}},
        {[] { GetInkStaus(); }, {{0x30, 'D'}}},
        {[] { GetPrintStatus(); }, {{0x30, 'E'}}},
        {[] { SetPrintOff(); }, {{0x30, 'F', 0}}},
        {[] { GetTaskNo(); }, {{0x30, 'G'}}},
        {[] { SetTaskNo(260); }, {{0x30, 'H', 4}}},
        {[&] { GetSysData(data); }, {{0x30, 'I'}}},
        {[] { GetFreeLogoNo(); }, {{0x30, 'M'}}},
        {[] { GetFreeDiskSpc(); }, {{0x30, 'N'}}},
        {[] { ZarelReboot(); }, {{0x30, 'P'}}},
        {[] { SetZarelBaud(257); }, {{0x30, 'R', 1}}},
        {[&] { GetLang(&record[0], &record[1], &names); }, {{0x30, 'S'}}},
        {[] { SetLang(2); }, {{0x30, 'T', 2}}},
        {[] { GetMeasure(); }, {{0x30, 'U'}}},
        {[] { SetMeasure(1); }, {{0x30, 'V', 1}}},
        {[] { GetTaskCfg(); }, {{0x30, 'W'}}},
        {[] { SetTaskCfg(-1); }, {{0x30, 'X', 0xFF}}},
        {[&] { GetEncoder(out, &out[2]); }, {{0x30, 'Y'}, {0x30, '['}}},
        {[&] { SetEncoder(two); }, {{0x30, 'Z', 4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF}}},
        {[&] { SetEncoderStatus(&status); }, {{0x30, '\\', 9, 0, 0, 0}}},
        {[&] { GetConveyor(out); }, {{0x30, ']'}}},
        {[&] { SetConveyor(&one); }, {{0x30, '^', 1, 0, 0xFF, 0x7F}}},
        {[] { GetPHCfg(0x102); }, {{0x30, '_', 2}}},
        {[&] { SetPHCfg(cfg); }, {{0x30, '`', 2, 0x10, 0x20}}},
        {[&] { SetPHCfgH(cfgH); }, {{0x30, 'a', 1, 5, 6, 7, 8}}},
        {[] { SetPHDPI(0x1B4, 3); }, {{0x30, 'c', 3, 0xB4}}},
        {[&] {
             out[0] = 0x11223344;
             GetMsgDelay(out);
         },
         {{0x30, 'd', 0x44, 0x33, 0x22, 0x11}}},
        {[&] { SetMsgDelay(two); }, {{0x30, 'e', 4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF}}},
        {[] { GetMaxMsg(); }, {{0x30, 'f'}}},
        {[] { GetBackUpRestoreReg(); }, {{0x30, 'g'}}},
        {[] { StopTask(); }, {{0x30, 'i'}}},
        {[] { GetPRCmd(); }, {{0x30, 0xF0, 0x10}}},
        {[] { IncPRCmd(); }, {{0x30, 0xF0, 0x11}}},
        {[] { ClearPRCmd(); }, {{0x30, 0xF0, 0x12}}},
        {[] { SetPRCmd(); }, {{0x30, 0xF0, 0x13}}},
        {[] { AdjPRCmd(); }, {{0x30, 0xF0, 0x14}}},
        {[&] { GetSysInfo(&info); }, {{0x30, 'B'}}},
    };
    Bytes expected;
    for (const auto &c : cases) {
        c.call();
        for (const Bytes &payload : c.payloads) {
            const Bytes frame = RequestFrame(payload);
            expected.insert(expected.end(), frame.begin(), frame.end());
        }
        ASSERT_EQ(Written(), expected) << "command " << c.payloads[0][1];
    }
}

TEST_F(FrameTest, GivenFrames) {
    EXPECT_NE(GetZarelType(), -1);
    EXPECT_TRUE(SetPrintOn());
    const int32_t clock[6] = {2005, 12, 7, 15, 30, 45};
    EXPECT_TRUE(SetZarelClock(clock));
    SystemInfo info;
    EXPECT_TRUE(GetSysInfo(&info));
    EXPECT_EQ(Written(), Bytes({0x02, 0x00, 0x02, 0x30, 0x74, 0xA6, 0x03,       //
                                0x02, 0x00, 0x03, 0x30, 0x46, 0x01, 0x7A, 0x03, //
                                0x02, 0x00, 0x09, 0x30, 0x35, 0xD5, 0x07, 0x0C,
                                0x07, 0x0F, 0x1E, 0x2D, 0xB7, 0x03, //
                                0x02, 0x00, 0x02, 0x30, 0x42, 0x74, 0x03}));
}

TEST_F(FrameTest, ShiftTimesTravelAsHourTimes100PlusMinute) {
    int8_t shifts[15];
    for (int g = 0; g < 5; ++g) {
        shifts[3 * g] = ' ';
        shifts[3 * g + 1] = shifts[3 * g + 2] = 0;
    }
    shifts[0] = 0x41;
    shifts[1] = 23;
    shifts[2] = 59;
    EXPECT_TRUE(SetZarelShift(shifts));
    Bytes expected = {0x02, 0x00, 0x11, 0x30, 0x39, 0x41, 0x37, 0x09};
    for (int g = 1; g < 5; ++g) expected.insert(expected.end(), {0x20, 0x00, 0x00});
    expected.insert(expected.end(), {0x7B, 0x03});
    EXPECT_EQ(Written(), expected);
}

TEST_F(FrameTest, DateFormatWithoutCodes) {
    const uint8_t codes[] = {0};
    EXPECT_TRUE(SetTDFormat(codes));
    EXPECT_EQ(Written(), Bytes({0x02, 0x00, 0x03, 0x30, 0x37, 0x00, 0x6A, 0x03}));
}

TEST_F(FrameTest, DateFormatOf127CodesIsSentAnd128IsRefused) {
    uint8_t codes[129] = {127};
    EXPECT_TRUE(SetTDFormat(codes));
    EXPECT_EQ(Written().size(), 127u + 8);
    codes[0] = 128;
    EXPECT_FALSE(SetTDFormat(codes));
    EXPECT_EQ(Written().size(), 127u + 8) << "a refusal sends nothing";
}

TEST_F(FrameTest, EmptyUserString) {
    EXPECT_TRUE(StxSdString(nullptr, 0));
    EXPECT_EQ(Written(), Bytes({0x02, 0x00, 0x04, 0x30, 0x3D, 0x00, 0x00, 0x71, 0x03}));
}

TEST_F(FrameTest, UserStringCarriesZeroBytesAndRefusesMoreThan251) {
    const char bytes[] = {'a', 0, 'b'};
    const zc_text withZero = NewText({bytes, 3});
    EXPECT_TRUE(StxSdString(withZero, 0x107));
    ReleaseText(withZero);
    EXPECT_EQ(Written(),
              Bytes({0x02, 0x00, 0x07, 0x30, 0x3D, 0x07, 0x03, 'a', 0x00, 'b', 0x41, 0x03}));

    const std::string longest(251, 'x');
    EXPECT_TRUE(StxSdStringC(longest.c_str(), 1));
    EXPECT_EQ(Written().size(), 12u + 251 + 9);
    const std::string tooLong(252, 'x');
    EXPECT_FALSE(StxSdStringC(tooLong.c_str(), 1));
    const zc_text counted = NewText(tooLong);
    EXPECT_FALSE(StxSdString(counted, 1));
    ReleaseText(counted);
    EXPECT_EQ(Written().size(), 12u + 251 + 9) << "refusals send nothing";
}

TEST_F(FrameTest, BlockRequestsCarryTheNumberAndItsComplement) {
    AnswerEveryRequest(ReplyFrame('}', Bytes(514, 0)));
    EXPECT_TRUE(StxGetPack(1));
    EXPECT_TRUE(StxGetPack(static_cast<uint8_t>(256)));
    EXPECT_EQ(Written(), Bytes({0x02, 0x00, 0x04, 0x30, 0x7D, 0x01, 0xFE, 0xB0, 0x03, //
                                0x02, 0x00, 0x04, 0x30, 0x7D, 0x00, 0xFF, 0xB0, 0x03}));
}

TEST_F(FrameTest, DataBlockOfAFileEndIsZeroFilled) {
    FILE *file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    for (int i = 0; i < 700; ++i) std::fputc(0x41 + i % 26, file);
    std::rewind(file);
    EXPECT_TRUE(StxSendPack(1, file));
    EXPECT_EQ(std::ftell(file), 512);
    EXPECT_TRUE(StxSendPack(2, file));
    EXPECT_EQ(std::ftell(file), 700);
    std::fclose(file);

    const Bytes w = Written();
    ASSERT_EQ(w.size(), 2u * 521);
    EXPECT_EQ(Bytes(w.begin(), w.begin() + 7), Bytes({0x02, 0x02, 0x04, 0x30, 0x7E, 0x01, 0xFE}));
    const Bytes second(w.begin() + 521, w.end());
    EXPECT_EQ(Bytes(second.begin() + 5, second.begin() + 7), Bytes({0x02, 0xFD}));
    EXPECT_EQ(second[7], 0x41 + 512 % 26);
    EXPECT_EQ(second[7 + 187], 0x41 + 699 % 26);
    EXPECT_EQ(Bytes(second.begin() + 7 + 188, second.begin() + 519), Bytes(324, 0));
    unsigned sum = 0;
    for (int i = 1; i < 519; ++i) sum += second[i];
    EXPECT_EQ(second[519], sum & 0xFF);
    EXPECT_EQ(second[520], 0x03);
}

TEST_F(FrameTest, LinkModeSwitches) {
    PrinterIs([](const Bytes &written) {
        return written == Bytes{'\r'} ? ToBytes("\r\nCMD: ") : Bytes{};
    });
    EXPECT_TRUE(SetCmdProtocol());
    EXPECT_EQ(Written(), Bytes({0x02, 0x00, 0x02, 0x30, 0x80, 0xB2, 0x03, 0x0D}));

    PrinterIs(
        [](const Bytes &written) { return written[0] == 0x02 ? ReplyFrame('E', {0}) : Bytes{}; });
    EXPECT_TRUE(SetStxProtocol());
    const Bytes w = Written();
    const Bytes toPacket(w.begin() + 8, w.begin() + 22);
    EXPECT_EQ(toPacket,
              Bytes({'S', 'T', 'X', '.', 'P', 'R', 'O', 'T', 'O', 'C', 'O', 'L', 0x0D, 0x00}));
}

} // namespace
