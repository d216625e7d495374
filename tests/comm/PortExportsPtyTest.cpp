// The library's port exports on real pseudo-terminals, opened by COM number through the port
// directory.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <numeric>
#include <thread>
#include <string>
#include <vector>

#include "PtyPort.h"
#include "comm/Comm.h"
#include "link/Library.h"
#include "zarelcom/zarelcom.h"

namespace {
using Clock = std::chrono::steady_clock;

std::vector<uint8_t> EveryByteValue() {
    std::vector<uint8_t> bytes(256);
    std::iota(bytes.begin(), bytes.end(), 0);
    return bytes;
}

// Reads with sio_read until count bytes came or five seconds passed.
std::vector<uint8_t> ReadThroughLibrary(size_t count) {
    std::vector<uint8_t> got;
    const auto end = Clock::now() + std::chrono::seconds(5);
    while (got.size() < count && Clock::now() < end) {
        uint8_t buffer[512];
        const int32_t read = sio_read(buffer, int32_t(std::min(sizeof buffer, count - got.size())));
        if (read < 0) break;
        got.insert(got.end(), buffer, buffer + read);
    }
    return got;
}

int OpenDescriptors() {
    int count = 0;
    if (DIR* fds = ::opendir("/proc/self/fd")) {
        while (::readdir(fds)) ++count;
        ::closedir(fds);
    }
    return count;
}

void MakeEntry(int number, const std::string& target) {
    const std::string entry = PtyPort::Directory() + "/com" + std::to_string(number);
    ::unlink(entry.c_str());
    ASSERT_EQ(::symlink(target.c_str(), entry.c_str()), 0);
}
} // namespace

class ExportsOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        CloseComPort();
        SetBaudRate(ZC_BR19200); // closed: taken at the next open
    }
    void TearDown() override { CloseComPort(); }

    PtyPort pty{7};
};

TEST_F(ExportsOnPty, OpensByNumberAndClosesCleanly) {
    EXPECT_TRUE(CloseComPort()); // closed already
    ASSERT_TRUE(OpenComPort(7));
    EXPECT_EQ(sio_inque(), 0);
    EXPECT_EQ(sio_outque(), 0);
    EXPECT_TRUE(CloseComPort());
    EXPECT_EQ(sio_inque(), -1);
    EXPECT_EQ(sio_outque(), -1);
    EXPECT_TRUE(CloseComPort());
}

TEST_F(ExportsOnPty, RawBytesBothWaysIncludingZeroAndFF) {
    ASSERT_TRUE(OpenComPort(7));
    const std::vector<uint8_t> bytes = EveryByteValue();
    EXPECT_EQ(sio_write(bytes.data(), 256), 256);
    EXPECT_EQ(pty.Receive(256), bytes); // nothing translated: CR, LF, XON, XOFF, 0x7F, 0xFF
    pty.Send(bytes);
    EXPECT_EQ(ReadThroughLibrary(256), bytes);
    EXPECT_TRUE(pty.Drain().empty()); // and nothing echoed back
}

TEST_F(ExportsOnPty, GetcharGives255AsAByteAndMinusOneAfterASecondOfSilence) {
    ASSERT_TRUE(OpenComPort(7));
    pty.Send({0xFF, 0x00});
    EXPECT_EQ(sio_getchar(), 255);
    EXPECT_EQ(sio_getchar(), 0);
    const auto start = Clock::now();
    EXPECT_EQ(sio_getchar(), -1);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_GE(waited.count(), 950);
    EXPECT_LT(waited.count(), 5000);
    CloseComPort();
    EXPECT_EQ(sio_getchar(), -1);
}

TEST_F(ExportsOnPty, ReadReturnsAtOnceWithWhatWaits) {
    ASSERT_TRUE(OpenComPort(7));
    pty.Send({1, 2, 3});
    for (int i = 0; i < 500 && sio_inque() < 3; ++i) usleep(1000);
    ASSERT_EQ(sio_inque(), 3);
    uint8_t buffer[10];
    const auto start = Clock::now();
    EXPECT_EQ(sio_read(buffer, 10), 3);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(sio_read(buffer, 0), 0);
}

TEST_F(ExportsOnPty, QueueCountsAndClearFiFo) {
    ASSERT_TRUE(OpenComPort(7));
    pty.Send(std::vector<uint8_t>(100, 0x55));
    for (int i = 0; i < 500 && sio_inque() < 100; ++i) usleep(1000);
    EXPECT_EQ(sio_inque(), 100);
    ClearFiFo();
    EXPECT_EQ(sio_inque(), 0);
    pty.Send({9});
    EXPECT_EQ(sio_getchar(), 9); // the port still reads after the purge
}

TEST_F(ExportsOnPty, ClearFiFoAbortsAPendingRead) {
    ASSERT_TRUE(OpenComPort(7));
    auto reading = std::async(std::launch::async, [] {
        uint8_t buffer[10];
        const auto start = Clock::now();
        const int32_t read = sio_read(buffer, 10);
        return std::make_pair(read, Clock::now() - start);
    });
    // Purging again until the read ends: a purge that comes before the read has started is no
    // abort of it.
    do ClearFiFo();
    while (reading.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready);
    const auto [read, waited] = reading.get();
    EXPECT_EQ(read, 0);
    EXPECT_LT(waited, std::chrono::milliseconds(900)); // not the whole second of the time-out
}

TEST_F(ExportsOnPty, BadArgumentsAreRefusedAndTouchNothing) {
    uint8_t buffer[4] = {1, 2, 3, 4};
    EXPECT_EQ(sio_read(buffer, 4), -1); // closed
    EXPECT_EQ(sio_write(buffer, 4), -1);
    ASSERT_TRUE(OpenComPort(7));
    EXPECT_EQ(sio_read(nullptr, 4), -1);
    EXPECT_EQ(sio_read(buffer, -1), -1);
    EXPECT_EQ(sio_write(nullptr, 4), -1);
    EXPECT_EQ(sio_write(buffer, -5), -1);
    EXPECT_TRUE(pty.Drain().empty());
    for (int32_t n : {-1, 256, INT32_MAX}) {
        EXPECT_FALSE(OpenComPort(n));
        EXPECT_EQ(sio_inque(), -1) << "a number that names no port closes the open one: " << n;
        ASSERT_TRUE(OpenComPort(7));
    }
    EXPECT_FALSE(SetBaudRate(15));
    EXPECT_FALSE(SetBaudRate(-1));
    EXPECT_FALSE(SetBaudRate(256 + ZC_BR9600));
    EXPECT_EQ(pty.LineRate(), 19200u);
    EXPECT_EQ(sio_inque(), 0); // still open
    EXPECT_EQ(sio_write(buffer, 4), 4);
    EXPECT_EQ(pty.Receive(4), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST_F(ExportsOnPty, PortZeroWhileOpenFailsWithTheMessageAndKeepsThePort) {
    ASSERT_TRUE(OpenComPort(7));
    EXPECT_FALSE(OpenComPort(0));
    EXPECT_STREQ(GetLastPortError(), "Port already assigned (open) (Error: -1)");
    zc_port_failure_info failure;
    EXPECT_TRUE(zc_port_failure(&failure));
    EXPECT_EQ(failure.kind, ZC_PORT_OTHER);
    EXPECT_EQ(failure.os_error, -1);
    EXPECT_EQ(sio_inque(), 0);
}

TEST_F(ExportsOnPty, NumbersWithoutASerialDeviceDoNotOpenAndSayWhy) {
    const std::string file = PtyPort::Directory() + "/plain-file";
    std::ofstream(file) << "not a port";
    const struct {
        int number;
        std::string target; // empty: no entry
        std::string reason;
        int32_t kind, error;
    } cases[] = {
        {250, "", "Cannot open Com250: no device is mapped to this name (Error: 2)",
         ZC_PORT_MISSING, ENOENT},
        {8, "/dev/null", "Cannot open Com8: /dev/null: not a serial port (Error: 25)",
         ZC_PORT_NOT_SERIAL, ENOTTY},
        {9, file, "Cannot open Com9: " + file + ": not a serial port (Error: 25)",
         ZC_PORT_NOT_SERIAL, ENOTTY},
        {10, PtyPort::Directory(),
         "Cannot open Com10: " + PtyPort::Directory() + ": Is a directory (Error: 21)",
         ZC_PORT_NOT_SERIAL, EISDIR},
        {11, "/nonexistent/device",
         "Cannot open Com11: /nonexistent/device: No such file or directory (Error: 2)",
         ZC_PORT_MISSING, ENOENT},
        {300, "", "", ZC_PORT_MISSING, -1},
        {12, "/dev/ptmx", "Cannot open Com12: /dev/ptmx: not a serial port (Error: 25)",
         ZC_PORT_NOT_SERIAL, ENOTTY},
    };
    for (const auto& refused : cases) {
        if (!refused.target.empty()) MakeEntry(refused.number, refused.target);
        EXPECT_FALSE(OpenComPort(refused.number));
        EXPECT_EQ(GetLastPortError(), refused.reason);
        zc_port_failure_info failure;
        EXPECT_TRUE(zc_port_failure(&failure));
        EXPECT_EQ(failure.kind, refused.kind) << refused.number;
        EXPECT_EQ(failure.os_error, refused.error) << refused.number;
        EXPECT_EQ(failure.device, refused.target) << refused.number;
        EXPECT_EQ(failure.holder_pid, 0);
    }
    // The controlling terminal and the console are no printer's line either (whether they open
    // at all depends on the session and the user).
    for (const char* terminal : {"/dev/tty", "/dev/console"}) {
        MakeEntry(13, terminal);
        EXPECT_FALSE(OpenComPort(13)) << terminal;
    }
    EXPECT_FALSE(zc_open_port_device(file.c_str()));
    EXPECT_EQ(GetLastPortError(), "Cannot open " + file + ": not a serial port (Error: 25)");
    EXPECT_EQ(sio_inque(), -1);
    ASSERT_TRUE(OpenComPort(7)); // the real one still does
    zc_port_failure_info opened;
    EXPECT_FALSE(zc_port_failure(&opened));
    EXPECT_EQ(opened.kind, ZC_PORT_OK);
    EXPECT_EQ(opened.device, pty.TerminalPath());
    EXPECT_FALSE(zc_port_failure(nullptr));
}

// The test holds both sides of the pseudo-terminal, as a simulator does; another process takes the
// line: that one is named.
TEST_F(ExportsOnPty, ABusyLineNamesTheProcessHoldingItNotThePseudoTerminalsFarEnd) {
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        ::close(release[1]);
        const int line = ::open(pty.TerminalPath().c_str(), O_RDWR | O_NOCTTY);
        const char locked = line >= 0 && ::flock(line, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
        (void)!::write(ready[1], &locked, 1);
        char end;
        (void)!::read(release[0], &end, 1); // until the test closes its end
        ::_exit(0);
    }
    char locked = 0;
    ASSERT_EQ(::read(ready[0], &locked, 1), 1);
    ASSERT_EQ(locked, 1);
    const bool opened = OpenComPort(7);
    zc_port_failure_info failure;
    const bool failed = zc_port_failure(&failure);
    ::close(release[1]);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    ::close(release[0]);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(failed);
    EXPECT_EQ(failure.kind, ZC_PORT_BUSY);
    EXPECT_EQ(failure.os_error, EBUSY);
    EXPECT_EQ(failure.device, pty.TerminalPath());
    EXPECT_EQ(failure.holder_pid, holder);
    std::string program;
    std::getline(std::ifstream("/proc/self/comm"), program);
    EXPECT_EQ(failure.holder, program);
}

TEST_F(ExportsOnPty, APortNeverTakesAStandardStreamAndSaysWhyItLacksDescriptors) {
    const int savedError = ::dup(STDERR_FILENO);
    ::close(STDERR_FILENO); // a program that closed standard error before the open
    const bool opened = OpenComPort(7);
    const bool errorIsNoLine = !::isatty(STDERR_FILENO);
    CloseComPort();
    ::dup2(savedError, STDERR_FILENO);
    ::close(savedError);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(errorIsNoLine) << "what goes to standard error would reach the printer";

    std::vector<int> spent; // every descriptor but one taken: the device opens, its waits cannot
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) spent.push_back(fd);
    ::close(spent.back());
    spent.pop_back();
    EXPECT_FALSE(OpenComPort(7));
    const std::string message = GetLastPortError();
    zc_port_failure_info failure;
    const bool recorded = zc_port_failure(&failure);
    for (int fd : spent) ::close(fd);
    EXPECT_EQ(message,
              "Cannot open Com7: " + pty.TerminalPath() + ": Too many open files (Error: 24)");
    ASSERT_TRUE(recorded);
    EXPECT_EQ(failure.os_error, EMFILE);
}

TEST_F(ExportsOnPty, OpensByDevicePathAndClosesTheOpenPortFirst) {
    PtyPort other(12);
    ASSERT_TRUE(OpenComPort(12));
    ASSERT_TRUE(zc_open_port_device(pty.TerminalPath().c_str()));
    pty.Send({0x41});
    EXPECT_EQ(sio_getchar(), 0x41);
    TComm second; // the first port was let go
    second.SetDeviceName("Com12");
    second.Open();
    EXPECT_TRUE(second.Enabled());
    EXPECT_FALSE(zc_open_port_device(""));
    EXPECT_FALSE(zc_open_port_device(nullptr));
}

TEST_F(ExportsOnPty, ListsTheTerminalsTheNumbersReachInComOrder) {
    PtyPort higher(40), lower(3);
    MakeEntry(8, "/dev/null");
    MakeEntry(11, "/nonexistent/device");
    MakeEntry(12, "/dev/ptmx");
    MakeEntry(13, "/dev/console");
    ASSERT_TRUE(OpenComPort(3)); // a held port is listed all the same
    const int32_t count = zc_list_ports(nullptr, 0);
    std::vector<zc_port_info> ports(size_t(count) + 1);
    ASSERT_EQ(zc_list_ports(ports.data(), int32_t(ports.size())), count);
    std::vector<std::pair<int, std::string>> listed;
    for (int32_t i = 0; i < count; ++i) {
        listed.emplace_back(ports[size_t(i)].number, ports[size_t(i)].device);
        EXPECT_EQ(ports[size_t(i)].usb_vendor, -1); // pseudo-terminals have no USB side
    }
    const std::vector<std::pair<int, std::string>> ours = {
        {3, lower.TerminalPath()}, {7, pty.TerminalPath()}, {40, higher.TerminalPath()}};
    for (const auto& port : ours)
        EXPECT_NE(std::find(listed.begin(), listed.end(), port), listed.end());
    for (const auto& [number, device] : listed)
        EXPECT_TRUE(number != 8 && number != 11 && number != 12 && number != 13) << device;
    EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end()));
    zc_port_info first{};
    EXPECT_EQ(zc_list_ports(&first, 1), count); // a short array gets the first ones
    EXPECT_EQ(first.number, ports[0].number);
}

TEST_F(ExportsOnPty, OpenIsExclusive) {
    ASSERT_TRUE(OpenComPort(7));
    TComm second;
    second.SetDeviceName("Com7");
    second.Open();
    EXPECT_FALSE(second.Enabled());
    EXPECT_EQ(second.OpenFailure(),
              "Cannot open Com7: " + pty.TerminalPath() + ": Device or resource busy (Error: 16)");
    second.SetDeviceName(pty.TerminalPath()); // by its own name: held all the same
    second.Open();
    EXPECT_FALSE(second.Enabled());
    ASSERT_TRUE(CloseComPort());
    second.Open();
    EXPECT_TRUE(second.Enabled());
    EXPECT_FALSE(OpenComPort(7)); // now the other user holds it
    second.Close();
    EXPECT_TRUE(OpenComPort(7));
}

TEST_F(ExportsOnPty, LineRateChangesWhileOpenAndPersistsAcrossOpens) {
    EXPECT_FALSE(SetBaudRate(ZC_BR9600)); // closed: kept for the next open
    ASSERT_TRUE(OpenComPort(7));
    EXPECT_EQ(pty.LineRate(), 9600u);
    EXPECT_TRUE(SetBaudRate(ZC_BR115200));
    EXPECT_EQ(pty.LineRate(), 115200u);
    EXPECT_TRUE(SetBaudRate(ZC_BR56000)); // a rate without a B constant
    EXPECT_EQ(pty.LineRate(), 56000u);
    const uint8_t byte = 0xA5;
    EXPECT_EQ(sio_write(&byte, 1), 1);
    EXPECT_EQ(pty.Receive(1), std::vector<uint8_t>{0xA5});
    ASSERT_TRUE(CloseComPort());
    ASSERT_TRUE(OpenComPort(7));
    EXPECT_EQ(pty.LineRate(), 56000u);
}

TEST_F(ExportsOnPty, ReopensManyTimesWithoutLeaking) {
    const int before = OpenDescriptors();
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(OpenComPort(7)) << "open " << i;
        if (i % 10 == 0) {
            const uint8_t byte = uint8_t(i);
            ASSERT_EQ(sio_write(&byte, 1), 1);
            ASSERT_EQ(pty.Receive(1), std::vector<uint8_t>{byte});
            pty.Send({uint8_t(~byte)});
            ASSERT_EQ(sio_getchar(), uint8_t(~byte));
        }
        ASSERT_TRUE(CloseComPort());
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

static void ZARELCOM_CALL IgnoreProgress(const char*) {}

TEST(LibraryState, VersionErrorCodeAndCallback) {
    EXPECT_EQ(DllVersion(), 247);
    EXPECT_EQ(GetCurrErrCode(), 0);
    EXPECT_EQ(CallBackMsgback(nullptr), 0);
    const zc_message_callback first = IgnoreProgress;
    EXPECT_EQ(CallBackMsgback(first), reinterpret_cast<intptr_t>(first));
    EXPECT_EQ(CallBackMsgback(nullptr), 0);
    EXPECT_EQ(ProcessLink().messageCallback, first); // null keeps the registered one
    EXPECT_EQ(GetCurrErrCode(), 0);
}
