// Packet mode: one request frame out, one reply frame in, with the printer's pacing.
#include "link/Exchange.h"

#include <algorithm>
#include <charconv>

#include <zarelcom/zarelcom.h>

#include "comm/CommTypes.h"
#include "link/Frame.h"
#include "link/Library.h"

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
constexpr uint32_t kReadPollMs = 10;
constexpr int kAttempts = 3;
// Up to 10 stray bytes, the STX and the two length bytes.
constexpr std::size_t kHeaderBytes = kStxProbes + 2;

// The time a reply may still take. In polled pacing the reception sleeps between looks at the
// input queue and its sleeps are the time it takes; in events pacing it waits on the line and the
// clock tells the time taken. Either way it reads only bytes that have arrived, so a printer that
// drips its bytes cannot hold the attempt open past this.
class ReplyTime {
public:
    explicit ReplyTime(uint32_t ms) : left_(ms) {}
    void Extend(uint32_t ms) { left_ += ms; }
    bool Over() const { return left_ == 0; }
    void Sleep(uint32_t ms) {
        LibraryPort.Sleep(ms);
        Spend(ms);
    }
    // Waits on the line until count bytes are queued, for at most ms of the time left; the count
    // then.
    int32_t Await(uint32_t count, uint32_t ms) {
        const uint64_t start = LibraryPort.Now();
        const int32_t queued = LibraryPort.AwaitInQueCount(count, std::min(ms, left_));
        Spend(LibraryPort.Now() - start);
        return queued;
    }

private:
    void Spend(uint64_t ms) { left_ -= static_cast<uint32_t>(std::min<uint64_t>(ms, left_)); }

    uint32_t left_;
};

bool Polled() { return LinkPacing == Pacing::Polled; }

// How long count bytes take on the line at the port's current settings (start bit, data bits,
// parity bit, two stop bits at most), rounded up to whole milliseconds.
uint32_t WireMs(std::size_t count) {
    const uint64_t rate = std::max<uint32_t>(BaudRateValue(LibraryPort.GetBaudRate()), 1);
    const uint64_t bitsPerByte = 1 + (5 + LibraryPort.GetDataBits() - da5) + (LibraryPort.GetParity() != paNone) +
                                 (LibraryPort.GetStopBits() == sb10 ? 1 : 2);
    return static_cast<uint32_t>((count * bitsPerByte * 1000 + rate - 1) / rate);
}

// Reads up to count bytes into the buffer as they arrive, until they are there or the reply's
// time is over. The bytes that arrived.
std::size_t ReadWithin(uint8_t *into, std::size_t count, ReplyTime &time) {
    std::size_t got = 0;
    while (got < count) {
        int32_t queued = LibraryPort.InQueCount();
        // On the line, all that is missing is awaited before it is read, not read byte by byte.
        const auto missing = static_cast<uint32_t>(count - got);
        if (!Polled() && queued >= 0 && static_cast<uint32_t>(queued) < missing && !time.Over())
            queued = time.Await(missing, UINT32_MAX);
        if (queued > 0) {
            const auto wanted = std::min(static_cast<std::size_t>(queued), count - got);
            const int32_t n = LibraryPort.Read(into + got, static_cast<uint32_t>(wanted));
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        } else {
            if (queued < 0 || time.Over()) break;
            if (Polled()) time.Sleep(kReadPollMs);
        }
    }
    return got;
}

// About 2 s for the first byte of the reply to arrive.
bool AwaitFirstByte(ReplyTime &time) {
    if (!Polled()) return time.Await(1, kFirstBytePolls * kFirstBytePollMs) != 0;
    if (LibraryPort.InQueCount() != 0) return true;
    for (int sleeps = 0; sleeps < kFirstBytePolls; ++sleeps) {
        time.Sleep(kFirstBytePollMs);
        if (LibraryPort.InQueCount() != 0) return true;
    }
    return false;
}

// Drops up to 10 stray bytes in front of the reply's STX. In polled pacing a probe that finds no
// byte waiting pauses instead of waiting on the line; in events pacing each probe waits as long
// for its byte as the pauses would.
bool FindStx(ReplyTime &time) {
    bool silent = false;
    for (int probe = 0; probe < kStxProbes && !time.Over(); ++probe) {
        if (Polled()) time.Sleep(kStxProbeMs);
        const int32_t queued = Polled() ? LibraryPort.InQueCount() : time.Await(1, kStxProbeMs + kStxSilenceMs);
        uint8_t byte = 0;
        silent = queued <= 0 || LibraryPort.Read(&byte, 1) != 1;
        if (silent) {
            if (Polled()) time.Sleep(kStxSilenceMs);
        } else if (byte == kStx) {
            return true;
        }
    }
    LastErrorCode = silent ? ZC_ERR_SILENT : ZC_ERR_NO_STX;
    return false;
}

// Gives the rest of the reply time to arrive: stops once more than n bytes wait, or when the
// count has stood still on more than 10 polls.
void SettleReply(int32_t n, ReplyTime &time) {
    int32_t previous = -1;
    int unchanged = 0;
    for (int poll = 0; poll < kSettlePolls && !time.Over(); ++poll) {
        if (poll > 0) time.Sleep(kSettlePollMs);
        const int32_t queued = LibraryPort.InQueCount();
        if (queued > n) return;
        if (queued == previous && ++unchanged > kSettleUnchangedLimit) return;
        previous = queued;
    }
}

// A reply longer than the receive buffer is read off the line and dropped, so that none of it
// is taken for the start of the next reply.
void DiscardReply(std::size_t count, ReplyTime &time) {
    while (count > 0) {
        const std::size_t got = ReadWithin(RcvBuffer, std::min(count, kRcvBufferSize), time);
        if (got == 0) return;
        count -= got;
    }
}

// Tells the printer how many bytes of its short reply arrived, in decimal digits.
void ReportShortReply(std::size_t got) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, got).ptr;
    LibraryPort.Write(digits, static_cast<uint32_t>(end - digits));
}

} // namespace

void SetPackChecksum(uint8_t *frame) {
    const auto n = static_cast<std::size_t>(CurrentLength);
    frame[kPayloadOffset + n] = FrameChecksum(frame, n);
}

Reception ReceiveReply() {
    ReplyTime time(kReceptionMs + WireMs(kHeaderBytes));
    if (!AwaitFirstByte(time)) return Reception::Failed;
    if (!FindStx(time)) return Reception::Failed;

    uint8_t length[2];
    if (ReadWithin(length, 2, time) != 2) {
        LastErrorCode = ZC_ERR_NO_LENGTH;
        return Reception::Failed;
    }
    CurrentLength = length[0] << 8 | length[1];
    const auto expected = static_cast<std::size_t>(CurrentLength) + 2; // payload, checksum, ETX
    time.Extend(WireMs(expected));
    if (expected > kRcvBufferSize) {
        LastErrorCode = ZC_ERR_NO_LENGTH;
        DiscardReply(expected, time);
        return Reception::Failed;
    }

    // In events pacing the read below waits on the line for the body itself.
    if (Polled()) SettleReply(CurrentLength, time);
    const std::size_t got = ReadWithin(RcvBuffer, expected, time);
    if (got < expected) {
        LastErrorCode = ZC_ERR_SHORT_REPLY;
        ReportShortReply(got);
        return Reception::Failed;
    }
    // A payload without a reply code, or an error reply without its number, answers nothing.
    const bool errorReply = CurrentLength >= 2 && RcvBuffer[1] == kErrorReplyCode;
    if (CurrentLength < 2 || (errorReply && CurrentLength < 3)) {
        LastErrorCode = ZC_ERR_BAD_REPLY;
        return Reception::Failed;
    }
    if (errorReply) {
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
            const Reception reception = ReceiveReply();
            if (reception == Reception::Good) return true;
            if (retries == Retries::StopOnError16 && reception == Reception::ErrorReply &&
                LastErrorCode == kErrorStopsRetries)
                return false;
        }
        ClearFiFo();
    }
    return false;
}
