// The least time a transfer can take: the wire time of the printer's replies plus the sleeps the
// exchange must make while it waits for them, worked out step by step as the exchange runs.
#pragma once

#include <cstdint>

struct LineTiming {
    // Line rate in bit/s, 0 for a line without pacing (replies arrive at once).
    uint32_t baud = 0;
    // How much longer than asked a 10 to 30 ms sleep lasts on this machine (the timer's
    // granularity and wake-up): the mandated sleeps as the platform performs them.
    double sleepOverrunMs = 0;

    // Time of a byte on the wire (10 bits: start, 8 data, stop) in ms.
    double ByteMs() const { return baud == 0 ? 0.0 : 10000.0 / baud; }
};

// Measures LineTiming::sleepOverrunMs here and now.
double MeasureSleepOverrunMs();

// One exchange of a request of requestBytes answered by a reply of replyBytes (whole frames, STX
// to ETX), timed from the request's write, both on the wire at the line rate:
//   - the queue is looked at at once (the printer cannot have answered yet), then after every
//     20 ms sleep until the first byte is there;
//   - a 10 ms sleep before the STX is read; the two length bytes are read as they come;
//   - the settle looks at once, then after every 30 ms sleep, until all but the last byte wait;
//   - the rest is read as it comes.
// Reply byte i is there i byte times after the whole request (the simulator's pacing); the
// printer's reaction time is not counted.
double ExchangeFloorMs(uint32_t requestBytes, uint32_t replyBytes, LineTiming line);

// The floor of a whole transfer of lineBytes both ways: the announcement or request (answered
// with announceReplyBytes; its own request is what the blocks leave of lineBytes), then blocks
// exchanges of blockRequestBytes answered with blockReplyBytes each.
double TransferFloorMs(uint64_t lineBytes, uint32_t announceReplyBytes, uint32_t blocks,
                       uint32_t blockRequestBytes, uint32_t blockReplyBytes, LineTiming line);

// The time lineBytes take on the wire (10 bits a byte), in ms; 0 on a line without pacing.
double WireMs(uint64_t lineBytes, LineTiming line);
