// Packet mode: one request frame out, one reply frame in, with the printer's pacing.
#include "link/Exchange.h"

#include <algorithm>
#include <charconv>

#include <zarelcom/zarelcom.h>

#include "link/Frame.h"

namespace {

constexpr uint32_t kFirstBytePollMs = 20;
constexpr int kFirstBytePolls = 101;
constexpr uint32_t kStxProbeMs = 10;
constexpr uint32_t kStxSilenceMs = 100;
constexpr int kStxProbes = 11;
constexpr uint32_t kSettlePollMs = 30;
constexpr int kSettlePolls = 29;
constexpr int kSettleUnchangedLimit = 10;
constexpr int kAttempts = 3;

// Reads up to count bytes into the buffer, read after read, until they are there or a read brings
// nothing within the port's read time-out. The bytes that arrived.
std::size_t ReadUpTo(Link &link, uint8_t *into, std::size_t count) {
    std::size_t got = 0;
    while (got < count) {
        const int32_t n = link.port.Read(into + got, static_cast<uint32_t>(count - got));
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

// About 2 s for the first byte of the reply to arrive.
bool AwaitFirstByte(Link &link) {
    if (link.port.InQueCount() != 0) return true;
    for (int sleeps = 0; sleeps < kFirstBytePolls; ++sleeps) {
        link.port.Sleep(kFirstBytePollMs);
        if (link.port.InQueCount() != 0) return true;
    }
    return false;
}

// Drops up to 10 stray bytes in front of the reply's STX.
bool FindStx(Link &link) {
    for (int probe = 1; probe <= kStxProbes; ++probe) {
        link.port.Sleep(kStxProbeMs);
        uint8_t byte = 0;
        if (link.port.Read(&byte, 1) == 1) {
            if (byte == kStx) return true;
            continue;
        }
        link.port.Sleep(kStxSilenceMs);
        if (probe == kStxProbes) {
            link.lastErrorCode = kErrorSilentAfterStart;
            return false;
        }
    }
    link.lastErrorCode = kErrorNoStx;
    return false;
}

// Gives the rest of the reply time to arrive: stops once more than n bytes wait, or when the
// count has stood still on more than 10 polls.
void SettleReply(Link &link, int32_t n) {
    int32_t previous = -1;
    int unchanged = 0;
    for (int poll = 0; poll < kSettlePolls; ++poll) {
        if (poll > 0) link.port.Sleep(kSettlePollMs);
        const int32_t queued = link.port.InQueCount();
        if (queued > n) return;
        if (queued == previous && ++unchanged > kSettleUnchangedLimit) return;
        previous = queued;
    }
}

// A reply longer than the receive buffer is read off the line and dropped, so that none of it
// is taken for the start of the next reply.
void DiscardReply(Link &link, std::size_t count) {
    while (count > 0) {
        const std::size_t got = ReadUpTo(link, link.rcvBuffer, std::min(count, kRcvBufferSize));
        if (got == 0) return;
        count -= got;
    }
}

// Tells the printer how many bytes of its short reply arrived, in decimal digits.
void ReportShortReply(Link &link, std::size_t got) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, got).ptr;
    link.port.Write(digits, static_cast<uint32_t>(end - digits));
}

} // namespace

Reception ReceiveReply(Link &link) {
    if (!AwaitFirstByte(link)) return Reception::Failed;
    if (!FindStx(link)) return Reception::Failed;

    uint8_t length[2];
    if (ReadUpTo(link, length, 2) != 2) {
        link.lastErrorCode = kErrorNoLength;
        return Reception::Failed;
    }
    link.currentLength = length[0] << 8 | length[1];
    const auto expected = static_cast<std::size_t>(link.currentLength) + 2; // payload, checksum, ETX
    if (expected > kRcvBufferSize) {
        link.lastErrorCode = kErrorNoLength;
        DiscardReply(link, expected);
        return Reception::Failed;
    }

    SettleReply(link, link.currentLength);
    const std::size_t got = ReadUpTo(link, link.rcvBuffer, expected);
    if (got < expected) {
        link.lastErrorCode = kErrorShortReply;
        ReportShortReply(link, got);
        return Reception::Failed;
    }
    // An empty payload carries no reply code (byte 1 is its ETX).
    if (link.currentLength >= 1 && link.rcvBuffer[1] == kErrorReplyCode) {
        link.lastErrorCode = link.rcvBuffer[2];
        return Reception::ErrorReply;
    }
    return Reception::Good;
}

bool ExchangePacket(Link &link, uint8_t *frame, Retries retries) {
    link.ClearQueues();
    const uint16_t n = FramePayloadLength(frame);
    link.currentLength = n;
    frame[kPayloadOffset + n] = FrameChecksum(frame, n);
    const auto frameSize = static_cast<uint32_t>(n + kFrameOverhead);
    for (link.retryCount = 0; link.retryCount < kAttempts; ++link.retryCount) {
        if (link.port.Write(frame, frameSize) != -1) {
            const Reception reception = ReceiveReply(link);
            if (reception == Reception::Good) return true;
            if (retries == Retries::StopOnError16 && reception == Reception::ErrorReply &&
                link.lastErrorCode == kErrorStopsRetries)
                return false;
        }
        link.ClearQueues();
    }
    return false;
}
