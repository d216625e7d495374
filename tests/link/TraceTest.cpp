// The wire trace of several links in one process: every line names its own link's port and
// request, even when another link's exchange runs between a request and its reply.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "LinkTest.h"
#include "link/Printer.h"
#include "link/Trace.h"

namespace {

const std::string kTracePath = (std::filesystem::temp_directory_path() /
                                ("zarelcom-trace-test-" + std::to_string(getpid()) + ".log"))
                                   .string();

// Set before the process's first exchange, which reads it.
bool SetTraceVariable() {
#ifdef _WIN32
    return _putenv_s("ZARELCOM_TRACE", kTracePath.c_str()) == 0;
#else
    return setenv("ZARELCOM_TRACE", kTracePath.c_str(), 1) == 0;
#endif
}
const bool traced = SetTraceVariable();

// A line whose first pause runs a given action: another link's exchange while this one's reply
// is awaited.
class LineThatInterleaves : public VirtualPlatform {
public:
    std::function<void()> atFirstPause;
    void Sleep(uint32_t ms) override {
        if (auto action = std::exchange(atFirstPause, nullptr)) action();
        VirtualPlatform::Sleep(ms);
    }
};

TEST(Trace, EachLineNamesItsOwnLinksPortAndRequest) {
    ASSERT_TRUE(traced);
    LineThatInterleaves first;
    VirtualPlatform second;
    first.AddDevice("Com1");
    second.AddDevice("Com2");
    Link a, b;
    a.port.UsePlatform(first);
    b.port.UsePlatform(second);
    ASSERT_TRUE(OpenPort(a, 1));
    ASSERT_TRUE(OpenPort(b, 2));
    second.SetPeer([](VirtualPlatform &line, const Bytes &, uint64_t) {
        line.Arrive(ReplyFrame('B', Bytes(20, 0x11)), 1);
    });
    first.SetPeer([](VirtualPlatform &line, const Bytes &, uint64_t) {
        line.Arrive(ReplyFrame('E', {0}), 30);
    });
    first.atFirstPause = [&] {
        SystemInfo info;
        EXPECT_TRUE(GetSystemInfo(b, info));
    };
    EXPECT_EQ(PrintStatus(a), 0);
    a.port.Close();
    b.port.Close();

    std::ifstream log(kTracePath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    std::remove(kTracePath.c_str());
    const char *expected[] = {"Com1 sent     GetPrintStatus ", "Com2 sent     GetSysInfo ",
                              "Com2 received GetSysInfo reply ",
                              "Com1 received GetPrintStatus reply "};
    ASSERT_EQ(lines.size(), std::size(expected));
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_NE(lines[i].find(expected[i]), std::string::npos) << lines[i];
}

// 2040-07-01 12:00:00.123 UTC, past the end of a 32-bit time_t: in any time zone a day of
// 2040-06-30 to 2040-07-02, the seconds and milliseconds as they were.
TEST(Trace, TimeStampsGoOnPast2038) {
    const std::string stamp = TraceTimestamp(int64_t(2224756800) * 1000 + 123);
    ASSERT_EQ(stamp.size(), 23u) << stamp;
    EXPECT_TRUE(stamp.rfind("2040-07-0", 0) == 0 || stamp.rfind("2040-06-30", 0) == 0) << stamp;
    EXPECT_EQ(stamp.substr(16), ":00.123") << stamp;
}

} // namespace
