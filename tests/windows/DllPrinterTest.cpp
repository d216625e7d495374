// zarelcom.dll against the Linux simulator, whose line Wine maps to a COM port: the C interface
// as a Windows program uses it, from queries to transfers, the link modes and the printer search.
#include <gtest/gtest.h>
#include <zarelcom/zarelcom.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const int32_t PrinterPort = ZARELCOM_TEST_PRINTER_COM;

struct Text {
    explicit Text(const std::string& bytes) : text(MakeText(bytes.data(), int32_t(bytes.size()))) {}
    ~Text() { ReleaseText(text); }
    zc_text text;
};

void Write(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

Bytes Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Logo bytes with line ends and the end-of-text byte among them, which a text-mode file would
// change.
Bytes Logo() {
    Bytes logo(1462);
    for (size_t i = 0; i < logo.size(); ++i)
        logo[i] = i % 4 == 0 ? 0x0A : i % 4 == 1 ? 0x1A : i % 4 == 2 ? 0x0D : uint8_t(i);
    return logo;
}

class DllPrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() / ("zarelcom-dll-" + std::to_string(std::random_device()()));
        fs::create_directories(folder);
        ASSERT_TRUE(OpenComPort(PrinterPort)) << "COM" << PrinterPort << " does not open";
    }
    void TearDown() override {
        CloseComPort();
        fs::remove_all(folder);
    }
    fs::path folder;
};

TEST_F(DllPrinterTest, QueriesAnswerWithThePrintersValues) {
    SystemInfo info{};
    ASSERT_TRUE(GetSysInfo(&info));
    EXPECT_EQ(info.SerialNo, 20260001);
    EXPECT_EQ(info.ModelNo, 230);
    EXPECT_EQ(GetZarelType(), 2);
    EXPECT_GE(GetFreeLogoNo(), 1);
    EXPECT_EQ(GetMaxMsg(), 100);
}

TEST_F(DllPrinterTest, SettingsAreReadBackAsSet) {
    for (int32_t measure : {0, 1}) {
        ASSERT_TRUE(SetMeasure(measure));
        EXPECT_EQ(GetMeasure(), measure);
    }
    const int32_t delay[2] = {7, 1234};
    ASSERT_TRUE(SetMsgDelay(delay));
    int32_t back[2] = {7, 0};
    ASSERT_TRUE(GetMsgDelay(back));
    EXPECT_EQ(back[1], 1234);
}

TEST_F(DllPrinterTest, ALogoSentComesBackByteForByte) {
    const Bytes logo = Logo();
    Write(folder / "logo.bmp", logo);
    const int32_t slot = GetFreeLogoNo();
    ASSERT_TRUE(StxSendLogo(Text((folder / "logo.bmp").string()).text, slot));
    // Backslashes in the path, as Windows programs write them.
    const std::string backup = (folder / "backup.bmp").make_preferred().string();
    ASSERT_TRUE(BackUpLogo(Text(backup).text, slot));
    Bytes padded = logo;
    padded.resize((logo.size() + ZC_BLOCK_SIZE - 1) / ZC_BLOCK_SIZE * ZC_BLOCK_SIZE, 0);
    EXPECT_EQ(Read(backup), padded);
}

TEST_F(DllPrinterTest, AFailedFetchLeavesTheFileAsItWas) {
    const Bytes before = {'k', 'e', 'e', 'p', 0x0A};
    Write(folder / "kept.dat", before);
    EXPECT_FALSE(
        StxUpLoadFile(Text((folder / "kept.dat").string()).text, Text("NO-SUCH-FILE.DAT").text));
    EXPECT_EQ(Read(folder / "kept.dat"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(DllPrinterTest, SwitchesToTerminalModeAndBack) {
    ASSERT_TRUE(SetCmdProtocol());
    ASSERT_TRUE(SetStxProtocol());
    EXPECT_EQ(GetZarelType(), 2);
}

zc_bool ZARELCOM_CALL Count(int32_t, int32_t, void* tries) {
    ++*static_cast<int*>(tries);
    return true;
}

TEST_F(DllPrinterTest, TheSearchFindsThePrinterOnItsPort) {
    CloseComPort();
    int32_t list[] = {3, 249, PrinterPort}; // COM249 does not exist: skipped at once
    int tries = 0;
    ASSERT_TRUE(zc_search(list, Count, &tries));
    EXPECT_EQ(tries, 1 + 2) << "COM249 once, then the printer's port at 9600 and 19200";
    EXPECT_EQ(list[0], 2);
    EXPECT_EQ(list[1], 1); // 19200 bit/s, the second rate of the search
    EXPECT_EQ(GetZarelType(), 2);
}

// A port held by another program is ZC_PORT_BUSY on Windows (its "access denied"); only real
// Windows shows it: Wine lets a program open a COM port twice.
TEST_F(DllPrinterTest, APortThatDoesNotOpenSaysWhyAsData) {
    zc_port_failure_info failure{};
    EXPECT_FALSE(zc_port_failure(&failure));
    EXPECT_EQ(failure.kind, ZC_PORT_OK);
    EXPECT_FALSE(OpenComPort(249));
    EXPECT_TRUE(zc_port_failure(&failure));
    EXPECT_EQ(failure.kind, ZC_PORT_MISSING);
    EXPECT_EQ(failure.os_error, 2) << "ERROR_FILE_NOT_FOUND";
    EXPECT_EQ(failure.holder_pid, 0);
}
} // namespace
