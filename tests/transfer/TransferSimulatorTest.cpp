// Transfers end to end: the library against the simulated printer on a pseudo-terminal, round
// trips through the printer's store, and faults in the middle of a transfer.
#include <gtest/gtest.h>

#include <zarelcom/zarelcom.h>
#include <zarelsim/Simulator.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <optional>

#include "TransferFiles.h"

namespace {

constexpr int kCom = 43;

class TransferSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ZARELCOM_PORT_DIR", ports_.Path("").c_str(), 1);
        zarelsim::Options options;
        options.comNumber = kCom;
        options.portDirectory = ports_.Path("");
        options.rebootMs = 50;
        printer_.emplace(options);
        printer_->Start();
        ASSERT_TRUE(OpenComPort(kCom));
    }
    void TearDown() override { CloseComPort(); }

    std::string Local(const std::string &name, const Bytes &content) {
        const std::string path = files_.Path(name);
        WriteFile(path, content);
        return path;
    }

    TempFolder ports_;
    TempFolder files_;
    std::optional<zarelsim::Simulator> printer_;
};

TEST_F(TransferSimulator, LogoSentIntoASlotComesBackWithItsZeroPadding) {
    const Bytes logo = Pattern(1462);
    const std::string path = Local("logo.bmp", logo);

    ASSERT_TRUE(StxSendLogo(MakeCounted(path).get(), 5));
    EXPECT_EQ(printer_->State().logos[4], logo);

    const std::string backup = files_.Path("backup.bmp");
    ASSERT_TRUE(BackUpLogo(MakeCounted(backup).get(), 5));
    EXPECT_EQ(ReadFile(backup), Padded(logo));
}

TEST_F(TransferSimulator, NamedFilesGoBothWaysWithShortExactAndOverLongNames) {
    const std::string exact = "ABCDEFGHIJKLMNOPQRSTUVWX", overLong = exact + "YZ1234";
    int index = 0;
    for (const std::string &name : {std::string("A.DAT"), exact, overLong}) {
        SCOPED_TRACE(name);
        const Bytes content = Pattern(600 + 100 * index);
        const std::string path = Local("out" + std::to_string(index), content);
        ASSERT_TRUE(StxDownLoadFile(MakeCounted(path).get(), MakeCounted(name).get()));
        EXPECT_EQ(printer_->State().files.at(name.substr(0, 24)), content);

        const std::string fetched = files_.Path("in" + std::to_string(index++));
        ASSERT_TRUE(StxUpLoadFile(MakeCounted(fetched).get(), MakeCounted(name).get()));
        EXPECT_EQ(ReadFile(fetched), Padded(content));
    }
}

TEST_F(TransferSimulator, FilePast255BlocksRoundTrips) {
    const Bytes content = Pattern(257 * 512 - 100);
    const std::string path = Local("big.bin", content);

    ASSERT_TRUE(StxDownLoadFile(MakeCounted(path).get(), MakeCounted("BIG.BIN").get()));
    EXPECT_EQ(printer_->State().files.at("BIG.BIN"), content);
    const std::string fetched = files_.Path("big.back");
    ASSERT_TRUE(StxUpLoadFile(MakeCounted(fetched).get(), MakeCounted("BIG.BIN").get()));
    EXPECT_EQ(ReadFile(fetched), Padded(content));
}

TEST_F(TransferSimulator, BitmapFolderParameterAndUpdateDownloads) {
    const Bytes picture = Pattern(900), parameters = Pattern(300), package = Pattern(2000);
    const std::string picturePath = Local("C:\\pics\\logo1.bmp", picture);

    ASSERT_TRUE(XmodemFileSend(MakeCounted(picturePath).get()));
    ASSERT_TRUE(StxDownLoadParameter(MakeCounted(Local("zarel.dat", parameters)).get()));
    const auto afterParameters = printer_->State();
    EXPECT_EQ(afterParameters.reboots, 1u);
    ASSERT_TRUE(StxUpdateZarel(MakeCounted(Local("hp.zip", package)).get()));

    const auto state = printer_->State();
    EXPECT_EQ(state.files.at("bmp\\logo1.bmp"), picture);
    EXPECT_EQ(state.files.at("ZAREL.DAT"), parameters);
    EXPECT_EQ(state.files.at("HP.ZIP"), package);
    EXPECT_EQ(state.reboots, 2u);
}

TEST_F(TransferSimulator, MessageRestoreBackupAndPrintImage) {
    const Bytes message = Pattern(700), image = Pattern(1200);

    ASSERT_TRUE(RestoreMsg(Local("msg3.dat", message).c_str(), 3));
    EXPECT_EQ(printer_->State().messages.at(3), message);
    const std::string backup = files_.Path("msg3.back");
    ASSERT_TRUE(BackUpMsg(MakeCounted(backup).get(), 3));
    EXPECT_EQ(ReadFile(backup), Padded(message));

    ASSERT_TRUE(PrintImage(MakeCounted(Local("image.bmp", image)).get(), 1));
    EXPECT_EQ(printer_->State().lastPrintImage, image);
}

TEST_F(TransferSimulator, PrinterFilesAndScreenImageAreFetched) {
    const std::string names = files_.Path("MsgName.dat"), parameters = files_.Path("ZAREL.PAR"),
                      screen = files_.Path("screen.bmp");
    ASSERT_TRUE(RestoreMsg(Local("msg.dat", Pattern(10)).c_str(), 4));

    ASSERT_TRUE(StxUpLoadMsgName(MakeCounted(names).get()));
    ASSERT_TRUE(StxUpLoadParameter(MakeCounted(parameters).get()));
    ASSERT_TRUE(StxGetScr(MakeCounted(screen).get(), MakeCounted("SCREEN").get()));

    const Bytes list = ReadFile(names), parameterFile = ReadFile(parameters);
    EXPECT_EQ(std::string(list.begin(), list.end()).rfind("004 ", 0), 0u);
    EXPECT_NE(std::string(parameterFile.begin(), parameterFile.end()).find("SERIAL="),
              std::string::npos);
    const Bytes image = ReadFile(screen);
    ASSERT_GE(image.size(), 2u);
    EXPECT_EQ(image.size() % 512, 0u);
    EXPECT_EQ(std::string(image.begin(), image.begin() + 2), "BM");
}

TEST_F(TransferSimulator, TerminalModeAnnouncementsReachThePrinter) {
    const std::string logo = Local("logo.bmp", Pattern(3000));
    ASSERT_TRUE(SetCmdProtocol());

    EXPECT_TRUE(XmodemSendLogo(MakeCounted(logo).get(), 7));
    EXPECT_TRUE(UpLoadParameter(nullptr));

    const auto announced = printer_->State().terminalAnnouncements;
    ASSERT_EQ(announced.size(), 2u);
    EXPECT_EQ(announced[0].rfind("SEND.LOGO LOGO07.BMP 3000", 0), 0u);
    EXPECT_EQ(announced[1].rfind("UPLOAD.PARAMETER", 0), 0u);
    EXPECT_TRUE(SetStxProtocol());
}

TEST_F(TransferSimulator, HangUpInTheMiddleEndsTheTransferWithFalse) {
    const std::string path = Local("file.bin", Pattern(5000));
    zarelsim::Fault hangUp;
    hangUp.kind = zarelsim::FaultKind::HangUp;
    hangUp.value = 2;
    printer_->AddFault(hangUp);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(StxDownLoadFile(MakeCounted(path).get(), MakeCounted("F.BIN").get()));
    // Nine silent exchanges of about 2 s each at most; this bound only catches a hang.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(40));
    EXPECT_EQ(printer_->State().files.count("F.BIN"), 0u);
    // The two blocks before the hang-up went, then block 3 nine times, and nothing after it.
    const zarelsim::Statistics stats = printer_->Stats();
    EXPECT_EQ(stats.blocksReceived, 2u);
    EXPECT_EQ(stats.requests, 1u + 2u + 9u);
}

TEST_F(TransferSimulator, FailedFetchLeavesTheLocalFileAsItWas) {
    ASSERT_TRUE(StxDownLoadFile(MakeCounted(Local("src", Pattern(3000))).get(),
                                MakeCounted("F.BIN").get()));
    const std::string target = Local("kept.bin", Pattern(77));
    zarelsim::Fault refuse;
    refuse.kind = zarelsim::FaultKind::ErrorReply;
    refuse.value = 9;
    refuse.commands = {'}'};
    printer_->AddFault(refuse);

    EXPECT_FALSE(StxUpLoadFile(MakeCounted(target).get(), MakeCounted("F.BIN").get()));
    EXPECT_EQ(GetCurrErrCode(), 9);
    EXPECT_EQ(ReadFile(target), Pattern(77));
    EXPECT_EQ(files_.Entries().size(), 2u);

    printer_->ClearFaults();
    chmod(target.c_str(), 0444);
    ASSERT_TRUE(StxUpLoadFile(MakeCounted(target).get(), MakeCounted("F.BIN").get()));
    EXPECT_EQ(ReadFile(target), Padded(Pattern(3000)));
    struct stat status;
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
}

} // namespace
