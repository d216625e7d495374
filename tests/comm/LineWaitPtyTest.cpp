// The waits on the line of events pacing, on a real pseudo-terminal: a wait for input ends at the
// arrival that makes up its count or at its limit, and sleeps while fewer bytes wait unread.
#include <gtest/gtest.h>
#include <time.h>

#include <chrono>
#include <thread>

#include "PtyPort.h"
#include "comm/Comm.h"

namespace {
double ProcessCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}
} // namespace

class LineWaitOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        port.SetDeviceName("Com8");
        port.Open();
        ASSERT_TRUE(port.Enabled());
    }
    void TearDown() override { port.Close(); }
    PtyPort pty{8};
    TComm port;
};

TEST_F(LineWaitOnPty, InputWaitEndsAtTheArrivalThatMakesUpTheCount) {
    pty.Send({1, 2, 3});
    std::thread printer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pty.Send({4, 5});
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pty.Send({6, 7, 8});
    });
    const auto start = std::chrono::steady_clock::now();
    const int32_t queued = port.AwaitInQueCount(7, 20000);
    const auto waited = std::chrono::steady_clock::now() - start;
    printer.join();
    EXPECT_GE(queued, 7);
    EXPECT_LT(waited, std::chrono::seconds(10)) << "the wait ran to its limit";
}

TEST_F(LineWaitOnPty, InputWaitEndsAtItsLimitWithWhatCame) {
    pty.Send({1, 2});
    ASSERT_EQ(port.AwaitInQueCount(2, 20000), 2);
    EXPECT_EQ(port.AwaitInQueCount(5, 100), 2);
    EXPECT_EQ(port.OutQueCount(), 0);
    EXPECT_EQ(port.AwaitOutQueEmpty(100), 0);
    port.Close();
    EXPECT_EQ(port.AwaitInQueCount(1, 100), -1);
    EXPECT_EQ(port.AwaitOutQueEmpty(100), -1);
}

TEST_F(LineWaitOnPty, InputWaitSleepsWhileTooFewBytesWaitUnread) {
    pty.Send({1, 2, 3});
    ASSERT_EQ(port.AwaitInQueCount(3, 20000), 3);
    const double before = ProcessCpuMilliseconds();
    EXPECT_EQ(port.AwaitInQueCount(10, 500), 3);
    const double used = ProcessCpuMilliseconds() - before;
    std::printf("CPU while waiting 500 ms with 3 of 10 bytes queued: %.2f ms\n", used);
    // A wait that spun on the waiting bytes would burn the whole half second.
    EXPECT_LT(used, 50.0);
}
