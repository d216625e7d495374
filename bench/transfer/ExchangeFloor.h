// The least time a transfer can take: the wire time of the printer's replies plus the sleeps the
// exchange must make while it waits for them, worked out step by step as the exchange runs.
#pragma once

#include <cstdint>

// Line rate in bit/s, 0 for a line without pacing (replies arrive at once).
struct LineTiming {
    uint32_t baud = 0;
    // Time of a byte on the wire (10 bits: start, 8 data, stop) in ms.
    double ByteMs() const { return baud == 0 ? 0.0 : 10000.0 / baud; }
};

// One exchange answered by a reply of replyBytes (the whole frame, STX to ETX), timed from the
// request's write:
//   - the queue is looked at at once, then every 20 ms until the first byte is there;
//   - 10 ms before the STX is read; the two length bytes are read as they come;
//   - the settle looks at once, then every 30 ms, until all but the last byte are queued;
//   - the rest is read as it comes.
// A reply byte counts from when its last bit is on the line; the printer's own reaction time is
// not counted (the simulator answers within a fraction of a millisecond).
double ExchangeFloorMs(uint32_t replyBytes, LineTiming line);

// The floor of a whole transfer: the announcement or request (reply of announceReplyBytes),
// then blocks exchanges answered with blockReplyBytes each.
double TransferFloorMs(uint32_t announceReplyBytes, uint32_t blocks, uint32_t blockReplyBytes, LineTiming line);
