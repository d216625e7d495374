// The transfers' frames byte for byte, against a printer of the test's own on a pseudo-terminal.
#include <gtest/gtest.h>

#include <zarelcom/zarelcom.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>

#include "FileSizeLimit.h"
#include "OwnerPermissions.h"
#include "ScriptedPrinter.h"
#include "TransferFiles.h"

namespace {

constexpr int kCom = 41;

Bytes Slice(const Bytes &bytes, size_t from, size_t count) {
    return Bytes(bytes.begin() + static_cast<long>(from),
                 bytes.begin() + static_cast<long>(from + count));
}

Bytes LE32(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

// Block n of a "~" frame: number, complement, 512 data bytes.
void ExpectBlock(const Bytes &frame, uint8_t n, const Bytes &data) {
    ASSERT_EQ(frame.size(), 521u);
    EXPECT_EQ(Slice(frame, 0, 5), Hex("02 02 04 30 7E"));
    EXPECT_EQ(frame[5], n);
    EXPECT_EQ(frame[6], static_cast<uint8_t>(~n));
    EXPECT_EQ(Slice(frame, 7, 512), data);
}

// Answers a request with its own code and the length, and "}" requests with blocks of content.
ScriptedPrinter::Script Serving(uint8_t requestCode, const Bytes &content) {
    return [requestCode, content](const Bytes &frame) -> std::optional<Bytes> {
        if (frame[4] == '}') {
            Bytes reply{'}', frame[5], frame[6]};
            const Bytes block = Slice(Padded(content), (frame[5] - 1u) * 512, 512);
            reply.insert(reply.end(), block.begin(), block.end());
            return reply;
        }
        Bytes reply{requestCode};
        const Bytes length = LE32(static_cast<uint32_t>(content.size()));
        reply.insert(reply.end(), length.begin(), length.end());
        return reply;
    };
}

class TransferFrames : public ::testing::Test {
protected:
    void Start(ScriptedPrinter::Script script = {},
               ScriptedPrinter::Mode mode = ScriptedPrinter::Mode::Packet) {
        printer_.emplace(kCom, mode, std::move(script));
        ASSERT_TRUE(OpenComPort(kCom));
    }
    void TearDown() override { CloseComPort(); }

    // The 24-byte name field of the frame at offset.
    std::string NameField(const Bytes &frame, size_t offset) const {
        return std::string(frame.begin() + static_cast<long>(offset),
                           frame.begin() + static_cast<long>(offset + 24));
    }

    TempFolder folder_;
    std::optional<ScriptedPrinter> printer_;
};

TEST_F(TransferFrames, ReadOnlyLogoForSlot5IsAnnouncedAndSentWithItsContent) {
    const Bytes logo = Pattern(1462);
    const std::string path = folder_.Path("logo.bmp");
    WriteFile(path, logo);
    chmod(path.c_str(), 0444);
    Start();
    OwnerPermissions permissions;

    EXPECT_EQ(GetFileLen(MakeCounted(path).get(), 0x8002), 1462);
    EXPECT_TRUE(StxSendLogo(MakeCounted(path).get(), 5));

    const auto frames = printer_->Frames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0], Hex("02 00 09 30 7C B6 05 00 00 02 05 00 77 03"));
    const Bytes padded = Padded(logo);
    for (uint8_t n = 1; n <= 3; ++n) ExpectBlock(frames[n], n, Slice(padded, (n - 1u) * 512, 512));
}

TEST_F(TransferFrames, FileThatCannotBeReadIsRefusedBeforeAnythingIsSent) {
    const std::string unreadable = folder_.Path("secret.bmp");
    WriteFile(unreadable, Pattern(100));
    chmod(unreadable.c_str(), 0);
    Start();
    OwnerPermissions permissions;
    const int32_t errorBefore = GetCurrErrCode();

    EXPECT_FALSE(StxSendLogo(MakeCounted(unreadable).get(), 5));
    EXPECT_FALSE(StxSendLogo(MakeCounted(folder_.Path("missing.bmp")).get(), 5));
    EXPECT_FALSE(StxSendFile(MakeCounted(unreadable).get(), nullptr, 1));
    EXPECT_FALSE(StxSendAllPack(MakeCounted(unreadable).get(), 100));
    EXPECT_FALSE(RestoreMsg(unreadable.c_str(), 3));
    EXPECT_FALSE(RestoreMsg(nullptr, 3));
    EXPECT_FALSE(PrintImage(MakeCounted(folder_.Path("")).get(), 1)); // a folder is no file
    EXPECT_EQ(GetFileLen(MakeCounted(unreadable).get(), 0x8002), -1);

    EXPECT_TRUE(printer_->Frames().empty());
    EXPECT_EQ(GetCurrErrCode(), errorBefore);
}

// The file the progress callback cuts to 100 bytes after the first block.
std::string shrinking;
void CutShort(const char *) {
    if (!shrinking.empty()) truncate(shrinking.c_str(), 100);
    shrinking.clear();
}

TEST_F(TransferFrames, ABlockThatCannotBeReadWholeIsNeverSentAsZeros) {
    const std::string path = folder_.Path("logo.bmp");
    WriteFile(path, Pattern(1400));
    Start();

    FILE *writeOnly = std::fopen(path.c_str(), "ab"); // every read fails
    EXPECT_FALSE(StxSendPack(1, writeOnly));
    std::fclose(writeOnly);
    EXPECT_EQ(std::string(GetLastPortError()).rfind("The file to send could not be read: ", 0), 0u)
        << GetLastPortError();
    EXPECT_TRUE(printer_->Frames().empty());

    shrinking = path;
    CallBackMsgback(CutShort);
    EXPECT_FALSE(StxSendLogo(MakeCounted(path).get(), 5));
    EXPECT_EQ(std::string(GetLastPortError()).rfind("The file became shorter", 0), 0u)
        << GetLastPortError();
    EXPECT_EQ(printer_->Frames().size(), 2u) << "the announcement and the first block only";
}

TEST_F(TransferFrames, AnnouncementAnsweredWithAnotherCodeSendsNoBlockAndSets200) {
    const std::string path = folder_.Path("logo.bmp");
    WriteFile(path, Pattern(1462));
    Start([](const Bytes &) { return std::optional<Bytes>(Bytes{'}'}); });

    EXPECT_FALSE(StxSendLogo(MakeCounted(path).get(), 5));
    EXPECT_EQ(GetCurrErrCode(), 200);
    EXPECT_FALSE(StxDownLoadFile(MakeCounted(path).get(), MakeCounted("ABC").get()));
    EXPECT_FALSE(PrintImage(MakeCounted(path).get(), 1));
    EXPECT_EQ(printer_->Frames().size(), 3u);
}

TEST_F(TransferFrames, EmptyFileIsAnnouncedAndThenFails) {
    const std::string path = folder_.Path("empty.bmp");
    WriteFile(path, {});
    Start();

    EXPECT_FALSE(StxSendLogo(MakeCounted(path).get(), 2));
    const auto frames = printer_->Frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(Slice(frames[0], 5, 4), LE32(0));
}

TEST_F(TransferFrames, RestoreOfMessage3SendsTwoBlocksTheSecondZeroFilled) {
    const Bytes message = Pattern(700);
    const std::string path = folder_.Path("msg3.dat");
    WriteFile(path, message);
    Start();

    EXPECT_TRUE(RestoreMsg(path.c_str(), 3));

    const auto frames = printer_->Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], Hex("02 00 09 30 7A BC 02 00 00 01 03 00 75 03"));
    ExpectBlock(frames[1], 1, Slice(message, 0, 512));
    Bytes second = Slice(message, 512, 188);
    second.resize(512, 0);
    ExpectBlock(frames[2], 2, second);
}

TEST_F(TransferFrames, PrintImageCarriesItsOptionByte) {
    const std::string path = folder_.Path("image.bmp");
    WriteFile(path, Pattern(10));
    Start();

    EXPECT_TRUE(PrintImage(MakeCounted(path).get(), 1));
    const Bytes announcement = printer_->Frames().at(0);
    EXPECT_EQ(Slice(announcement, 3, 9), Hex("30 76 0A 00 00 00 04 01 00"));
}

TEST_F(TransferFrames, NameFieldsAreCutOrBlankPaddedTo24) {
    const std::string path = folder_.Path("C:\\pics\\logo1.bmp"); // a Windows path as one file name
    WriteFile(path, Pattern(20));
    Start();
    const std::string thirty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";
    // A caller's text whose length field claims a gigabyte: only the 24 bytes used are read.
    struct {
        int32_t references = -1, length = 1 << 30;
        char bytes[31] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";
    } lying;

    EXPECT_TRUE(StxDownLoadFile(MakeCounted(path).get(), MakeCounted("ABC").get()));
    EXPECT_TRUE(StxDownLoadFile(MakeCounted(path).get(), MakeCounted(thirty).get()));
    EXPECT_TRUE(StxDownLoadFile(MakeCounted(path).get(), MakeCounted(thirty.substr(0, 24)).get()));
    EXPECT_TRUE(XmodemFileSend(MakeCounted(path).get()));
    EXPECT_TRUE(StxSendFile(MakeCounted(path).get(), MakeCounted("ignored").get(), 1));
    EXPECT_TRUE(StxSendFile(MakeCounted(path).get(), MakeCounted("ignored").get(), 2));
    EXPECT_TRUE(StxDownLoadFile(MakeCounted(path).get(), lying.bytes));

    std::vector<Bytes> announcements;
    for (const Bytes &frame : printer_->Frames())
        if (frame[4] == 'x') announcements.push_back(frame);
    ASSERT_EQ(announcements.size(), 7u);
    EXPECT_EQ(Slice(announcements[0], 0, 10), Hex("02 00 1F 30 78 14 00 00 00 03"));
    EXPECT_EQ(announcements[0].size(), 36u);
    EXPECT_EQ(NameField(announcements[0], 10), "ABC" + std::string(21, ' '));
    EXPECT_EQ(NameField(announcements[1], 10), thirty.substr(0, 24));
    EXPECT_EQ(NameField(announcements[2], 10), thirty.substr(0, 24));
    EXPECT_EQ(NameField(announcements[3], 10), "bmp\\logo1.bmp" + std::string(11, ' '));
    EXPECT_EQ(NameField(announcements[4], 10), "logo1.bmp" + std::string(15, ' '));
    EXPECT_EQ(NameField(announcements[5], 10), "HP.ZIP" + std::string(18, ' '));
    EXPECT_EQ(NameField(announcements[6], 10), thirty.substr(0, 24));
}

TEST_F(TransferFrames, NullNameAndNegativeLengthFieldAreTheEmptyName) {
    // A caller's counted text whose length field is negative: constant (reference count -1).
    struct {
        int32_t references = -1, length = -5;
        char bytes[4] = "ABC";
    } negative;
    const zc_text negativeName = negative.bytes;
    const std::string path = folder_.Path("fetched.dat");
    Start([screen = Serving(0x81, Pattern(10)), file = Serving('w', Pattern(10))](
              const Bytes &frame) { return frame[4] == 0x81 ? screen(frame) : file(frame); });
    EXPECT_TRUE(StxGetScr(MakeCounted(path).get(), nullptr));
    EXPECT_TRUE(StxGetScr(MakeCounted(path).get(), negativeName));
    EXPECT_TRUE(StxUpLoadFile(MakeCounted(path).get(), nullptr));
    EXPECT_TRUE(StxUpLoadFile(MakeCounted(path).get(), negativeName));
    EXPECT_TRUE(StxSdString(negativeName, 1));

    const auto frames = printer_->Frames();
    ASSERT_EQ(frames.size(), 9u); // four requests, each with its block, and the string
    for (size_t request : {0, 2, 4, 6})
        EXPECT_EQ(NameField(frames[request], 5), std::string(24, ' '));
    EXPECT_EQ(frames[8], Hex("02 00 04 30 3D 01 00 72 03"));
}

TEST_F(TransferFrames, BackUpLogo300FetchesExactlyTheBlocks) {
    const Bytes stored = Pattern(1000);
    const std::string path = folder_.Path("logo300.bmp");
    WriteFile(path, Pattern(3000)); // an older, longer file leaves no tail
    Start(Serving('{', stored));

    EXPECT_TRUE(BackUpLogo(MakeCounted(path).get(), 300));

    const auto frames = printer_->Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], Hex("02 00 04 30 7B 2C 01 DC 03"));
    EXPECT_EQ(frames[1], Hex("02 00 04 30 7D 01 FE B0 03"));
    EXPECT_EQ(frames[2], Hex("02 00 04 30 7D 02 FD B0 03"));
    EXPECT_EQ(ReadFile(path), Padded(stored));
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0600, 0600u);
    EXPECT_EQ(folder_.Entries().size(), 1u);
}

TEST_F(TransferFrames, FixedNameFieldsGoOutWithTheirZeroBytes) {
    Start(Serving('w', Pattern(10)));

    EXPECT_TRUE(StxUpLoadMsgName(MakeCounted(folder_.Path("names.dat")).get()));
    EXPECT_TRUE(StxUpLoadParameter(MakeCounted(folder_.Path("zarel.par")).get()));
    EXPECT_TRUE(
        StxUpLoadFile(MakeCounted(folder_.Path("x.dat")).get(), MakeCounted("X.DAT").get()));

    const auto frames = printer_->Frames();
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(Slice(frames[0], 0, 5), Hex("02 00 1A 30 77"));
    EXPECT_EQ(frames[0].size(), 31u);
    EXPECT_EQ(NameField(frames[0], 5),
              std::string("MsgName.dat") + std::string(11, ' ') + std::string(2, '\0'));
    EXPECT_EQ(NameField(frames[2], 5),
              std::string("ZAREL.PAR") + std::string(14, ' ') + std::string(1, '\0'));
    EXPECT_EQ(NameField(frames[4], 5), "X.DAT" + std::string(19, ' '));
}

TEST_F(TransferFrames, RequestAnsweredWithAnotherCodeFetchesNothing) {
    const std::string path = folder_.Path("kept.dat");
    WriteFile(path, Pattern(100));
    Start(Serving('O', Pattern(1000)));

    EXPECT_FALSE(StxUpLoadFile(MakeCounted(path).get(), MakeCounted("A").get()));
    EXPECT_EQ(GetCurrErrCode(), 200);
    printer_.reset();
    Start(Serving('w', Pattern(1000)));
    EXPECT_FALSE(StxGetScr(MakeCounted(path).get(), MakeCounted("A").get())); // expects 0x81
    printer_.reset();
    Start(Serving('{', Pattern(1000)));
    const int32_t before = GetCurrErrCode();
    EXPECT_FALSE(BackUpMsg(MakeCounted(path).get(), 1)); // expects "y"; backups leave the code
    EXPECT_EQ(GetCurrErrCode(), before);

    EXPECT_EQ(printer_->Frames().size(), 1u);
    EXPECT_EQ(ReadFile(path), Pattern(100));
    EXPECT_EQ(folder_.Entries().size(), 1u);
}

TEST_F(TransferFrames, FileOfLengthZeroIsNoFetch) {
    const std::string kept = folder_.Path("kept.dat");
    WriteFile(kept, Pattern(100));
    Start(Serving('w', {}));

    EXPECT_FALSE(StxUpLoadFile(MakeCounted(kept).get(), MakeCounted("EMPTY").get()));
    EXPECT_FALSE(
        StxUpLoadFile(MakeCounted(folder_.Path("new.dat")).get(), MakeCounted("EMPTY").get()));
    EXPECT_FALSE(StxGetFile(MakeCounted(folder_.Path("new.dat")).get(), 0));

    EXPECT_EQ(printer_->Frames().size(), 2u); // the two requests, no block
    EXPECT_EQ(ReadFile(kept), Pattern(100));
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"kept.dat"});
}

TEST_F(TransferFrames, ReplyTooShortOrDamagedFetchesNothingAndSets104) {
    const std::string path = folder_.Path("kept.dat");
    WriteFile(path, Pattern(100));
    const auto serveFile = Serving('w', Pattern(2000));
    int block1Tries = 0;
    const struct {
        const char *name;
        ScriptedPrinter::Script script;
        std::function<bool()> fetch;
        size_t frames;
    } cases[] = {
        {"file request without length", [](const Bytes &) { return Bytes{'w'}; },
         [&] { return StxUpLoadFile(MakeCounted(path).get(), MakeCounted("A").get()) != 0; }, 1},
        {"file request with two length bytes",
         [](const Bytes &) {
             return Bytes{'w', 0x10, 0x00};
         },
         [&] { return StxUpLoadFile(MakeCounted(path).get(), MakeCounted("A").get()) != 0; }, 1},
        {"backup without length", [](const Bytes &) { return Bytes{'{'}; },
         [&] { return BackUpLogo(MakeCounted(path).get(), 3) != 0; }, 1},
        {"block 2 stays short after an error 7 to block 1",
         [&](const Bytes &frame) -> std::optional<Bytes> {
             if (frame[4] == '}' && frame[5] == 1 && ++block1Tries == 1) return Bytes{'1', 7};
             if (frame[4] == '}' && frame[5] == 2) return Bytes{'}', 2, 0xFD, 0x11};
             return serveFile(frame);
         },
         [&] { return StxUpLoadFile(MakeCounted(path).get(), MakeCounted("A").get()) != 0; },
         1 + 2 + 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        printer_.reset();
        Start(c.script);
        EXPECT_FALSE(c.fetch());
        EXPECT_EQ(GetCurrErrCode(), ZC_ERR_BAD_REPLY);
        EXPECT_EQ(printer_->Frames().size(), c.frames);
        EXPECT_EQ(ReadFile(path), Pattern(100));
        EXPECT_EQ(folder_.Entries().size(), 1u);
    }
}

TEST_F(TransferFrames, MessageLoadReadsEitherCaseAndRefusesWhatIsNotHex) {
    Start();

    EXPECT_TRUE(DownLoadMessage(7, MakeCounted("0A1b").get()));
    EXPECT_TRUE(DownLoadMessage(7, nullptr));
    EXPECT_FALSE(DownLoadMessage(7, MakeCounted("0A1").get()));
    EXPECT_FALSE(DownLoadMessage(7, MakeCounted("0G").get()));
    EXPECT_FALSE(DownLoadMessage(7, MakeCounted(" 1").get()));

    const auto frames = printer_->Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], Hex("02 00 05 30 43 07 0A 1B A4 03"));
    EXPECT_EQ(frames[1], Hex("02 00 03 30 43 07 7D 03"));
}

TEST_F(TransferFrames, BlockNeverAcknowledgedStopsAfterNineExchanges) {
    const std::string path = folder_.Path("file.bin");
    WriteFile(path, Pattern(2000));
    Start([](const Bytes &frame) -> std::optional<Bytes> {
        if (frame[4] == '~' && frame[5] == 2)
            return Bytes{'1', 7}; // error 7 to every try of block 2
        return Ok();
    });

    EXPECT_FALSE(StxDownLoadFile(MakeCounted(path).get(), MakeCounted("F").get()));

    const auto frames = printer_->Frames();
    ASSERT_EQ(frames.size(), 1u + 1u + 9u);
    for (size_t i = 2; i < frames.size(); ++i) EXPECT_EQ(frames[i][5], 2);
    EXPECT_EQ(GetCurrErrCode(), 7);
}

TEST_F(TransferFrames, BlockNeverDeliveredLeavesTheLocalFileAsItWas) {
    const std::string path = folder_.Path("kept.dat");
    WriteFile(path, Pattern(100));
    const auto serve = Serving('w', Pattern(3000));
    Start([serve](const Bytes &frame) -> std::optional<Bytes> {
        if (frame[4] == '}' && frame[5] == 3) return Bytes{'1', 9};
        return serve(frame);
    });

    EXPECT_FALSE(StxUpLoadFile(MakeCounted(path).get(), MakeCounted("A").get()));

    EXPECT_EQ(printer_->Frames().size(), 1u + 2u + 9u);
    EXPECT_EQ(ReadFile(path), Pattern(100));
    EXPECT_EQ(folder_.Entries().size(), 1u);
}

// A failure of this computer's is never the printer's: the error code stays, GetLastPortError
// gives the system's reason and zc_local_failure its number.
void ExpectLocalFailure(const std::string &path, int error) {
    EXPECT_EQ(GetLastPortError(), "Cannot save the fetched file " + path + ": " +
                                      std::strerror(error) + " (Error: " + std::to_string(error) +
                                      ")");
    int32_t reported = 0;
    EXPECT_TRUE(zc_local_failure(&reported));
    EXPECT_EQ(reported, error);
}

TEST_F(TransferFrames, LocalFileThatCannotBeCreatedStopsTheFetchBeforeTheRequest) {
    const std::string folder = folder_.Path("locked");
    mkdir(folder.c_str(), 0555);
    WriteFile(folder_.Path("file"), {});
    Start(Serving('w', Pattern(1000)));
    OwnerPermissions permissions;
    const int32_t code = GetCurrErrCode();
    const struct {
        std::string path;
        int error;
    } cases[] = {
        {folder + "/new.dat", EACCES},
        {folder_.Path(""), EISDIR},
        {folder_.Path("file/new.dat"), ENOTDIR},
        {"/dev/null", EINVAL}, // no regular file
    };
    for (const auto &refused : cases) {
        SCOPED_TRACE(refused.path);
        EXPECT_FALSE(StxUpLoadFile(MakeCounted(refused.path).get(), MakeCounted("A").get()));
        ExpectLocalFailure(refused.path, refused.error);
    }
    EXPECT_EQ(GetCurrErrCode(), code);
    EXPECT_TRUE(printer_->Frames().empty());
}

TEST_F(TransferFrames, LocalFileThatCannotBeWrittenStopsTheFetchAndKeepsWhatWasThere) {
    const std::string path = folder_.Path("kept.dat");
    WriteFile(path, Pattern(100));
    Start(Serving('w', Pattern(3000)));
    const int32_t code = GetCurrErrCode();
    bool fetched;
    {
        const FileSizeLimit limit(1000); // the second block's write fails as on a full disk
        fetched = StxUpLoadFile(MakeCounted(path).get(), MakeCounted("A").get());
    }

    EXPECT_FALSE(fetched);
    ExpectLocalFailure(path, EFBIG);
    EXPECT_EQ(GetCurrErrCode(), code);
    EXPECT_EQ(printer_->Frames().size(), 1u + 2u); // nothing asked for after the failed write
    EXPECT_EQ(ReadFile(path), Pattern(100));
    EXPECT_EQ(folder_.Entries().size(), 1u);
}

// The link stays, and the file it names is replaced or made in its own folder.
TEST_F(TransferFrames, FetchThroughASymbolicLinkReplacesTheFileItPointsTo) {
    mkdir(folder_.Path("real").c_str(), 0700);
    WriteFile(folder_.Path("real/old.dat"), Pattern(3000));
    const struct {
        std::string link, leadsTo, fetched;
    } cases[] = {
        {"to-old.dat", folder_.Path("real/old.dat"), "real/old.dat"},
        {"to-new.dat", "real/new.dat", "real/new.dat"}, // relative, and nothing there yet
        {"to-link.dat", "to-later.dat", "real/later.dat"},
        {"to-later.dat", "real/later.dat", "real/later.dat"},
    };
    for (const auto &c : cases)
        ASSERT_EQ(symlink(c.leadsTo.c_str(), folder_.Path(c.link).c_str()), 0);
    Start(Serving('w', Pattern(600)));

    for (const auto &c : cases) {
        SCOPED_TRACE(c.link);
        ASSERT_TRUE(StxUpLoadFile(MakeCounted(folder_.Path(c.link)).get(), MakeCounted("A").get()))
            << GetLastPortError();
        std::error_code notALink;
        EXPECT_EQ(std::filesystem::read_symlink(folder_.Path(c.link), notALink), c.leadsTo);
        EXPECT_EQ(ReadFile(folder_.Path(c.fetched)), Padded(Pattern(600)));
    }
    EXPECT_EQ(folder_.Entries("real"),
              (std::vector<std::string>{"later.dat", "new.dat", "old.dat"}));
}

TEST_F(TransferFrames, TerminalLinesAnnounceOnly) {
    const std::string logo = folder_.Path("logo.bmp"), program = folder_.Path("C:\\data\\prog.bin"),
                      update = folder_.Path("hp.zip");
    WriteFile(logo, Pattern(3000));
    WriteFile(program, Pattern(4096));
    WriteFile(update, Pattern(2048));
    Start({}, ScriptedPrinter::Mode::Terminal);

    EXPECT_TRUE(XmodemSendLogo(MakeCounted(logo).get(), 7));
    EXPECT_TRUE(DownLoadFile(MakeCounted(program).get(), MakeCounted("ignored").get()));
    EXPECT_TRUE(UpdateZarel(MakeCounted(update).get()));
    EXPECT_TRUE(UpLoadParameter(nullptr));
    EXPECT_FALSE(UpdateZarel(MakeCounted(folder_.Path("missing.zip")).get()));

    EXPECT_EQ(printer_->Typed(), "SEND.LOGO LOGO07.BMP 3000\r"
                                 "SEND.DOS prog.bin4096\r"
                                 "ZAREL.PROGRAM.UPGRAD 2048\r"
                                 "UPLOAD.PARAMETER\r");
}

} // namespace
