// Bad input at every export that takes an argument: null pointers, negative and huge counts and
// numbers, texts of 0, 251, 252 and 65536 bytes, broken counted texts, ordinals out of range, bad
// paths and hexadecimal text. Each
// gives its failure value and puts nothing on the wire that should not go there. Run under the
// asan preset to show that none of it reads or writes out of bounds.
#include <gtest/gtest.h>

#include <zarelcom/zarelcom.hpp>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "PrinterOnPty.h"

namespace {

class BadInput : public ::testing::Test {
protected:
    // Nothing reached the printer since the last call: no request, no stray byte, no bad frame.
    void ExpectNothingSent(const char* what) {
        const zarelsim::Statistics now = line.Printer().Stats();
        EXPECT_EQ(now.requests, seen.requests) << what << " sent a request";
        EXPECT_EQ(now.ignoredBytes, seen.ignoredBytes) << what << " sent stray bytes";
        EXPECT_EQ(now.badFrames, seen.badFrames) << what << " sent a bad frame";
        seen = now;
    }
    void TakeStock() { seen = line.Printer().Stats(); }

    PrinterOnPty line;
    zarelsim::Statistics seen = line.Printer().Stats();
};

using zarelcom::Text;

TEST_F(BadInput, NullOutputsFailBeforeAnythingIsSent) {
    EXPECT_FALSE(GetSysInfo(nullptr));
    EXPECT_FALSE(GetConveyor(nullptr));
    int32_t record[5] = {};
    EXPECT_FALSE(GetEncoder(nullptr, record));
    EXPECT_FALSE(GetEncoder(record, nullptr));
    EXPECT_FALSE(GetMsgDelay(nullptr));
    int32_t count = 0, current = 0;
    zc_text names = nullptr;
    EXPECT_FALSE(GetLang(nullptr, &current, &names));
    EXPECT_FALSE(GetLang(&count, nullptr, &names));
    EXPECT_FALSE(GetLang(&count, &current, nullptr));
    EXPECT_FALSE(GetSysData(nullptr));
    EXPECT_FALSE(GetSystemClock(nullptr));
    EXPECT_FALSE(GetCYear(nullptr));
    EXPECT_FALSE(GetRollHour(nullptr));
    EXPECT_FALSE(GetShift(nullptr));
    EXPECT_FALSE(GetCounter(nullptr, 0));
    EXPECT_EQ(GetTDFormat(nullptr, 1), 0);
    EXPECT_FALSE(StxGetStringC(1, nullptr));
    ExpectNothingSent("a query with a null output");
}

TEST_F(BadInput, NullInputsFailBeforeAnythingIsSent) {
    EXPECT_FALSE(SetConveyor(nullptr));
    EXPECT_FALSE(SetEncoder(nullptr));
    EXPECT_FALSE(SetEncoderStatus(nullptr));
    EXPECT_FALSE(SetMsgDelay(nullptr));
    EXPECT_FALSE(SetPHCfg(nullptr));
    EXPECT_FALSE(SetPHCfgH(nullptr));
    EXPECT_FALSE(SetZarelClock(nullptr));
    EXPECT_FALSE(SetZarelShift(nullptr));
    EXPECT_FALSE(SetZarelCount(nullptr, 0));
    EXPECT_FALSE(SetTDFormat(nullptr));
    EXPECT_FALSE(SendPackToZarel(nullptr));
    EXPECT_FALSE(SendPackToZarel2(nullptr));
    EXPECT_FALSE(StxSendPack(1, nullptr));
    EXPECT_FALSE(StxSdStringC(nullptr, 1));
    EXPECT_FALSE(AutoConnect(nullptr));
    EXPECT_EQ(sio_read(nullptr, 5), -1);
    EXPECT_EQ(sio_write(nullptr, 5), -1);
    EXPECT_EQ(CallBackMsgback(nullptr), 0);
    ExpectNothingSent("a setting with a null input");
}

TEST_F(BadInput, NegativeAndHugeCountsAndNumbers) {
    uint8_t buffer[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(sio_read(buffer, -1), -1);
    EXPECT_EQ(sio_read(buffer, INT_MIN), -1);
    EXPECT_EQ(sio_write(buffer, -1), -1);
    EXPECT_EQ(sio_write(buffer, INT_MIN), -1);
    EXPECT_EQ(sio_write(buffer, 0), 0);
    EXPECT_FALSE(SetBaudRate(-1));
    EXPECT_FALSE(SetBaudRate(15));
    EXPECT_FALSE(SetBaudRate(INT_MAX));
    EXPECT_TRUE(SetBaudRate(ZC_BR19200)); // the port is still open at its rate
    uint8_t tooLong[129] = {128};         // a date format of 128 codes
    EXPECT_FALSE(SetTDFormat(tooLong));
    int32_t nothingToTry[2] = {INT_MIN, kPrinterCom};
    EXPECT_FALSE(AutoConnect(nothingToTry));
    EXPECT_EQ(nothingToTry[0], INT_MIN);
    EXPECT_EQ(MakeText("abc", -1), nullptr);
    EXPECT_EQ(MakeText(nullptr, 3), nullptr);
    ExpectNothingSent("a negative or huge count");
    // A port number out of range names no port: the open port is closed, as for any other number.
    for (int32_t n : {-1, 256, INT_MAX}) {
        ASSERT_TRUE(OpenComPort(kPrinterCom));
        EXPECT_FALSE(OpenComPort(n));
        EXPECT_EQ(sio_inque(), -1) << n;
    }
    ASSERT_TRUE(OpenComPort(kPrinterCom));
    SystemInfo info{};
    EXPECT_TRUE(GetSysInfo(&info));
}

TEST_F(BadInput, UserStringsOfEveryBorderLength) {
    EXPECT_TRUE(StxSdString(nullptr, 3)); // the empty text
    EXPECT_EQ(line.Printer().State().strings[3], "");
    const std::string longest(251, 'L');
    EXPECT_TRUE(StxSdString(Text(longest), 4));
    EXPECT_EQ(line.Printer().State().strings[4], longest);
    EXPECT_TRUE(StxSdStringC(longest.c_str(), 5));
    TakeStock();
    EXPECT_FALSE(StxSdString(Text(std::string(252, 'X')), 6));
    EXPECT_FALSE(StxSdStringC(std::string(252, 'X').c_str(), 6));
    EXPECT_FALSE(StxSdString(Text(std::string(65536, 'Y')), 6));
    EXPECT_FALSE(StxSdStringC(std::string(65536, 'Y').c_str(), 6));
    ExpectNothingSent("a string too long for its frame");
    EXPECT_EQ(line.Printer().State().strings[6], "");
    // String numbers go out as their low byte.
    EXPECT_TRUE(StxSdStringC("low byte", 256 + 7));
    EXPECT_EQ(line.Printer().State().strings[7], "low byte");
}

TEST_F(BadInput, BrokenCountedTextsAreTakenAsEmpty) {
    // A text whose length field says -5 (a caller's corrupted text): no byte before the pointer
    // beyond its header is read, and nothing of it is sent.
    struct {
        int32_t references = 1;
        int32_t length = -5;
        char bytes[4] = "abc";
    } broken;
    EXPECT_TRUE(StxSdString(broken.bytes, 8));
    EXPECT_EQ(line.Printer().State().strings[8], "");
}

TEST_F(BadInput, TransfersRefuseBadPathsLengthsAndHexadecimalText) {
    const std::string missing = "/nonexistent-folder/logo.bmp";
    const std::string withZero("logo\0.bmp", 10);
    EXPECT_EQ(GetFileLen(nullptr, 0x8002), -1);
    EXPECT_EQ(GetFileLen(Text(missing), 0x8002), -1);
    EXPECT_FALSE(StxSendLogo(nullptr, 5));
    EXPECT_FALSE(StxSendLogo(Text(missing), 5));
    EXPECT_FALSE(StxSendLogo(Text(withZero), 5));
    EXPECT_FALSE(StxSendAllPack(Text(missing), 1000));
    EXPECT_FALSE(StxSendFile(Text(missing), Text("A.BIN"), 0));
    EXPECT_FALSE(RestoreMsg(nullptr, 3));
    EXPECT_FALSE(PrintImage(Text(missing), 0));
    EXPECT_FALSE(StxUpLoadFile(Text("/nonexistent-folder/out.bin"), Text("A.BIN")));
    EXPECT_FALSE(DelPathString(nullptr));
    for (const std::string& hex : {std::string("ABC"), std::string("0G"), std::string("zz"),
                                   std::string(65534, '0') + "00" + std::string(65534, '0')})
        EXPECT_FALSE(DownLoadMessage(3, Text(hex))) << hex.size() << " hexadecimal characters";
    ExpectNothingSent("a transfer with a bad path or hexadecimal text");
    // A length of 0 or below fetches nothing and keeps the local file.
    TemporaryFile local(Pattern(10, 2), "kept.bin");
    EXPECT_FALSE(StxGetFile(Text(local.Path()), 0));
    EXPECT_FALSE(StxGetFile(Text(local.Path()), INT_MIN));
    EXPECT_EQ(local.Content(), Pattern(10, 2));
    EXPECT_FALSE(StxSendAllPack(Text(local.Path()), -1));
    ExpectNothingSent("a block loop of no blocks");
    EXPECT_TRUE(DownLoadMessage(3, Text("48692100"))); // well-formed: sent and stored
    EXPECT_EQ(line.Printer().State().messages[3], (Bytes{0x48, 0x69, 0x21, 0x00}));
}

TEST_F(BadInput, HugeTextsThroughTheRawWrite) {
    const std::string big(65536, 'Z');
    EXPECT_TRUE(StringSend(Text(big)));
    EXPECT_TRUE(StringSend(nullptr)); // nothing to write: the port took all of it
}

} // namespace
