// Packet mode: one request frame out, one reply frame in, with the printer's pacing.
#include "link/Exchange.h"

#include <algorithm>
#include <charconv>

#include <zarelcom/zarelcom.h>

#include "link/Frame.h"
#include "link/Library.h"
#include "link/Trace.h"

uint8_t RcvBuffer[kRcvBufferSize];
int32_t CurrentLength = 0;
int32_t RetryCount = 0;
int32_t TerminalStatus = 0;

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
std::size_t ReadUpTo(uint8_t *into, std::size_t count) {
    std::size_t got = 0;
    while (got < count) {
        const int32_t n = LibraryPort.Read(into + got, static_cast<uint32_t>(count - got));
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

// About 2 s for the first byte of the reply to arrive.
bool AwaitFirstByte() {
    if (LibraryPort.InQueCount() != 0) return true;
    for (int sleeps = 0; sleeps < kFirstBytePolls; ++sleeps) {
        LibraryPort.Sleep(kFirstBytePollMs);
        if (LibraryPort.InQueCount() != 0) return true;
    }
    return false;
}

// Drops up to 10 stray bytes in front of the reply's STX.
bool FindStx() {
    for (int probe = 1; probe <= kStxProbes; ++probe) {
        LibraryPort.Sleep(kStxProbeMs);
        uint8_t byte = 0;
        if (LibraryPort.Read(&byte, 1) == 1) {
            if (byte == kStx) return true;
            continue;
        }
        LibraryPort.Sleep(kStxSilenceMs);
        if (probe == kStxProbes) {
            LastErrorCode = kErrorSilentAfterStart;
            return false;
        }
    }
    LastErrorCode = kErrorNoStx;
    return false;
}

// Gives the rest of the reply time to arrive: stops once more than n bytes wait, or when the
// count has stood still on more than 10 polls.
void SettleReply(int32_t n) {
    int32_t previous = -1;
    int unchanged = 0;
    for (int poll = 0; poll < kSettlePolls; ++poll) {
        if (poll > 0) LibraryPort.Sleep(kSettlePollMs);
        const int32_t queued = LibraryPort.InQueCount();
        if (queued > n) return;
        if (queued == previous && ++unchanged > kSettleUnchangedLimit) return;
        previous = queued;
    }
}

// A reply longer than the receive buffer is read off the line and dropped, so that none of it
// is taken for the start of the next reply.
void DiscardReply(std::size_t count) {
    while (count > 0) {
        const std::size_t got = ReadUpTo(RcvBuffer, std::min(count, kRcvBufferSize));
        if (got == 0) return;
        count -= got;
    }
}

// Tells the printer how many bytes of its short reply arrived, in decimal digits.
void ReportShortReply(std::size_t got) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, got).ptr;
    LibraryPort.Write(digits, static_cast<uint32_t>(end - digits));
    TraceLineSent(std::string_view(digits, std::size_t(end - digits)));
}

} // namespace

void SetPackChecksum(uint8_t *frame) {
    const auto n = static_cast<std::size_t>(CurrentLength);
    frame[kPayloadOffset + n] = FrameChecksum(frame, n);
}

Reception ReceiveReply() {
    if (!AwaitFirstByte()) return Reception::Failed;
    if (!FindStx()) return Reception::Failed;

    uint8_t length[2];
    if (ReadUpTo(length, 2) != 2) {
        LastErrorCode = kErrorNoLength;
        return Reception::Failed;
    }
    CurrentLength = length[0] << 8 | length[1];
    const auto expected = static_cast<std::size_t>(CurrentLength) + 2; // payload, checksum, ETX
    if (expected > kRcvBufferSize) {
        LastErrorCode = kErrorNoLength;
        DiscardReply(expected);
        return Reception::Failed;
    }

    SettleReply(CurrentLength);
    const std::size_t got = ReadUpTo(RcvBuffer, expected);
    if (got < expected) {
        LastErrorCode = kErrorShortReply;
        ReportShortReply(got);
        return Reception::Failed;
    }
    // An empty payload carries no reply code (byte 1 is its ETX).
    if (CurrentLength >= 1 && RcvBuffer[1] == kErrorReplyCode) {
        LastErrorCode = RcvBuffer[2];
        return Reception::ErrorReply;
    }
    return Reception::Good;
}

bool ExchangePacket(uint8_t *frame, Retries retries) {
    ClearFiFo();
    CurrentLength = FramePayloadLength(frame);
    const auto frameSize = static_cast<uint32_t>(CurrentLength) + kFrameOverhead;
    SetPackChecksum(frame);
    for (RetryCount = 0; RetryCount < kAttempts; ++RetryCount) {
        if (LibraryPort.Write(frame, frameSize) != -1) {
            TraceFrameSent(frame, frameSize);
            const Reception reception = ReceiveReply();
            TraceReply(reception, RcvBuffer, CurrentLength, LastErrorCode);
            if (reception == Reception::Good) return true;
            if (retries == Retries::StopOnError16 && reception == Reception::ErrorReply &&
                LastErrorCode == kErrorStopsRetries)
                return false;
        }
        ClearFiFo();
    }
    return false;
}
