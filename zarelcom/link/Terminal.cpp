// Terminal mode: command lines typed as a person at a terminal would, and the characters that come
// back watched for an echo, a prompt or the readiness character.
#include <algorithm>
#include <limits>

#include <zarelcom/zarelcom.h>

#include "link/Exchange.h"
#include "link/Trace.h"

namespace {

constexpr uint32_t kOutputDrainPollMs = 10;
constexpr uint32_t kAnswerPollMs = 100;
constexpr int kAnswerPolls = 39;
constexpr std::size_t kAnswerSettleMargin = 30;
constexpr uint32_t kCommandRetryPauseMs = 2000;
constexpr int kCommandAttempts = 3;
constexpr std::size_t kReadyMinimum = 8;
constexpr int kReadyProbes = 11;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kNak = 0x15;
constexpr uint8_t kReady = 'C';

// The count of the input queue after ms: slept in polled pacing; in events pacing waited on the
// line, and sooner once more than `enough` bytes are queued.
int32_t CountAfter(Link &link, uint32_t ms, int32_t enough) {
    if (link.pacing == Pacing::Events)
        return link.port.AwaitInQueCount(static_cast<uint32_t>(enough) + 1, ms);
    link.port.Sleep(ms);
    return link.port.InQueCount();
}

// Counts the input queue 100 ms apart until two successive counts agree, or the count passes
// `enough`. A printer that keeps sending holds this no longer than the wait for its answer.
int32_t SettleInput(Link &link, int32_t queued, int32_t enough) {
    int32_t previous;
    int poll = 0;
    do {
        previous = queued;
        queued = CountAfter(link, kAnswerPollMs, enough);
    } while (queued != previous && queued <= enough && ++poll < kAnswerPolls);
    return queued;
}

// Waits until the port has sent everything written, without limit; a closed port reports -1:
// nothing left to send.
void AwaitOutputSent(Link &link) {
    while (link.port.OutQueCount() > 0) {
        if (link.pacing == Pacing::Polled)
            link.port.Sleep(kOutputDrainPollMs);
        else
            link.port.AwaitOutQueEmpty(kCommandRetryPauseMs);
    }
}

bool HoldsAnswer(std::string_view answer, std::string_view probe) {
    return (!probe.empty() && answer.find(probe) != std::string_view::npos) ||
           answer.find(static_cast<char>(kAck)) != std::string_view::npos ||
           answer.find(static_cast<char>(kNak)) != std::string_view::npos;
}

} // namespace

bool AwaitAnswer(Link &link, std::string_view expected) {
    AwaitOutputSent(link);
    int32_t queued = CountAfter(link, kAnswerPollMs, 0);
    for (int poll = 0; queued == 0 && poll < kAnswerPolls; ++poll)
        queued = CountAfter(link, kAnswerPollMs, 0);
    if (queued <= 0) return false;

    queued = SettleInput(link, queued, static_cast<int32_t>(expected.size() + kAnswerSettleMargin));
    if (queued < static_cast<int32_t>(expected.size())) return false;

    const auto wanted = std::min(static_cast<std::size_t>(queued), kRcvBufferSize);
    const int32_t got = link.port.Read(link.rcvBuffer, static_cast<uint32_t>(wanted));
    if (got <= 0) return false;
    const std::string_view answer(reinterpret_cast<const char *>(link.rcvBuffer),
                                  static_cast<std::size_t>(got));
    TraceLineReceived(link, answer);
    const std::string_view probe =
        expected.substr(0, expected.size() - std::min<std::size_t>(expected.size(), 2));
    return HoldsAnswer(answer, probe);
}

bool AwaitReady(Link &link) {
    int32_t queued = CountAfter(link, kAnswerPollMs, 0);
    if (queued <= 0) {
        link.terminalStatus = 0;
        return false;
    }
    queued = SettleInput(link, queued, std::numeric_limits<int32_t>::max());
    if (queued < static_cast<int32_t>(kReadyMinimum)) {
        link.terminalStatus = 1;
        return false;
    }
    if (queued > static_cast<int32_t>(kReadyMinimum)) link.port.PurgeIn();
    for (int probe = 0; probe < kReadyProbes; ++probe) {
        if (link.port.Read(&link.rcvBuffer[probe], 1) == 1 && link.rcvBuffer[probe] == kReady) {
            TraceLineReceived(link, std::string_view(reinterpret_cast<const char *>(link.rcvBuffer),
                                                     std::size_t(probe) + 1));
            return true;
        }
    }
    link.terminalStatus = 2;
    return false;
}

bool SendCommandLine(Link &link, std::string_view line) {
    for (int attempt = 0; attempt < kCommandAttempts; ++attempt) {
        link.ClearQueues();
        link.port.Write(line.data(), static_cast<uint32_t>(line.size()));
        TraceLineSent(link, line);
        if (AwaitAnswer(link, line)) return true;
        link.port.Sleep(kCommandRetryPauseMs);
    }
    return false;
}

bool SendRaw(Link &link, std::string_view bytes) {
    TraceLineSent(link, bytes);
    return link.port.Write(bytes.data(), static_cast<uint32_t>(bytes.size())) ==
           static_cast<int32_t>(bytes.size());
}
