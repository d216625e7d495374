// The event thread on a real pseudo-terminal: events arrive, and the thread stays asleep when
// the line is idle, when received bytes wait unread, and when the far end has hung up.
#include <gtest/gtest.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "PtyPort.h"
#include "comm/Comm.h"

namespace {
// CPU time the whole process uses while the calling thread sleeps for ms.
double CpuMillisecondsWhileSleeping(int ms) {
    timespec start{}, end{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
    return (end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6;
}

template <typename Condition>
bool WaitUntil(Condition condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

constexpr int Window = 500;
// A spinning thread burns the whole window; an idle one next to nothing. The bound only catches
// the spin (the measured figure is printed).
constexpr double SpinBound = Window * 0.1;
} // namespace

class EventThreadOnPty : public ::testing::Test {
protected:
    void SetUp() override { port.SetDeviceName("Com7"); }
    std::unique_ptr<PtyPort> pty = std::make_unique<PtyPort>(7);
    TComm port;
};

TEST_F(EventThreadOnPty, ReceivedBytesAndAnEmptyTransmitterAreReported) {
    std::atomic<uint32_t> received{0};
    std::atomic<int> txEmpty{0};
    port.OnRxChar = [&](TThreadComm&, uint32_t count) { received = count; };
    port.OnTxEmpty = [&](TThreadComm&) { ++txEmpty; };
    port.Open();
    ASSERT_TRUE(port.Enabled());
    pty->Send({1, 2, 3, 4});
    EXPECT_TRUE(WaitUntil([&] { return received.load() > 0; }));
    const uint8_t byte = 7;
    ASSERT_EQ(port.Write(&byte, 1), 1);
    EXPECT_TRUE(WaitUntil([&] { return txEmpty.load() > 0; }));
    port.Close(); // before the counters go: the handlers write to them
}

TEST_F(EventThreadOnPty, StaysAsleepIdleWithUnreadInputAndAfterHangUp) {
    std::atomic<int> dispatches{0};
    port.OnComStatEvent = [&](TThreadComm&, uint32_t, const CommStatus&) { ++dispatches; };
    port.Open();
    ASSERT_TRUE(port.Enabled());

    const double idle = CpuMillisecondsWhileSleeping(Window);
    pty->Send(std::vector<uint8_t>(200, 0x41));
    ASSERT_TRUE(WaitUntil([&] { return port.InQueCount() == 200; }));
    const int dispatchesAfterArrival = dispatches;
    const double unread = CpuMillisecondsWhileSleeping(Window);
    const int dispatchesWhileUnread = dispatches - dispatchesAfterArrival;
    pty.reset(); // the far end hangs up
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const double hungUp = CpuMillisecondsWhileSleeping(Window);
    std::printf("event thread CPU per %d ms: idle %.2f ms, 200 bytes unread %.2f ms, after hang-up "
                "%.2f ms\n",
                Window, idle, unread, hungUp);

    EXPECT_LT(idle, SpinBound);
    EXPECT_LT(unread, SpinBound);
    EXPECT_LT(hungUp, SpinBound);
    EXPECT_LE(dispatchesWhileUnread, 1); // no event for bytes that merely wait
    uint8_t buffer[8];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_GE(port.Read(buffer, 8), 0); // what was left, or nothing: but at once, no hang
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    port.Close();
    EXPECT_FALSE(port.Enabled());
}

TEST_F(EventThreadOnPty, CloseReturnsAtOnceOnASilentLine) {
    port.Open();
    ASSERT_TRUE(port.Enabled());
    const auto start = std::chrono::steady_clock::now();
    port.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(EventThreadOnPty, PseudoTerminalHasNoModemLines) {
    port.Open();
    ASSERT_TRUE(port.Enabled());
    port.SetDTRState(true); // nothing to drive: accepted, no effect
    port.SetRTSState(false);
    port.SetBREAKState(true);
    port.SetBREAKState(false);
    for (int selector = 1; selector <= 4; ++selector) EXPECT_FALSE(port.GetModemState(selector));
    EXPECT_FALSE(port.GetComState(1));
    const uint8_t byte = 0x5A;
    ASSERT_EQ(port.Write(&byte, 1), 1);
    EXPECT_EQ(pty->Receive(1), std::vector<uint8_t>{0x5A});
}
