// The library's queries and settings against the simulated printer over a pseudo-terminal: each
// query returns what the printer holds, each setting lands in it, and what is set is read back.
#include "LibraryPrinter.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zarelsim::test {
namespace {

class E2ECommandTest : public ::testing::Test {
protected:
    LibraryPrinter line;
    Simulator& printer = line.printer();
};

TEST_F(E2ECommandTest, QueriesReturnWhatThePrinterHolds) {
    printer.Update([](PrinterState& s) {
        s.serialNumber = 4711;
        s.modelNumber = 345;
        s.firmwareVersion = 206;
        s.referenceYear = 2024;
        s.referenceMonthDay = 3 * 31 + 9;
        s.printerType = 7;
        s.printOn = 9;
        s.inkStatus = 4;
        s.messageNo = 12;
        s.measure = 1;
        s.conveyor = -300;
        s.encoder[0] = 1234;
        s.encoder[1] = -5;
        s.encoderStatus = 3;
        s.messageDelays[6] = 777;
        s.language = 1;
        s.systemData[63] = 0xEE;
        s.logos[0] = s.logos[1] = {1};
        s.productCounter = 41;
    });
    SystemInfo info{};
    ASSERT_TRUE(GetSysInfo(&info));
    EXPECT_EQ(info.SerialNo, 4711);
    EXPECT_EQ(info.ModelNo, 345);
    EXPECT_EQ(info.Version, 206);
    EXPECT_EQ(info.RefYear, 2024);
    EXPECT_EQ(info.RefMonthDay, 3 * 31 + 9);
    EXPECT_EQ(GetZarelType(), 7);
    EXPECT_EQ(GetPrintStatus(), 1); // any non-zero status is "printing"
    EXPECT_EQ(GetInkStaus(), 4);
    EXPECT_EQ(GetMessageNo(), 12);
    EXPECT_EQ(GetMeasure(), 1);
    EXPECT_EQ(GetMaxMsg(), 100);
    EXPECT_EQ(GetFreeLogoNo(), 3);
    EXPECT_EQ(uint32_t(GetFreeDiskSpc()), printer.State().FreeDiskSpace());
    EXPECT_EQ(GetBackUpRestoreReg(), 0);
    int32_t conveyor = 0;
    ASSERT_TRUE(GetConveyor(&conveyor));
    EXPECT_EQ(conveyor, -300);
    int32_t encoder[2] = {}, status = 0;
    ASSERT_TRUE(GetEncoder(encoder, &status));
    EXPECT_EQ(encoder[0], 1234);
    EXPECT_EQ(encoder[1], -5);
    EXPECT_EQ(status, 3);
    int32_t delay[2] = {6, 0};
    ASSERT_TRUE(GetMsgDelay(delay));
    EXPECT_EQ(delay[1], 777);
    int32_t count = 0, current = 0;
    zc_text names = nullptr;
    ASSERT_TRUE(GetLang(&count, &current, &names));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(current, 1);
    EXPECT_EQ(TakeText(names), "English Chinese Deutsch ");
    uint8_t data[64] = {};
    ASSERT_TRUE(GetSysData(data));
    EXPECT_EQ(std::memcmp(data, "ZAREL HP", 8), 0);
    EXPECT_EQ(data[63], 0xEE);
    EXPECT_TRUE(GetPHCfg(1));
    EXPECT_TRUE(GetTaskCfg());
    EXPECT_TRUE(GetTaskNo());
    const char* counter = GetPRCmd();
    ASSERT_NE(counter, nullptr);
    EXPECT_STREQ(counter, "41");
    printer.Update([](PrinterState& s) { s.maxMessages = -1; });
    EXPECT_EQ(GetMaxMsg(), -1);
}

TEST_F(E2ECommandTest, SettingsLandInThePrinter) {
    ASSERT_TRUE(SetPrintOn());
    EXPECT_EQ(printer.State().printOn, 1);
    ASSERT_TRUE(SetPrintOff());
    EXPECT_EQ(printer.State().printOn, 0);
    ASSERT_TRUE(SetMessageNo(7));
    ASSERT_TRUE(SetTaskNo(3));
    ASSERT_TRUE(SetTaskCfg(0x21));
    ASSERT_TRUE(SetLang(2));
    ASSERT_TRUE(SetMeasure(1));
    const uint8_t encoderStatus = 5;
    ASSERT_TRUE(SetEncoderStatus(&encoderStatus));
    const int32_t conveyor = 250;
    ASSERT_TRUE(SetConveyor(&conveyor));
    const uint8_t head[3] = {2, 0x11, 0x22};
    ASSERT_TRUE(SetPHCfg(head));
    const uint8_t height[5] = {2, 0x78, 0x56, 0x34, 0x12};
    ASSERT_TRUE(SetPHCfgH(height));
    ASSERT_TRUE(SetPHDPI(300 & 0xFF, 2));
    ASSERT_TRUE(SetCYear(27));
    ASSERT_TRUE(SetRollHour(545));
    PrinterState s = printer.State();
    EXPECT_EQ(s.messageNo, 7);
    EXPECT_EQ(s.taskNo, 3);
    EXPECT_EQ(s.taskConfig, 0x21);
    EXPECT_EQ(s.language, 2);
    EXPECT_EQ(s.measure, 1);
    EXPECT_EQ(s.encoderStatus, 5);
    EXPECT_EQ(s.conveyor, 250);
    EXPECT_EQ(s.heads[2].config[0], 0x11);
    EXPECT_EQ(s.heads[2].config[1], 0x22);
    EXPECT_EQ(s.heads[2].heightConfig, 0x12345678u);
    EXPECT_EQ(s.heads[2].dpi, 300 & 0xFF);
    EXPECT_EQ(s.yearCode, 27);
    EXPECT_EQ(s.rollHour, 545);

    ASSERT_TRUE(IncPRCmd());
    ASSERT_TRUE(IncPRCmd());
    ASSERT_TRUE(AdjPRCmd());
    EXPECT_EQ(printer.State().productCounter, 1u);
    ASSERT_TRUE(ClearPRCmd());
    EXPECT_EQ(printer.State().productCounter, 0u);
    printer.Update([](PrinterState& st) {
        st.productPreset = 90;
        st.printOn = 1;
    });
    ASSERT_TRUE(SetPRCmd());
    EXPECT_EQ(printer.State().productCounter, 90u);
    ASSERT_TRUE(StopTask());
    EXPECT_EQ(printer.State().printOn, 0);
    ASSERT_TRUE(ZarelReboot());
    EXPECT_EQ(printer.State().reboots, 1u);
}

TEST_F(E2ECommandTest, WhatIsSetIsReadBack) {
    printer.Update([](PrinterState& s) { s.clockRuns = false; });
    const int32_t clock[6] = {2031, 12, 31, 23, 59, 58};
    ASSERT_TRUE(SetZarelClock(clock));
    int32_t readClock[6] = {};
    ASSERT_TRUE(GetSystemClock(readClock));
    EXPECT_EQ(std::vector<int32_t>(readClock, readClock + 6),
              std::vector<int32_t>(clock, clock + 6));

    const int8_t shifts[15] = {'A', 6, 0, 'B', 14, 30, 'C', 23, 59, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(SetZarelShift(shifts));
    int8_t readShifts[15] = {};
    ASSERT_TRUE(GetShift(readShifts));
    EXPECT_EQ(std::memcmp(readShifts, shifts, 15), 0);

    const int32_t counter[5] = {4, 100000, -2, 7, 1};
    ASSERT_TRUE(SetZarelCount(counter, 1));
    int32_t readCounter[5] = {4, 0, 0, 0, 0};
    ASSERT_TRUE(GetCounter(readCounter, 1));
    EXPECT_EQ(std::vector<int32_t>(readCounter, readCounter + 5),
              std::vector<int32_t>(counter, counter + 5));

    const uint8_t codes[] = {10, 0, 0, 0, 0, 4, 5, 6, 7, 8, 9};
    ASSERT_TRUE(SetTDFormat(codes));
    const char* pattern = nullptr;
    ASSERT_EQ(GetTDFormat(&pattern, 1), 1);
    EXPECT_STREQ(pattern, "YYYY/MM/DD");
    const uint8_t none[] = {0};
    ASSERT_TRUE(SetTDFormat(none));
    ASSERT_EQ(GetTDFormat(&pattern, 1), -1);
    EXPECT_STREQ(pattern, " Not use Time Date format");

    ASSERT_TRUE(StxSdStringC("Lot 42/B", 200));
    EXPECT_EQ(TakeText(StxGetString(200)), "Lot 42/B");
    const char* text = nullptr;
    ASSERT_TRUE(StxGetStringC(200, &text));
    EXPECT_STREQ(text, "Lot 42/B");
    ASSERT_TRUE(StxSdString(Text(std::string("a\0b", 3)), 0));
    EXPECT_EQ(printer.State().strings[0], std::string("a\0b", 3));
    EXPECT_EQ(TakeText(StxGetString(0)), "a"); // the text ends at its first zero byte
    ASSERT_TRUE(StxGetStringC(1, &text));
    EXPECT_STREQ(text, " Not use this string");

    const int32_t encoder[2] = {4000, 25};
    ASSERT_TRUE(SetEncoder(encoder));
    int32_t readEncoder[2] = {}, status = 0;
    ASSERT_TRUE(GetEncoder(readEncoder, &status));
    EXPECT_EQ(readEncoder[0], 4000);
    EXPECT_EQ(readEncoder[1], 25);

    const int32_t delay[2] = {9, 1500};
    ASSERT_TRUE(SetMsgDelay(delay));
    int32_t readDelay[2] = {9, 0};
    ASSERT_TRUE(GetMsgDelay(readDelay));
    EXPECT_EQ(readDelay[1], 1500);

    ASSERT_TRUE(SetCYear(2031));
    const char* year = nullptr;
    ASSERT_TRUE(GetCYear(&year));
    EXPECT_STREQ(year, "2031");
    printer.Update([](PrinterState& s) { s.yearCode = -3; });
    ASSERT_TRUE(GetCYear(&year));
    EXPECT_STREQ(year, "-3");
    ASSERT_TRUE(SetRollHour(730));
    const char* roll = nullptr;
    ASSERT_TRUE(GetRollHour(&roll));
    EXPECT_STREQ(roll, "07:30");
}

TEST_F(E2ECommandTest, ARefusedValueFailsWithThePrintersErrorNumber) {
    EXPECT_FALSE(SetLang(9));
    EXPECT_EQ(GetCurrErrCode(), 5);
    EXPECT_EQ(printer.State().language, 0);
    EXPECT_FALSE(SetZarelBaud(7));
    EXPECT_EQ(GetCurrErrCode(), 5);
    EXPECT_EQ(printer.Stats().requests, 6u); // three attempts each
}

TEST_F(E2ECommandTest, ABaudChangeIsFollowedByTheHost) {
    ASSERT_TRUE(SetZarelBaud(4));
    EXPECT_EQ(printer.Baud(), 115200u);
    EXPECT_EQ(GetPrintStatus(), -1); // the host still at 19200
    ASSERT_TRUE(SetBaudRate(ZC_BR115200));
    EXPECT_EQ(GetPrintStatus(), 0);
}

} // namespace
} // namespace zarelsim::test
