// How zarelctl fails: a printer that refuses or stays silent gives exit 1 with the library's last
// error code and what it means; a wrong command line gives the usage and exit 2, before any
// printer is asked.
#include "SimulatorFixture.h"
#include "TestLogo.h"

#include <zarelsim/Fault.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace {

#define EXPECT_CONTAINS(text, part)                                                                \
    EXPECT_NE((text).find(part), std::string::npos) << "in: " << (text)

class Refusals : public ZarelctlOnSimulator {};

TEST_F(Refusals, ErrorRepliesGiveTheirNumber) {
    Printer().AddFault({zarelsim::FaultKind::ErrorReply, 7, {'B'}, 1});
    ProgramResult human = Ctl({"info"});
    EXPECT_EQ(human.exitCode, 1);
    EXPECT_EQ(human.out, "");
    EXPECT_EQ(human.err,
              "zarelctl: could not read the system information: error code 7, printer error 7\n");
    ProgramResult json = Ctl({"--json", "info"});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(
        json.out,
        "{\"ok\":false,\"exit\":1,\"error\":\"could not read the system information: error code 7, "
        "printer error 7\",\"code\":7,\"reason\":\"printer error 7\",\"source\":\"printer\"}\n");
}

TEST_F(Refusals, AnUnexpectedReplyCodeToAnAnnouncementIsCode200) {
    ZarelctlOnSimulator::WriteFile("job.dat", "twelve bytes");
    Printer().AddFault({zarelsim::FaultKind::WrongReplyCode, 'w', {'x'}, 1});
    ProgramResult refused = Ctl({"--json", "download", File("job.dat")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_CONTAINS(
        refused.out,
        "\"code\":200,\"reason\":\"the printer answered with another reply code than the "
        "transfer expects: it did not accept the request\",\"source\":\"printer\"}");
    EXPECT_EQ(Printer().State().files.count("job.dat"), 0u);
}

TEST_F(Refusals, ASilentPrinterIsNoAnswer) {
    Printer().AddFault({zarelsim::FaultKind::Silence, std::nullopt, {}, 1});
    ProgramResult silent = Ctl({"--json", "message", "get"});
    EXPECT_EQ(silent.exitCode, 1);
    EXPECT_CONTAINS(
        silent.err,
        "could not read the message number: the printer did not answer. Check that it is "
        "switched on and cabled");
    EXPECT_CONTAINS(silent.out, "\"reason\":\"no answer\",\"source\":\"printer\"}");
}

TEST(NoPrinter, ALineWithNobodyAtTheFarEndIsNoAnswer) {
    int master = -1, slave = -1;
    char name[256];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    close(slave);
    std::string ports = ::testing::TempDir() + "zarelctl_silent_ports";
    mkdir(ports.c_str(), 0700);
    std::string entry = ports + "/com3";
    unlink(entry.c_str());
    ASSERT_EQ(symlink(name, entry.c_str()), 0);
    ProgramResult silent =
        RunProgram({ZARELCTL_PROGRAM, "--port", "3", "status"}, {{"ZARELCOM_PORT_DIR", ports}});
    unlink(entry.c_str());
    rmdir(ports.c_str());
    close(master);
    EXPECT_EQ(silent.exitCode, 1);
    EXPECT_CONTAINS(silent.err, "could not read the print status: the printer did not answer");
}

// A port that does not open says why and what to do, in words and, for scripts, as the system's
// error number.
TEST_F(Refusals, APortThatDoesNotOpenSaysWhyAndWhatToDo) {
    std::string devNull = PortDirectory() + "/com8";
    ASSERT_EQ(symlink("/dev/null", devNull.c_str()), 0);
    int held = open(Printer().SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0); // as another program holding the port does
    const struct {
        std::string port;
        int code;
        std::string reason, says;
    } cases[] = {
        {"97", ENOENT, "no device is mapped to this name",
         "could not open COM97: no device belongs to this number. Give the device itself"},
        {"/dev/ttyUSB31", ENOENT, "No such file or directory",
         "could not open /dev/ttyUSB31: /dev/ttyUSB31 is not there. Check that the adapter is "
         "plugged in"},
        {"8", ENOTTY, "not a serial port",
         "could not open COM8 (/dev/null): /dev/null is not a serial port"},
        {"5", EBUSY, "Device or resource busy",
         "could not open COM5 (" + Printer().SlavePath() +
             "): another program holds it (zarelctl_e2e_te, process " + std::to_string(getpid()) +
             "). Close that program and try again"},
        {Printer().SlavePath(), EBUSY, "Device or resource busy",
         "could not open " + Printer().SlavePath() + ": another program holds it"},
    };
    for (const auto &refused : cases) {
        ProgramResult result = CtlAsIs({"--json", "--port", refused.port, "status"});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_CONTAINS(result.err, refused.says);
        EXPECT_CONTAINS(result.out, ",\"code\":" + std::to_string(refused.code) + ",\"reason\":\"" +
                                        refused.reason + "\",\"source\":\"port\"}");
    }
    close(held);
}

// Each of these is refused with the usage and exit 2, and never reaches a port (there is none).
class UsageErrors : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(UsageErrors, GiveTheUsageAndExit2) {
    std::vector<std::string> arguments = {ZARELCTL_PROGRAM, "--port", "97"};
    arguments.insert(arguments.end(), GetParam().begin(), GetParam().end());
    ProgramResult result = RunProgram(arguments, {{"ZARELCOM_PORT_DIR", "/nonexistent"}});
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_CONTAINS(result.err, "Usage: zarelctl ");
    EXPECT_EQ(result.err.find("could not open"), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    BadArguments, UsageErrors,
    ::testing::Values(
        std::vector<std::string>{}, std::vector<std::string>{"frobnicate"},
        std::vector<std::string>{"print"}, std::vector<std::string>{"print", "maybe"},
        std::vector<std::string>{"info", "extra"}, std::vector<std::string>{"send-logo"},
        std::vector<std::string>{"send-logo", "a.bmp", "--slot", "51"},
        std::vector<std::string>{"backup-logo", "0", "a.bmp"},
        std::vector<std::string>{"--baud", "12345", "info"},
        std::vector<std::string>{"--auto", "info"},
        std::vector<std::string>{"--pacing", "fast", "info"},
        std::vector<std::string>{"clock", "set", "yesterday"},
        std::vector<std::string>{"shift", "set", "A0600"},
        std::vector<std::string>{"roll-hour", "set", "24:00"},
        std::vector<std::string>{"counter", "set", "1", "2"},
        std::vector<std::string>{"load-msg", "1", "ABC"},
        std::vector<std::string>{"load-msg", "1", "GG"},
        std::vector<std::string>{"load-msg", "1", std::string(2 * 65533, '0')},
        std::vector<std::string>{"--port", "", "info"},
        std::vector<std::string>{"--port", "-1", "info"},
        std::vector<std::string>{"message", "set", "256"},
        std::vector<std::string>{"string", "set", "1", std::string(252, 'x')},
        std::vector<std::string>{"download", "a", "a-name-longer-than-24-chars"},
        std::vector<std::string>{"make-logo", "-o", "x.bmp"},
        std::vector<std::string>{"make-logo", "--text", "x", "--picture", "y.bmp", "-o", "z.bmp"},
        std::vector<std::string>{"make-logo", "--text", "x", "--height", "30", "-o", "z.bmp"},
        std::vector<std::string>{"make-logo", "--picture", "y.bmp", "--font", "Serif", "-o",
                                 "z.bmp"}));

TEST(UsageErrors, TheyTellWhatIsWrong) {
    const struct {
        std::vector<std::string> arguments;
        std::string says;
    } cases[] = {
        {{"load-msg", "1", std::string(2 * 65533, '0')},
         "the message data is too long: 65533 bytes, and a message holds at most 65532. Nothing "
         "was sent"},
        {{"--port", "", "info"}, "--port needs a COM number or a device"},
        {{"--port", "-1", "info"}, "the COM number (--port) must be a whole number from 1 to 255"},
    };
    for (const auto &wrong : cases) {
        std::vector<std::string> arguments = {ZARELCTL_PROGRAM};
        arguments.insert(arguments.end(), wrong.arguments.begin(), wrong.arguments.end());
        EXPECT_CONTAINS(RunProgram(arguments).err, "zarelctl: " + wrong.says);
    }
}

// A file show-logo cannot draw is this computer's refusal, exit 1 with the reason: never an abort,
// never a wait on a pipe, never a read without end.
TEST(LocalFiles, ShowLogoReadsOnlyRegularFilesAsFarAsTheirHeader) {
    std::string folder = ::testing::TempDir() + "zarelctl_show_logo";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    std::string fifo = folder + "/pipe.bmp";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(folder + "/empty-wide.bmp", std::ios::binary) << WhiteLogo(0, 17);
    std::string noRows = WhiteLogo(8, 1);
    noRows[22] = 0; // the height
    std::ofstream(folder + "/empty-high.bmp", std::ios::binary) << noRows;
    const struct {
        std::string path, says;
    } cases[] = {
        {folder, "cannot read " + folder + ": it is a folder. Name a file"},
        {fifo, "cannot read " + fifo + ": it is not a regular file (a device or a pipe)"},
        {"/dev/zero", "cannot read /dev/zero: it is not a regular file (a device or a pipe)"},
        {folder + "/empty-wide.bmp", "holds no logo: it is 0 x 17 dots"},
        {folder + "/empty-high.bmp", "holds no logo: it is 8 x 0 dots"},
    };
    for (const auto &refused : cases) {
        ProgramRun run;
        run.arguments = {ZARELCTL_PROGRAM, "--json", "show-logo", refused.path};
        run.timeoutSeconds = 30;
        ProgramResult result = RunProgram(run);
        EXPECT_EQ(result.exitCode, 1) << refused.path;
        EXPECT_CONTAINS(result.err, refused.says);
        EXPECT_CONTAINS(result.out, "\"source\":\"local\"}");
    }
    std::filesystem::remove_all(folder);
}

TEST(UsageErrors, InJsonModeScriptsGetAnObjectToo) {
    ProgramResult result = RunProgram({ZARELCTL_PROGRAM, "--json", "print", "maybe"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "{\"ok\":false,\"exit\":2,\"error\":\"'print' takes one of on, off, not "
                          "'maybe'\",\"code\":64,"
                          "\"reason\":\"usage\",\"source\":\"usage\"}\n");
}

TEST(Help, TheToolAndEveryCommandExplainThemselves) {
    ProgramResult tool = RunProgram({ZARELCTL_PROGRAM, "--help"});
    ASSERT_EQ(tool.exitCode, 0);
    EXPECT_CONTAINS(tool.out, "Exit status: 0 done; 1 the printer refused or did not answer");
    size_t listed = 0;
    for (size_t line = tool.out.find("\n  "); line != std::string::npos;
         line = tool.out.find("\n  ", line + 1)) {
        std::string name = tool.out.substr(line + 3, tool.out.find(' ', line + 3) - line - 3);
        if (name[0] == '-' || name.empty()) continue;
        ProgramResult help = RunProgram({ZARELCTL_PROGRAM, name, "--help"});
        EXPECT_EQ(help.exitCode, 0) << name;
        EXPECT_CONTAINS(help.out,
                        "Usage: zarelctl [--port PORT | --auto] [--baud RATE] [--json] [--trace] " +
                            name);
        EXPECT_EQ(RunProgram({ZARELCTL_PROGRAM, "help", name}).out, help.out);
        // The options every command takes are told once, in the tool's help.
        EXPECT_EQ(help.out.find("--trace  "), std::string::npos) << name;
        EXPECT_CONTAINS(help.out, "and the exit status: see 'zarelctl --help'.\n");
        ++listed;
    }
    EXPECT_GE(listed, 36u);
}

} // namespace
