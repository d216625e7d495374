// The simulator on its pseudo-terminal, seen from a bare host: line rate, registration, faults
// on the wire, mode switches, restart, state folder, logo output and the program itself.
#include "Bitmap.h"
#include "RawHost.h"

#include <zarelsim/Simulator.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zarelsim {
namespace {

using test::Payload;
using test::RawHost;
using test::RequestFrame;
using namespace std::chrono_literals;

std::string TemporaryFolder() {
    char name[] = "/tmp/zarelsim-test-XXXXXX";
    return mkdtemp(name);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

uint8_t ReplyCode(const Bytes& frame) { return frame.size() > 4 ? frame[4] : 0; }

TEST(SimulatorPtyTest, AnswersOnlyAHostAtItsOwnRateAndFollowsABaudChange) {
    Simulator printer;
    printer.Start();
    RawHost host(printer.SlavePath(), 9600);
    EXPECT_TRUE(host.Exchange(Payload("0B")).empty());
    EXPECT_GT(printer.Stats().ignoredBytes, 0u);
    host.SetRate(19200);
    EXPECT_EQ(ReplyCode(host.Exchange(Payload("0B"))), 'B');
    EXPECT_EQ(host.Exchange({'0', 'R', 2}), (Bytes{0x02, 0x00, 0x02, '0', 'O', 0x81, 0x03}));
    EXPECT_EQ(printer.Baud(), 38400u);
    EXPECT_TRUE(host.Exchange(Payload("0B")).empty());
    host.SetRate(38400);
    EXPECT_EQ(ReplyCode(host.Exchange(Payload("0B"))), 'B');
}

TEST(SimulatorPtyTest, RegistersComNAndRemovesItAtTheEnd) {
    const std::string folder = TemporaryFolder() + "/ports"; // made on demand
    Options options;
    options.comNumber = 4;
    options.portDirectory = folder;
    std::string path;
    {
        Simulator printer(options);
        path = printer.ComEntry();
        EXPECT_EQ(path, folder + "/com4");
        char target[256] = {};
        ASSERT_GT(readlink(path.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(printer.SlavePath(), target);
        // A second printer may not take a live com4 away.
        EXPECT_THROW(Simulator{options}, std::runtime_error);
    }
    EXPECT_FALSE(Exists(path));
    // A link left by a killed simulator points at nothing and is taken over.
    ASSERT_EQ(symlink("/dev/pts/no-such-terminal", path.c_str()), 0);
    {
        Simulator printer(options);
        EXPECT_TRUE(Exists(path));
    }
    EXPECT_FALSE(Exists(path));
}

class FaultOnWireTest : public ::testing::Test {
protected:
    FaultOnWireTest() { printer.Start(); }
    Simulator printer;
    RawHost host{printer.SlavePath(), 19200};
};

TEST_F(FaultOnWireTest, StrayBytesTruncationAndWrongCodeReachTheHost) {
    printer.AddFault(ParseFault("stray:3@E"));
    host.Send(RequestFrame(Payload("0E")));
    EXPECT_EQ(host.Receive(),
              (Bytes{0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x03, '0', 'E', 0x00, 0x78, 0x03}));
    printer.ClearFaults();
    printer.AddFault(ParseFault("truncate:4"));
    host.Send(RequestFrame(Payload("0B")));
    EXPECT_EQ(host.Receive(), (Bytes{0x02, 0x00, 0x16, '0'}));
    printer.ClearFaults();
    printer.AddFault(ParseFault("wrongcode:0x50@B"));
    EXPECT_EQ(ReplyCode(host.Exchange(Payload("0B"))), 0x50);
    EXPECT_EQ(ReplyCode(host.Exchange(Payload("0E"))), 'E');
}

TEST_F(FaultOnWireTest, AnErrorReplyRefusesTheCommandWhileSilenceCarriesItOut) {
    printer.AddFault(ParseFault("error:16@F"));
    EXPECT_EQ(host.Exchange({'0', 'F', 1}), (Bytes{0x02, 0x00, 0x03, '0', '1', 16, 0x74, 0x03}));
    EXPECT_EQ(printer.State().printOn, 0);
    printer.ClearFaults();
    printer.AddFault(ParseFault("silence@F"));
    EXPECT_TRUE(host.Exchange({'0', 'F', 1}).empty());
    EXPECT_EQ(printer.State().printOn, 1);
}

TEST_F(FaultOnWireTest, EveryKthTimeCountsOnlyTheGivenCommand) {
    printer.AddFault(ParseFault("silence@M/2"));
    std::vector<bool> answered;
    for (int i = 0; i < 4; ++i) {
        answered.push_back(!host.Exchange(Payload("0M")).empty());
        EXPECT_FALSE(host.Exchange(Payload("0E")).empty());
    }
    EXPECT_EQ(answered, (std::vector<bool>{true, false, true, false}));
}

TEST_F(FaultOnWireTest, DelayAndDripStillDeliverTheWholeReply) {
    // Only lower bounds on the time: a loaded machine makes everything slower, never faster.
    for (const char* fault : {"delay:200@E", "drip:30@E"}) {
        printer.ClearFaults();
        printer.AddFault(ParseFault(fault));
        host.Send(RequestFrame(Payload("0E")));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(host.Receive(8, 1000), (Bytes{0x02, 0x00, 0x03, '0', 'E', 0x00, 0x78, 0x03}))
            << fault;
        EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms)
            << fault; // drip: 7 pauses of 30 ms
    }
}

TEST_F(FaultOnWireTest, HangUpAnswersKBlocksThenNoMore) {
    printer.AddFault(ParseFault("hangup:1@|"));
    EXPECT_EQ(ReplyCode(host.Exchange({'0', '|', 0x00, 0x04, 0, 0, 2, 5, 0})), 'O'); // 1024 bytes
    Bytes block{'0', '~', 1, 0xFE};
    block.resize(516, 0x11);
    EXPECT_EQ(ReplyCode(host.Exchange(block)), 'O');
    block[2] = 2, block[3] = 0xFD;
    EXPECT_TRUE(host.Exchange(block).empty());
    EXPECT_TRUE(printer.State().logos[4].empty());
    EXPECT_EQ(ReplyCode(host.Exchange(Payload("0B"))), 'B'); // other commands are still answered
}

TEST(SimulatorPtyTest, SwitchesToTerminalModeAndBack) {
    Simulator printer;
    printer.Start();
    RawHost host(printer.SlavePath(), 19200);
    host.Send({0x02, 0x00, 0x02, 0x30, 0x80, 0xB2, 0x03});
    EXPECT_TRUE(host.Receive().empty());
    EXPECT_EQ(printer.Mode(), LinkMode::Terminal);
    host.Send(Payload("\r"));
    EXPECT_EQ(host.Receive(), Payload("\r\nCMD: "));
    host.Send(Payload("SEND.LOGO LOGO05.BMP 1462\r"));
    EXPECT_EQ(host.Receive(), Payload("SEND.LOGO LOGO05.BMP 1462\r\nCMD: "));
    host.Send({'S', 'T', 'X', '.', 'P', 'R', 'O', 'T', 'O', 'C', 'O', 'L', '\r', 0});
    EXPECT_TRUE(host.Receive().empty());
    EXPECT_EQ(printer.Mode(), LinkMode::Packet);
    EXPECT_EQ(ReplyCode(host.Exchange(Payload("0E"))), 'E');
    EXPECT_EQ(printer.State().terminalAnnouncements,
              std::vector<std::string>{"SEND.LOGO LOGO05.BMP 1462"});
}

TEST(SimulatorPtyTest, KeepsOnlyTheLatestTerminalAnnouncements) {
    Simulator printer;
    printer.Start();
    RawHost host(printer.SlavePath(), 19200);
    host.Send({0x02, 0x00, 0x02, 0x30, 0x80, 0xB2, 0x03});
    const int lines = 3 * kKeptAnnouncements;
    std::string typed, echoed;
    for (int i = 0; i < lines; ++i) {
        const std::string line = "SEND.DOS F" + std::to_string(i);
        typed += line + "\r";
        echoed += line + "\r\nCMD: ";
    }
    host.Send(Payload(typed));
    ASSERT_EQ(host.Receive(echoed.size(), 2000), Payload(echoed)); // every line was taken
    const std::vector<std::string> kept = printer.State().terminalAnnouncements;
    ASSERT_EQ(kept.size(), size_t(kKeptAnnouncements));
    EXPECT_EQ(kept.front(), "SEND.DOS F" + std::to_string(lines - kKeptAnnouncements));
    EXPECT_EQ(kept.back(), "SEND.DOS F" + std::to_string(lines - 1));
}

TEST(SimulatorPtyTest, ARestartLeavesThePrinterDeafForAWhile) {
    Options options;
    options.rebootMs = 1500;
    Simulator printer(options);
    printer.Start();
    printer.Update([](PrinterState& s) { s.printOn = 1; });
    RawHost host(printer.SlavePath(), 19200);
    EXPECT_EQ(ReplyCode(host.Exchange(Payload("0P"))), 'O');
    EXPECT_TRUE(host.Exchange(Payload("0E")).empty());
    std::this_thread::sleep_for(1600ms);
    EXPECT_EQ(host.Exchange(Payload("0E")), (Bytes{0x02, 0x00, 0x03, '0', 'E', 0x00, 0x78, 0x03}));
    EXPECT_EQ(printer.State().reboots, 1u);
}

TEST(SimulatorPtyTest, TheStateFolderCarriesChangesIntoTheNextRun) {
    Options options;
    options.stateDirectory = TemporaryFolder();
    {
        Simulator printer(options);
        printer.Start();
        RawHost host(printer.SlavePath(), 19200);
        EXPECT_EQ(ReplyCode(host.Exchange({'0', '=', 17, 2, 'o', 'k'})), 'O');
    }
    Simulator printer(options);
    EXPECT_EQ(printer.State().strings[17], "ok");
    std::system(("rm -rf " + options.stateDirectory).c_str());
}

TEST(SimulatorPtyTest, AReceivedLogoIsDrawnAndDumped) {
    std::ostringstream art;
    Options options;
    options.logoArt = &art;
    options.dumpDirectory = TemporaryFolder();
    Simulator printer(options);
    printer.Start();
    RawHost host(printer.SlavePath(), 19200);
    MonoImage image;
    image.width = 8;
    image.height = 2;
    image.black = {true,  false, false, false, false, false, false, true,
                   false, true,  true,  true,  true,  true,  true,  false};
    const Bytes logo = WriteMonoBmp(image);
    EXPECT_EQ(ReplyCode(host.Exchange({'0', '|', uint8_t(logo.size()), 0, 0, 0, 2, 9, 0})), 'O');
    Bytes block{'0', '~', 1, 0xFE};
    block.insert(block.end(), logo.begin(), logo.end());
    block.resize(516, 0);
    EXPECT_EQ(ReplyCode(host.Exchange(block)), 'O');
    printer.Stop(); // the art is written on the printer's thread
    EXPECT_EQ(art.str(), "Logo slot 9 (8 x 2 dots)\n#......#\n.######.\n");
    std::ifstream dumped(options.dumpDirectory + "/LOGO09.BMP", std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(dumped), {}), logo);
    std::system(("rm -rf " + options.dumpDirectory).c_str());
}

TEST(SimulatorPtyTest, ThrottleSendsAtTheLineRate) {
    Options options;
    options.baud = 9600;
    options.throttle = true;
    Simulator printer(options);
    printer.Start();
    RawHost host(printer.SlavePath(), 9600);
    const auto start = std::chrono::steady_clock::now();
    const Bytes reply = host.Exchange(Payload("0I")); // 71 bytes: 74 ms at 960 bytes a second
    EXPECT_EQ(reply.size(), 71u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 65ms);
}

// Seconds since midnight of a --log line's time stamp ("13:58:33.475944 < 02 ...").
double LogTime(const std::string& line) {
    int hour = 0, minute = 0;
    double second = 0;
    std::sscanf(line.c_str(), "%d:%d:%lf", &hour, &minute, &second);
    return hour * 3600 + minute * 60 + second;
}

TEST(SimulatorPtyTest, ThrottleHearsTheHostNoFasterThanTheLineRate) {
    Options options;
    options.throttle = true; // at 19200 bit/s a block's 521-byte frame is 271 ms on the wire
    options.logFile = TemporaryFolder() + "/wire.log";
    Simulator printer(options);
    printer.Start();
    RawHost host(printer.SlavePath(), 19200);
    ASSERT_EQ(ReplyCode(host.Exchange({'0', '|', 0, 2, 0, 0, 2, 9, 0})), 'O'); // one block of logo
    Bytes block{'0', '~', 1, 0xFE};
    block.resize(516, 0x55);
    host.Send(RequestFrame(block));
    ASSERT_EQ(ReplyCode(host.Receive(7, 5000)), 'O');
    printer.Stop();
    // The log stamps each burst from the host as it is read, and a reply once it is sent.
    std::ifstream log(options.logFile);
    std::vector<std::string> bursts;
    for (std::string line; std::getline(log, line);)
        if (line.size() > 16 && (line[16] == '<' || line[16] == '>')) bursts.push_back(line);
    const auto announcementAnswer =
        std::find_if(bursts.begin(), bursts.end(), [](auto& l) { return l[16] == '>'; });
    ASSERT_TRUE(announcementAnswer != bursts.end() && announcementAnswer + 2 < bursts.end());
    EXPECT_EQ(bursts.back()[16], '>');
    EXPECT_GE(LogTime(bursts.back()) - LogTime(*(announcementAnswer + 1)), 0.271)
        << "the block's answer beat its wire time";
    std::system(("rm -rf " + options.logFile.substr(0, options.logFile.rfind('/'))).c_str());
}

TEST(SimulatorPtyTest, TheProgramPrintsItsPathAndCleansUpOnSigterm) {
    const std::string folder = TemporaryFolder();
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 1);
        setenv("ZARELCOM_PORT_DIR", folder.c_str(), 1);
        execl(ZAREL_SIM_PROGRAM, ZAREL_SIM_PROGRAM, "--com", "6", "--fault", "error:9@B", nullptr);
        _exit(127);
    }
    close(out[1]);
    FILE* lines = fdopen(out[0], "r");
    char path[256] = {};
    ASSERT_TRUE(std::fgets(path, sizeof path, lines));
    path[std::strcspn(path, "\n")] = 0;
    EXPECT_TRUE(Exists(folder + "/com6"));
    {
        RawHost host(path, 19200);
        EXPECT_EQ(host.Exchange(Payload("0B")), (Bytes{0x02, 0x00, 0x03, '0', '1', 9, 0x6D, 0x03}));
    }
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(Exists(folder + "/com6"));
    std::fclose(lines);
    rmdir(folder.c_str());
}

TEST(SimulatorPtyTest, TheProgramRefusesBadOptionsWithAReason) {
    const std::string command = std::string(ZAREL_SIM_PROGRAM) + " --fault nonsense 2>&1";
    FILE* run = popen(command.c_str(), "r");
    char text[256] = {};
    ASSERT_TRUE(std::fgets(text, sizeof text, run));
    EXPECT_NE(std::string(text).find("unknown fault \"nonsense\""), std::string::npos);
    EXPECT_NE(pclose(run), 0);
}

} // namespace
} // namespace zarelsim
