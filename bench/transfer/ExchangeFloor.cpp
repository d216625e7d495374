#include "ExchangeFloor.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr double FirstBytePollMs = 20, StxProbeMs = 10, SettlePollMs = 30;

// A poll loop that looks at `from`, then after every sleep of `step`: the first look at or
// after `ready`.
double FirstLookAtOrAfter(double from, double step, double ready) {
    if (ready <= from) return from;
    return from + std::ceil((ready - from) / step) * step;
}

} // namespace

double MeasureSleepOverrunMs() {
    constexpr int Sleeps = 30;
    double overrun = 0;
    for (int i = 0; i < Sleeps; ++i) {
        const long ms = 10 + 10 * (i % 3);
        const timespec wanted{0, ms * 1'000'000};
        const auto start = std::chrono::steady_clock::now();
        clock_nanosleep(CLOCK_REALTIME, 0, &wanted, nullptr);
        overrun +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count() -
            ms;
    }
    return overrun / Sleeps;
}

double ExchangeFloorMs(uint32_t requestBytes, uint32_t replyBytes, LineTiming line) {
    const double byteMs = line.ByteMs(), overrun = line.sleepOverrunMs;
    auto there = [&](uint32_t index) { return (requestBytes + index) * byteMs; };
    const double firstSleep = FirstBytePollMs + overrun;
    double t = FirstLookAtOrAfter(firstSleep, firstSleep, there(0));
    t += StxProbeMs + overrun;
    t = std::max(t, there(2));
    t = FirstLookAtOrAfter(t, SettlePollMs + overrun, there(replyBytes - 2));
    return std::max(t, there(replyBytes - 1));
}

double TransferFloorMs(uint64_t lineBytes, uint32_t announceReplyBytes, uint32_t blocks,
                       uint32_t blockRequestBytes, uint32_t blockReplyBytes, LineTiming line) {
    const uint64_t blockBytes = uint64_t(blocks) * (blockRequestBytes + blockReplyBytes);
    const auto announceRequestBytes =
        static_cast<uint32_t>(lineBytes - blockBytes - announceReplyBytes);
    return ExchangeFloorMs(announceRequestBytes, announceReplyBytes, line) +
           blocks * ExchangeFloorMs(blockRequestBytes, blockReplyBytes, line);
}

double WireMs(uint64_t lineBytes, LineTiming line) { return lineBytes * line.ByteMs(); }
