// The wire trace as a person debugging a line reads it: every frame and terminal line with its
// time, direction, name and bytes; on standard error with --trace, in a file with ZARELCOM_TRACE.
#include "SimulatorFixture.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <thread>
#include <iterator>
#include <regex>

namespace {

class Trace : public ZarelctlOnSimulator {
protected:
    ProgramResult Traced(const std::vector<std::string> &arguments, const std::string &trace) {
        std::vector<std::string> line = {ZARELCTL_PROGRAM, "--port", std::to_string(kCom)};
        line.insert(line.end(), arguments.begin(), arguments.end());
        std::map<std::string, std::string> environment = {{"ZARELCOM_PORT_DIR", PortDirectory()}};
        if (!trace.empty()) environment["ZARELCOM_TRACE"] = trace;
        return RunProgram(line, environment);
    }
};

const char *const stamp = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} Com\d+ )";

TEST_F(Trace, FramesAndTerminalLinesWithTimeDirectionNameAndBytes) {
    ProgramResult query = Traced({"--trace", "message", "get"}, "");
    ASSERT_EQ(query.exitCode, 0) << query.err;
    EXPECT_TRUE(std::regex_match(
        query.err,
        std::regex(std::string("^") + stamp + "sent     GetMessageNo +02 00 02 30 32 64 03\n" +
                   stamp + "received GetMessageNo reply +02 00 03 30 32 01 66 03\n$")))
        << query.err;

    ProgramResult terminal = Traced({"-t", "mode", "terminal"}, "");
    ASSERT_EQ(terminal.exitCode, 0) << terminal.err;
    EXPECT_TRUE(std::regex_search(
        terminal.err, std::regex("sent     switch to terminal mode +02 00 02 30 80 B2 03\n")))
        << terminal.err;
    EXPECT_TRUE(std::regex_search(terminal.err, std::regex(R"(sent     terminal "\\r" +0D\n)")))
        << terminal.err;
    EXPECT_TRUE(std::regex_search(terminal.err,
                                  std::regex(R"(received terminal ".*CMD: " +.*43 4D 44 3A 20\n)")))
        << terminal.err;
}

TEST_F(Trace, AFileTakesTheTraceAndNothingIsWrittenWhenUnset) {
    std::string file = File("wire.log");
    ProgramResult traced = Traced({"status"}, file);
    ASSERT_EQ(traced.exitCode, 0) << traced.err;
    EXPECT_EQ(traced.err, "");
    std::ifstream log(file);
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8) << text; // four requests, four replies
    EXPECT_TRUE(std::regex_search(
        text, std::regex("received GetPrintStatus reply +02 00 03 30 45 00 78 03\n")))
        << text;

    ProgramResult quiet = Traced({"status"}, "");
    EXPECT_EQ(quiet.err, "");
}

TEST_F(Trace, AFifoNeitherHoldsUpTheProgramNorEndsItWhenItsReaderGoes) {
    const std::string fifo = File("wire.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ProgramResult unread = Traced({"status"}, fifo);
    EXPECT_EQ(unread.exitCode, 0) << "a FIFO without a reader is not waited for";

    // A reader that takes the first line and goes away.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    std::thread firstLine([reader] {
        pollfd ready{reader, POLLIN, 0};
        char byte = 0;
        while (::poll(&ready, 1, 60000) == 1 && ::read(reader, &byte, 1) == 1 && byte != '\n') {}
        ::close(reader);
    });
    ProgramResult left = Traced({"status"}, fifo);
    firstLine.join();
    EXPECT_EQ(left.exitCode, 0) << "no SIGPIPE: " << left.err;
}

TEST_F(Trace, AReplyThatNeverCameIsSaidSo) {
    Printer().AddFault({zarelsim::FaultKind::Silence, std::nullopt, {}, 1});
    ProgramResult silent = Traced({"--trace", "message", "get"}, "");
    EXPECT_EQ(silent.exitCode, 1);
    EXPECT_TRUE(std::regex_search(silent.err, std::regex("received GetMessageNo reply +no reply")))
        << silent.err;
}

TEST(Version, ToolAndSimulatorNameTheirVersion) {
    for (const char *program : {ZARELCTL_PROGRAM, ZARELSIM_PROGRAM}) {
        ProgramResult version = RunProgram({program, "--version"});
        EXPECT_EQ(version.exitCode, 0) << program;
        EXPECT_TRUE(
            std::regex_search(version.out, std::regex(R"(^zarel(ctl|-sim) \d+\.\d+\.\d+\n)")))
            << version.out;
    }
}

} // namespace
