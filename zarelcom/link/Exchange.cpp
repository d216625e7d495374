// Packet mode: one request frame out, one reply frame in, with the printer's pacing.
#include "link/Exchange.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include <zarelcom/zarelcom.h>

#include "comm/CommTypes.h"
#include "link/Frame.h"
#include "link/ReplyReader.h"
#include "link/Trace.h"

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
constexpr uint32_t kReadTimeoutMs = 1000; // the port's, for a read that finds nothing waiting
constexpr int kAttempts = 3;
// Up to 10 stray bytes, the STX and the two length bytes.
constexpr std::size_t kHeaderBytes = kStxProbes + 2;

// The time a reply may still take. In polled pacing the reception sleeps between looks at the
// input queue and its sleeps are the time it takes; in events pacing it waits on the line and the
// clock tells the time taken. Either way it reads only bytes that have arrived, so a printer that
// drips its bytes cannot hold the attempt open past this.
class ReplyTime {
public:
    ReplyTime(TComm &port, uint32_t ms) : port_(port), left_(ms) {}
    void Extend(uint32_t ms) { left_ += ms; }
    bool Over() const { return left_ == 0; }
    void Sleep(uint32_t ms) {
        port_.Sleep(ms);
        Spend(ms);
    }
    // Waits on the line until count bytes are queued, for at most ms of the time left; the count
    // then.
    int32_t Await(uint32_t count, uint32_t ms) {
        const uint64_t start = port_.Now();
        const int32_t queued = port_.AwaitInQueCount(count, std::min(ms, left_));
        Spend(port_.Now() - start);
        return queued;
    }

private:
    void Spend(uint64_t ms) { left_ -= static_cast<uint32_t>(std::min<uint64_t>(ms, left_)); }

    TComm &port_;
    uint32_t left_;
};

// How long count bytes take on the line at the port's current settings (start bit, data bits,
// parity bit, two stop bits at most), rounded up to whole milliseconds.
uint32_t WireMs(const TComm &port, std::size_t count) {
    const uint64_t rate = std::max<uint32_t>(BaudRateValue(port.GetBaudRate()), 1);
    const uint64_t bitsPerByte = 1 + (5 + port.GetDataBits() - da5) + (port.GetParity() != paNone) +
                                 (port.GetStopBits() == sb10 ? 1 : 2);
    return static_cast<uint32_t>((count * bitsPerByte * 1000 + rate - 1) / rate);
}

// Reads up to count bytes into the buffer as they arrive, until they are there, the line has been
// quiet for the port's read time-out, or the reply's time is over. The bytes that arrived.
std::size_t ReadWithin(Link &link, uint8_t *into, std::size_t count, ReplyTime &time) {
    std::size_t got = 0;
    uint32_t quietMs = 0;
    while (got < count) {
        int32_t queued = link.port.InQueCount();
        // On the line, all that is missing is awaited at once, not read byte by byte.
        if (link.pacing == Pacing::Events && queued == 0 && !time.Over()) {
            queued = time.Await(static_cast<uint32_t>(count - got), kReadTimeoutMs);
            if (queued == 0) break; // quiet for the read time-out, or the reply's time is over
        }
        if (queued > 0) {
            const auto wanted = std::min(static_cast<std::size_t>(queued), count - got);
            const int32_t n = link.port.Read(into + got, static_cast<uint32_t>(wanted));
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
            quietMs = 0;
        } else {
            if (queued < 0 || time.Over() || quietMs >= kReadTimeoutMs) break;
            time.Sleep(kReadPollMs);
            quietMs += kReadPollMs;
        }
    }
    return got;
}

// About 2 s for the first byte of the reply to arrive.
bool AwaitFirstByte(Link &link, ReplyTime &time) {
    if (link.pacing == Pacing::Events)
        return time.Await(1, kFirstBytePolls * kFirstBytePollMs) != 0;
    if (link.port.InQueCount() != 0) return true;
    for (int sleeps = 0; sleeps < kFirstBytePolls; ++sleeps) {
        time.Sleep(kFirstBytePollMs);
        if (link.port.InQueCount() != 0) return true;
    }
    return false;
}

// Drops up to 10 stray bytes in front of the reply's STX. In polled pacing a probe sleeps, then
// looks at the input queue, and pauses once more when it found no byte. In events pacing each
// probe waits on the line until the moment the polled probe would look, and goes on as soon as a
// byte comes: a probe finds a byte exactly when the polled one would, so the codes are the same.
bool FindStx(Link &link, ReplyReader &reader, ReplyTime &time) {
    const bool polled = link.pacing == Pacing::Polled;
    uint64_t lookAt = link.port.Now();
    for (int probe = 0; probe < kStxProbes && !time.Over(); ++probe) {
        lookAt += kStxProbeMs;
        int32_t queued = 0;
        if (polled) {
            time.Sleep(kStxProbeMs);
            queued = link.port.InQueCount();
        } else {
            const uint64_t now = link.port.Now();
            queued = time.Await(1, static_cast<uint32_t>(lookAt > now ? lookAt - now : 0));
        }
        uint8_t byte = 0;
        const bool arrived = queued > 0 && link.port.Read(&byte, 1) == 1;
        if (reader.Probe(arrived ? std::optional<uint8_t>(byte) : std::nullopt)) return true;
        if (arrived) continue;
        lookAt += kStxSilenceMs;
        if (polled) time.Sleep(kStxSilenceMs);
    }
    return false;
}

// Gives the rest of the reply time to arrive: stops once more than n bytes wait, or when the
// count has stood still on more than 10 polls.
void SettleReply(Link &link, int32_t n, ReplyTime &time) {
    int32_t previous = -1;
    int unchanged = 0;
    for (int poll = 0; poll < kSettlePolls && !time.Over(); ++poll) {
        if (poll > 0) time.Sleep(kSettlePollMs);
        const int32_t queued = link.port.InQueCount();
        if (queued > n) return;
        if (queued == previous && ++unchanged > kSettleUnchangedLimit) return;
        previous = queued;
    }
}

// A reply longer than the receive buffer is read off the line and dropped, so that none of it
// is taken for the start of the next reply.
void DiscardReply(Link &link, std::size_t count, ReplyTime &time) {
    while (count > 0) {
        const std::size_t got =
            ReadWithin(link, link.rcvBuffer, std::min(count, kRcvBufferSize), time);
        if (got == 0) return;
        count -= got;
    }
}

// Tells the printer how many bytes of its short reply arrived, in decimal digits.
void ReportShortReply(Link &link, std::size_t got) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, got).ptr;
    link.port.Write(digits, static_cast<uint32_t>(end - digits));
    TraceLineSent(link, std::string_view(digits, std::size_t(end - digits)));
}

} // namespace

// The reading, with the printer's pacing; the reader judges what came.
Reception ReceiveReply(Link &link) {
    ReplyReader reader(link);
    ReplyTime time(link.port, kReceptionMs + WireMs(link.port, kHeaderBytes));
    if (!AwaitFirstByte(link, time)) return Reception::Failed;
    if (!FindStx(link, reader, time)) return reader.NoStx();

    uint8_t length[2];
    const std::size_t rest = reader.Length(length, ReadWithin(link, length, 2, time));
    if (rest == 0) return Reception::Failed;
    time.Extend(WireMs(link.port, rest));
    if (reader.TooLong()) {
        DiscardReply(link, rest, time);
        return reader.Dropped();
    }

    // In events pacing the read below waits on the line for the body itself.
    if (link.pacing == Pacing::Polled) SettleReply(link, link.currentLength, time);
    const std::size_t got = ReadWithin(link, reader.Rest(), rest, time);
    const Reception reception = reader.Judge(got);
    if (reader.Short()) ReportShortReply(link, got);
    return reception;
}

bool ExchangePacket(Link &link, uint8_t *frame, Retries retries) {
    link.ClearQueues();
    const uint16_t n = FramePayloadLength(frame);
    link.currentLength = n;
    frame[kPayloadOffset + n] = FrameChecksum(frame, n);
    const auto frameSize = static_cast<uint32_t>(n + kFrameOverhead);
    for (link.retryCount = 0; link.retryCount < kAttempts; ++link.retryCount) {
        if (link.port.Write(frame, frameSize) != -1) {
            TraceFrameSent(link, frame, frameSize);
            const Reception reception = ReceiveReply(link);
            TraceReply(link, reception);
            if (reception == Reception::Good) return true;
            if (retries == Retries::StopOnError16 && reception == Reception::ErrorReply &&
                link.lastErrorCode == kErrorStopsRetries)
                return false;
        }
        link.ClearQueues();
    }
    return false;
}
