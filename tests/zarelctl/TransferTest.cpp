// zarelctl's transfers against the simulated printer: logos into slots and back, messages, named
// files, parameter and message-name files, screens, print images and updates, with their
// progress shown both ways.
#include "../support/FileSizeLimit.h"
#include "SimulatorFixture.h"
#include "TestLogo.h"

#include <sys/stat.h>

#include <cerrno>
#include <regex>

using zarelsim::Bytes;
using zarelsim::PrinterState;

namespace {

#define EXPECT_CONTAINS(text, part)                                                                \
    EXPECT_NE((text).find(part), std::string::npos) << "in: " << (text)

Bytes AsBytes(const std::string &text) { return Bytes(text.begin(), text.end()); }

// Data that shows whether every byte arrived in its place.
std::string Pattern(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return bytes;
}

class Logos : public ZarelctlOnSimulator {};
class Files : public ZarelctlOnSimulator {};
class Progress : public ZarelctlOnSimulator {};

TEST_F(Logos, SendLogoFillsTheFreeSlotTheCommandNames) {
    std::string logo = WhiteLogo(96, 50);
    WriteFile("logo.bmp", logo);
    Printer().Update([](PrinterState &state) { state.logos[0] = {1}, state.logos[1] = {2}; });
    ProgramResult sent = Ctl({"send-logo", File("logo.bmp")});
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(sent.out,
              "Send Logo " + File("logo.bmp") + " OK\nThe printer stored the logo in slot 3\n");
    EXPECT_EQ(Printer().State().logos[2], AsBytes(logo));

    ProgramResult chosen = Ctl({"--json", "send-logo", File("logo.bmp"), "--slot", "9"});
    ASSERT_EQ(chosen.exitCode, 0) << chosen.err;
    EXPECT_EQ(chosen.out, "{\"ok\":true,\"port\":5,\"baud\":19200,\"slot\":9,\"file\":\"" +
                              File("logo.bmp") + "\",\"bytes\":" + std::to_string(logo.size()) +
                              "}\n");
    EXPECT_EQ(Printer().State().logos[8], AsBytes(logo));
}

TEST_F(Logos, TheToolsChecksRefuseBeforeAnythingIsSent) {
    WriteFile("big.bmp", std::string(16001, 'x'));
    WriteFile("limit.bmp", std::string(16000, 'x'));
    ProgramResult big = Ctl({"send-logo", File("big.bmp")});
    EXPECT_EQ(big.exitCode, 1);
    EXPECT_CONTAINS(big.err, "Send error, LOGO size=16001 >16000 bytes!!");
    EXPECT_EQ(Printer().State().LowestFreeLogoSlot(), 1);
    EXPECT_EQ(Ctl({"send-logo", File("limit.bmp")}).exitCode, 0);

    Printer().Update([](PrinterState &state) {
        for (Bytes &slot : state.logos) slot = {1};
    });
    ProgramResult full = Ctl({"--json", "send-logo", File("limit.bmp")});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_CONTAINS(full.err, "Fifty LOGOs are full!!");
    EXPECT_CONTAINS(full.out, "{\"ok\":false,\"exit\":1,\"error\":\"Fifty LOGOs are full!!");

    ProgramResult missing = Ctl({"send-logo", File("nothing.bmp")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_CONTAINS(missing.err, "cannot read " + File("nothing.bmp"));
}

TEST_F(Logos, BackUpBringsTheStoredLogoBackAndShowsIt) {
    std::string logo = OneBitLogo({"#......#", ".#....#.", "..####.."});
    Printer().Update([&](PrinterState &state) { state.logos[6] = AsBytes(logo); });
    ProgramResult saved = Ctl({"backup-logo", "7", File("back.bmp")});
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_EQ(ReadFile("back.bmp").substr(0, logo.size()), logo);
    ProgramResult shown = CtlAsIs({"show-logo", File("back.bmp")});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.out, File("back.bmp") + ": 8 x 3 dots\n#......#\n.#....#.\n..####..\n");
}

TEST_F(Files, MessagesGoBackAndForth) {
    std::string message = Pattern(700);
    WriteFile("message.bin", message);
    ProgramResult restored = Ctl({"restore-msg", "3", File("message.bin")});
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    EXPECT_EQ(Printer().State().messages.at(3), AsBytes(message));
    ProgramResult backedUp = Ctl({"--json", "backup-msg", "3", File("again.bin")});
    ASSERT_EQ(backedUp.exitCode, 0) << backedUp.err;
    EXPECT_EQ(ReadFile("again.bin").substr(0, message.size()), message);
    EXPECT_CONTAINS(backedUp.out, "\"message\":3}");
}

TEST_F(Files, NamedFilesParametersAndNameListsTravelWhole) {
    std::string data = Pattern(1300);
    WriteFile("job.dat", data);
    ASSERT_EQ(Ctl({"download", File("job.dat")}).exitCode, 0);
    ASSERT_EQ(Ctl({"download", File("job.dat"), "bmp\\job2.bmp"}).exitCode, 0);
    PrinterState state = Printer().State();
    EXPECT_EQ(state.files.at("job.dat"), AsBytes(data));
    EXPECT_EQ(state.files.at("bmp\\job2.bmp"), AsBytes(data));
    ProgramResult fetched = Ctl({"upload", "job.dat", File("job.copy")});
    ASSERT_EQ(fetched.exitCode, 0) << fetched.err;
    EXPECT_EQ(ReadFile("job.copy").substr(0, data.size()), data);

    std::string parameters = Pattern(600);
    WriteFile("zarel.dat", parameters);
    ProgramResult sent = Ctl({"param", "download", File("zarel.dat")});
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(Printer().State().files.at("ZAREL.DAT"), AsBytes(parameters));
    EXPECT_EQ(Printer().State().reboots, 1u);

    Printer().Update([&](PrinterState &s) { s.files["ZAREL.PAR"] = AsBytes(parameters); });
    ASSERT_EQ(Ctl({"param", "upload", File("zarel.par")}).exitCode, 0);
    EXPECT_EQ(ReadFile("zarel.par").substr(0, parameters.size()), parameters);
}

TEST_F(Files, TheMessageNameListAndAnEmptyOne) {
    // No message stored: the printer answers, but has nothing to send.
    ProgramResult empty = Ctl({"--json", "msg-names", File("names.dat")});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_CONTAINS(
        empty.err,
        "could not fetch the message-name list: the printer answers, but did not accept");
    EXPECT_CONTAINS(empty.out, "\"reason\":\"refused\",\"source\":\"printer\"}");

    ASSERT_EQ(Ctl({"load-msg", "3", "0102"}).exitCode, 0);
    ProgramResult names = Ctl({"msg-names", File("names.dat")});
    ASSERT_EQ(names.exitCode, 0) << names.err;
    EXPECT_EQ(ReadFile("names.dat").substr(0, 12), "003 MSG003\r\n");
}

TEST_F(Files, ScreensImagesAndUpdates) {
    ProgramResult screen = Ctl({"--json", "screen", "SCREEN1", File("screen.bmp")});
    ASSERT_EQ(screen.exitCode, 0) << screen.err;
    EXPECT_CONTAINS(screen.out, "\"name\":\"SCREEN1\"}");
    ProgramResult shown =
        CtlAsIs({"show-logo", File("screen.bmp")}); // the printer's screen is a one-bit bitmap
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_CONTAINS(shown.out, ": 128 x 32 dots\n" + std::string(128, '#') + "\n");

    std::string image = WhiteLogo(64, 50);
    WriteFile("image.bmp", image);
    ASSERT_EQ(Ctl({"print-image", File("image.bmp"), "--option", "1"}).exitCode, 0);
    EXPECT_EQ(Printer().State().lastPrintImage, AsBytes(image));

    std::string package = Pattern(2000);
    WriteFile("hp.zip", package);
    ProgramResult updated = Ctl({"update", File("hp.zip")});
    ASSERT_EQ(updated.exitCode, 0) << updated.err;
    EXPECT_EQ(updated.out,
              "Program update " + File("hp.zip") + " sent; the printer restarts (2000 bytes)\n");
    EXPECT_EQ(Printer().State().files.at("HP.ZIP"), AsBytes(package));
}

TEST_F(Files, AFileThatCannotBeWrittenOrReadIsRefusedHereNotByThePrinter) {
    ASSERT_EQ(mkdir(File("folder").c_str(), 0700), 0);
    const struct {
        std::vector<std::string> command;
        std::string says;
        int code;
    } cases[] = {
        {{"upload", "job.dat", File("no/such/folder/job.dat")},
         "cannot write " + File("no/such/folder/job.dat") + ": no new file can be made in " +
             File("no/such/folder/") + ": No such file or directory",
         ENOENT},
        {{"upload", "job.dat", File("folder")},
         "cannot write " + File("folder") + ": it is a folder. Name a file in it",
         EISDIR},
        {{"upload", "job.dat", "/dev/null"},
         "cannot write /dev/null: it is not a regular file",
         EINVAL},
        {{"download", File("folder")},
         "cannot read " + File("folder") + ": it is a folder",
         EISDIR},
        {{"download", File("missing.dat")},
         "cannot read " + File("missing.dat") + ": No such file or directory",
         ENOENT},
    };
    for (const auto &refused : cases) {
        std::vector<std::string> arguments = {"--json"};
        arguments.insert(arguments.end(), refused.command.begin(), refused.command.end());
        ProgramResult result = Ctl(arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_CONTAINS(result.err, "zarelctl: " + refused.says);
        EXPECT_CONTAINS(result.out, "\"code\":" + std::to_string(refused.code));
        EXPECT_CONTAINS(result.out, "\"source\":\"local\"}");
        EXPECT_EQ(result.err.find("printer"), std::string::npos) << result.err;
    }
}

TEST_F(Files, AFetchThatFailsOnThisComputerSaysSoNotThePrinter) {
    Printer().Update([](PrinterState &state) { state.files["job.dat"] = AsBytes(Pattern(3000)); });
    WriteFile("job.copy", "the earlier copy");
    ProgramResult result;
    {
        const FileSizeLimit limit(1024); // the third block does not fit, as on a full disk
        result = Ctl({"--json", "upload", "job.dat", File("job.copy")});
    }
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_CONTAINS(result.err, "zarelctl: could not fetch job.dat from the printer: this computer "
                                "failed, not the printer (Cannot save the fetched file " +
                                    File("job.copy") + ": File too large (Error: 27)). Check");
    EXPECT_CONTAINS(result.out, "\"code\":27,\"reason\":\"File too large\",\"source\":\"local\"}");
    EXPECT_EQ(ReadFile("job.copy"), "the earlier copy");
}

TEST_F(Progress, PlainLinesWhenTheOutputIsNoTerminal) {
    WriteFile("job.dat", Pattern(2600)); // six blocks, the last one partly filled
    ProgramResult sent = Ctl({"download", File("job.dat")});
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
    std::string expected;
    for (const char *figures :
         {"19% 512", "39% 1024", "59% 1536", "78% 2048", "98% 2560", "100%3072"})
        expected += File("job.dat") + "  " + figures + " / 2600 Bytes\n";
    EXPECT_EQ(sent.err, expected);
}

TEST_F(Progress, ABarOnATerminal) {
    WriteFile("job.dat", Pattern(2600));
    ProgramResult sent = Ctl({"download", File("job.dat")}, true);
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_CONTAINS(sent.err, "\r[#####-------------------------]  19%  512 / 2600 bytes\033[K");
    EXPECT_CONTAINS(sent.err, "\r[#############################-]  98%  2560 / 2600 bytes  ");
    // It ends at the file's size, with the rate and nothing left.
    EXPECT_TRUE(std::regex_search(
        sent.err,
        std::regex(R"(\r\[#{30}\] 100%  2600 / 2600 bytes  [0-9.]+ kB/s  0:00 left\x1b\[K\r\n$)")))
        << sent.err;
    EXPECT_EQ(sent.err.find("Bytes"), std::string::npos) << sent.err;
    EXPECT_EQ(sent.out, File("job.dat") + " sent to the printer as job.dat (2600 bytes)\n");
}

} // namespace
