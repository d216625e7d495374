// Each fault of the simulated printer against the library's exchange rules: the result and the
// last error code the library gives, and how often it asked.
#include "LibraryPrinter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace zarelsim::test {
namespace {

class E2EFaultTest : public ::testing::Test {
protected:
    // GetPrintStatus under the fault: its result, and how many requests the printer understood.
    int32_t StatusUnder(const std::string& fault) {
        printer.ClearFaults();
        printer.AddFault(ParseFault(fault));
        return Status();
    }
    int32_t Status() {
        const uint64_t before = printer.Stats().requests;
        const int32_t status = GetPrintStatus();
        requests = printer.Stats().requests - before;
        return status;
    }

    LibraryPrinter line;
    Simulator& printer = line.printer();
    uint64_t requests = 0;
};

TEST_F(E2EFaultTest, TenStrayBytesAreSkippedAndAnEleventhEndsTheReception) {
    EXPECT_EQ(StatusUnder("stray:10@E"), 0);
    EXPECT_EQ(StatusUnder("stray:11@E"), -1);
    EXPECT_EQ(GetCurrErrCode(), 100);
    EXPECT_EQ(requests, 3u);
}

TEST_F(E2EFaultTest, ATruncatedReplyGives101Or102) {
    EXPECT_EQ(StatusUnder("truncate:2@E"), -1); // STX and half of the length
    EXPECT_EQ(GetCurrErrCode(), 101);
    EXPECT_EQ(StatusUnder("truncate@E"), -1); // half of the frame
    EXPECT_EQ(GetCurrErrCode(), 102);
    EXPECT_EQ(requests, 3u);
}

TEST_F(E2EFaultTest, AnErrorReplyGivesItsNumberAnd16StopsTheRetries) {
    EXPECT_EQ(StatusUnder("error:7@E"), -1);
    EXPECT_EQ(GetCurrErrCode(), 7);
    EXPECT_EQ(requests, 3u);
    EXPECT_EQ(StatusUnder("error:16@E"), -1);
    EXPECT_EQ(GetCurrErrCode(), 16);
    EXPECT_EQ(requests, 1u);
    EXPECT_EQ(StatusUnder("error:0@E"), -1);
    EXPECT_EQ(GetCurrErrCode(), 0);
}

TEST_F(E2EFaultTest, SilenceFailsWithoutAnErrorCode) {
    EXPECT_EQ(StatusUnder("error:9@E"), -1);
    ASSERT_EQ(GetCurrErrCode(), 9);
    EXPECT_EQ(StatusUnder("silence@E"), -1);
    EXPECT_EQ(GetCurrErrCode(), 9); // left as it was
    EXPECT_EQ(requests, 3u);
    EXPECT_EQ(StatusUnder("silence@E/2"), 0); // the first request is answered ...
    EXPECT_EQ(requests, 1u);
    EXPECT_EQ(Status(), 0); // ... the second is not, its retry is
    EXPECT_EQ(requests, 2u);
}

TEST_F(E2EFaultTest, ADelayOrASlowDripWithinTheWaitsStillAnswers) {
    EXPECT_EQ(StatusUnder("delay:400@E"), 0);
    EXPECT_EQ(requests, 1u);
    printer.ClearFaults();
    printer.AddFault(ParseFault("drip:5@B"));
    SystemInfo info{};
    EXPECT_TRUE(GetSysInfo(&info));
    EXPECT_EQ(info.ModelNo, printer.State().modelNumber);
}

TEST_F(E2EFaultTest, AWrongReplyCodeFailsABlockRequest) {
    printer.Update([](PrinterState& s) { s.logos[2] = std::vector<uint8_t>(600, 0x42); });
    uint8_t request[] = {0x02, 0x00, 0x04, '0', '{', 3, 0, 0, 0x03};
    ASSERT_TRUE(SendPackToZarel(request)); // logo backup of slot 3: 600 bytes
    printer.AddFault(ParseFault("wrongcode:0x4F@}"));
    const uint64_t before = printer.Stats().requests;
    const int32_t error = GetCurrErrCode();
    EXPECT_FALSE(StxGetPack(1));
    EXPECT_EQ(printer.Stats().requests - before,
              3u); // a good reply of the wrong code ends each exchange
    EXPECT_EQ(GetCurrErrCode(), error);
    printer.ClearFaults();
    EXPECT_TRUE(StxGetPack(1));
    EXPECT_TRUE(StxGetPack(2));
}

TEST_F(E2EFaultTest, ADataBlockIsRetriedNineTimesWhateverTheErrorNumber) {
    uint8_t announce[] = {0x02, 0x00, 0x09, '0', '|', 0x10, 0x00, 0x00, 0x00, 2, 8, 0, 0, 0x03};
    ASSERT_TRUE(SendPackToZarel(announce)); // 16 bytes for slot 8
    printer.AddFault(ParseFault("error:16@~"));
    FILE* file = std::tmpfile();
    std::fputs("sixteen bytes!!!", file);
    std::rewind(file);
    const uint64_t before = printer.Stats().requests;
    EXPECT_FALSE(StxSendPack(1, file));
    EXPECT_EQ(printer.Stats().requests - before, 9u);
    EXPECT_EQ(GetCurrErrCode(), 16);
    printer.ClearFaults();
    std::rewind(file);
    EXPECT_TRUE(StxSendPack(1, file));
    std::fclose(file);
    const Bytes stored = printer.State().logos[7];
    EXPECT_EQ(std::string(stored.begin(), stored.end()), "sixteen bytes!!!");
}

// A logo file of `size` bytes in a temporary folder.
std::string LogoFile(size_t size) {
    char name[] = "/tmp/zarelsim-logo-XXXXXX";
    const int fd = mkstemp(name);
    const std::string bytes(size, 'L');
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(size));
    close(fd);
    return name;
}

TEST_F(E2EFaultTest, AWrongCodeToTheAnnouncementGives200AndNoBlock) {
    const std::string path = LogoFile(700);
    printer.AddFault(ParseFault("wrongcode:0x7D@|"));
    EXPECT_FALSE(StxSendLogo(Text(path), 5));
    EXPECT_EQ(GetCurrErrCode(), 200);
    EXPECT_EQ(printer.Stats().requests, 1u);
    EXPECT_EQ(printer.Stats().blocksReceived, 0u);
    printer.ClearFaults();
    EXPECT_TRUE(StxSendLogo(Text(path), 5));
    EXPECT_EQ(printer.State().logos[4].size(), 700u);
    unlink(path.c_str());
}

TEST_F(E2EFaultTest, AHangUpAfterOneBlockFailsTheTransferAndStoresNothing) {
    const std::string path = LogoFile(1462); // three blocks
    printer.AddFault(ParseFault("hangup:1"));
    EXPECT_FALSE(StxSendLogo(Text(path), 6));
    EXPECT_EQ(printer.Stats().blocksReceived, 1u);
    EXPECT_EQ(printer.Stats().requests, 1u + 1u + 9u); // announcement, block 1, block 2 nine times
    EXPECT_TRUE(printer.State().logos[5].empty());
    EXPECT_EQ(GetFreeLogoNo(), 1); // the printer still answers everything else
    unlink(path.c_str());
}

} // namespace
} // namespace zarelsim::test
