// The port under concurrent load, for ThreadSanitizer (tsan preset): thousands of opens and
// closes, each starting and stopping the event thread, while another thread reads and the far
// end keeps sending.
#include <gtest/gtest.h>

#include <zarelcom/zarelcom.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "PtyPort.h"

namespace {

constexpr int kPortNumber = 14;
constexpr int kOpens = 2000;
constexpr int kReadWindowEvery = 250;

TEST(Stress, OpenAndCloseThousandsOfTimesWhileBytesArriveAndAnotherThreadReads) {
    PtyPort far(kPortNumber);
    std::atomic<bool> done{false};
    std::thread sender([&] {
        const std::vector<uint8_t> burst(64, 0x5A);
        while (!done) {
            far.Send(burst);
            far.Drain(1); // whatever the host wrote
        }
    });
    std::atomic<long> bytesRead{0};
    std::atomic<int> closedReads{0};
    std::thread reader([&] {
        uint8_t buffer[32];
        while (!done) {
            const int32_t got = sio_read(buffer, sizeof buffer);
            if (got > 0) bytesRead += got;
            if (got < 0) ++closedReads, std::this_thread::yield();
        }
    });
    int opened = 0, closed = 0;
    for (int i = 0; i < kOpens; ++i) {
        opened += OpenComPort(kPortNumber) ? 1 : 0;
        sio_inque();
        if (i % kReadWindowEvery == 0) {
            // An open that lasts until the reader has read (at most 5 s, a bound against a hang):
            // on a loaded machine the reader may otherwise never be scheduled while the port is open.
            const long before = bytesRead;
            for (int look = 0; look < 500 && bytesRead == before; ++look)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        closed += CloseComPort() ? 1 : 0;
    }
    done = true;
    reader.join();
    sender.join();
    EXPECT_EQ(opened, kOpens);
    EXPECT_EQ(closed, kOpens);
    EXPECT_GT(bytesRead.load(), 0) << "the reading thread never got a byte while the port was open";
    EXPECT_EQ(sio_read(nullptr, 0), -1); // closed at the end
    std::printf(
        "%d opens and closes; %ld bytes read between them; %d reads found the port closed\n",
        kOpens, bytesRead.load(), closedReads.load());
}

} // namespace
