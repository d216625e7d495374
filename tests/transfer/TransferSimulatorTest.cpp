// Transfers end to end: the library against the simulated printer on a pseudo-terminal, round
// trips through the printer's store, and faults in the middle of a transfer.
#include <gtest/gtest.h>

#include <zarelcom/zarelcom.h>
#include <zarelsim/Simulator.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
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

    // The printer's file F.BIN, fetched into path.
    bool FetchInto(const std::string &path) {
        return StxUpLoadFile(MakeCounted(path).get(), MakeCounted("F.BIN").get());
    }
    void Store(const Bytes &content) {
        printer_->Update([&](zarelsim::PrinterState &state) { state.files["F.BIN"] = content; });
    }

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
    EXPECT_FALSE(zc_local_failure(nullptr)); // the printer's refusal, not this computer's
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

// Renames one folder the first time progress is reported.
struct FolderMove {
    std::string from, to;
    bool done = false;

    static void ZARELCOM_CALL OnProgress(int64_t, int64_t, const char *, void *context) {
        auto &move = *static_cast<FolderMove *>(context);
        if (!move.done) move.done = std::rename(move.from.c_str(), move.to.c_str()) == 0;
    }
};

TEST_F(TransferSimulator, AFetchWhoseFolderIsMovedMeanwhileEndsInThatFolder) {
    Store(Pattern(3000));
    mkdir(files_.Path("before").c_str(), 0700);
    const std::string target = Local("before/kept.bin", Pattern(77));
    FolderMove move{files_.Path("before"), files_.Path("after")};
    zc_set_progress(&FolderMove::OnProgress, &move);

    const bool fetched = FetchInto(target);
    zc_set_progress(nullptr, nullptr);

    ASSERT_TRUE(move.done);
    EXPECT_TRUE(fetched) << GetLastPortError();
    EXPECT_EQ(ReadFile(files_.Path("after/kept.bin")), Padded(Pattern(3000)));
    EXPECT_EQ(files_.Entries("after"), std::vector<std::string>{"kept.bin"});
}

// A program that closed its standard streams writes to descriptor 2 during the fetch.
static void ZARELCOM_CALL WriteToStandardError(int64_t, int64_t, const char *, void *) {
    (void)!::write(STDERR_FILENO, "warning\n", 8);
}

TEST_F(TransferSimulator, WhatGoesToAClosedStandardErrorNeverLandsInTheFetchedFile) {
    Store(Pattern(3000));
    const std::string target = files_.Path("fetched.bin");
    // Both closed, so that neither the folder the fetch works in nor its file is left to take them.
    const int savedOutput = ::dup(STDOUT_FILENO), savedError = ::dup(STDERR_FILENO);
    ::close(STDOUT_FILENO);
    ::close(STDERR_FILENO);
    zc_set_progress(&WriteToStandardError, nullptr);
    const bool fetched = FetchInto(target);
    zc_set_progress(nullptr, nullptr);
    ::dup2(savedOutput, STDOUT_FILENO);
    ::dup2(savedError, STDERR_FILENO);
    ::close(savedOutput);
    ::close(savedError);
    ASSERT_TRUE(fetched) << GetLastPortError();
    EXPECT_EQ(ReadFile(target), Padded(Pattern(3000)));
}

TEST_F(TransferSimulator, ATargetNameAsLongAsTheSystemAllowsIsFetchedInto) {
    Store(Pattern(700));
    const std::string name(255, 'n');
    ASSERT_TRUE(FetchInto(files_.Path(name))) << GetLastPortError();
    EXPECT_EQ(ReadFile(files_.Path(name)), Padded(Pattern(700)));
    EXPECT_EQ(files_.Entries(), std::vector<std::string>{name});
}

// Root fetching into another user's file leaves it theirs; bytes from the printer never run
// with that user's or group's rights.
TEST_F(TransferSimulator, AReplacedFileKeepsItsOwnerAndPermissionsButNoSetIdBits) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    Store(Pattern(700));
    const uid_t owner = 12345;
    const gid_t group = 12346;
    const struct {
        mode_t before, after;
    } cases[] = {{04755, 0755}, {02775, 0775}, {06750, 0750}, {01640, 01640}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.before);
        const std::string target = Local("owned.bin", Pattern(77));
        ASSERT_EQ(chown(target.c_str(), owner, group), 0);
        ASSERT_EQ(chmod(target.c_str(), c.before), 0); // after chown, which clears set-id bits
        ASSERT_TRUE(FetchInto(target)) << GetLastPortError();
        struct stat status;
        ASSERT_EQ(stat(target.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, c.after);
        EXPECT_EQ(status.st_uid, owner);
        EXPECT_EQ(status.st_gid, group);
    }
}

} // namespace
