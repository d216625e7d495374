#include "ExchangeFloor.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double FirstBytePollMs = 20, StxProbeMs = 10, SettlePollMs = 30;

// The first wait of a poll loop that starts at `from` and looks every `step` ms: the first look
// at or after `ready`.
double FirstLookAtOrAfter(double from, double step, double ready)
{
    if (ready <= from)
        return from;
    return from + std::ceil((ready - from) / step) * step;
}

} // namespace

double ExchangeFloorMs(uint32_t replyBytes, LineTiming line)
{
    const double byteMs = line.ByteMs();
    auto arrived = [&](uint32_t index) { return (index + 1) * byteMs; }; // byte index complete
    // The look right after the write finds the queue empty: the printer has not answered yet.
    double t = std::max(FirstBytePollMs, FirstLookAtOrAfter(0, FirstBytePollMs, arrived(0)));
    t += StxProbeMs;
    t = std::max(t, arrived(2));
    t = FirstLookAtOrAfter(t, SettlePollMs, arrived(replyBytes - 2));
    return std::max(t, arrived(replyBytes - 1));
}

double TransferFloorMs(uint32_t announceReplyBytes, uint32_t blocks, uint32_t blockReplyBytes, LineTiming line)
{
    return ExchangeFloorMs(announceReplyBytes, line) + blocks * ExchangeFloorMs(blockReplyBytes, line);
}
