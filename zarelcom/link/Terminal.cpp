// Terminal mode: command lines typed as a person at a terminal would, and the characters that come
// back watched for an echo, a prompt or the readiness character.
#include <algorithm>
#include <limits>

#include <zarelcom/zarelcom.h>

#include "link/Exchange.h"
#include "link/Library.h"

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

bool Polled() { return LinkPacing == Pacing::Polled; }

// The count of the input queue after ms: slept in polled pacing; in events pacing waited on the
// line, and sooner once more than `enough` bytes are queued.
int32_t CountAfter(uint32_t ms, int32_t enough) {
    if (!Polled()) return LibraryPort.AwaitInQueCount(static_cast<uint32_t>(enough) + 1, ms);
    LibraryPort.Sleep(ms);
    return LibraryPort.InQueCount();
}

// Counts the input queue 100 ms apart until two successive counts agree, or the count passes
// `enough`. A printer that keeps sending holds this no longer than the wait for its answer.
int32_t SettleInput(int32_t queued, int32_t enough) {
    int32_t previous;
    int poll = 0;
    do {
        previous = queued;
        queued = CountAfter(kAnswerPollMs, enough);
    } while (queued != previous && queued <= enough && ++poll < kAnswerPolls);
    return queued;
}

// Waits until the port has sent everything written, without limit; a closed port has nothing
// left to send.
void AwaitOutputSent() {
    while (LibraryPort.OutQueCount() > 0) {
        if (Polled())
            LibraryPort.Sleep(kOutputDrainPollMs);
        else
            LibraryPort.AwaitOutQueEmpty(kCommandRetryPauseMs);
    }
}

bool HoldsAnswer(std::string_view answer, std::string_view probe) {
    return (!probe.empty() && answer.find(probe) != std::string_view::npos) ||
           answer.find(static_cast<char>(kAck)) != std::string_view::npos ||
           answer.find(static_cast<char>(kNak)) != std::string_view::npos;
}

} // namespace

bool AwaitAnswer(std::string_view expected) {
    AwaitOutputSent();
    int32_t queued = CountAfter(kAnswerPollMs, 0);
    for (int poll = 0; queued == 0 && poll < kAnswerPolls; ++poll) queued = CountAfter(kAnswerPollMs, 0);
    if (queued <= 0) return false;

    queued = SettleInput(queued, static_cast<int32_t>(expected.size() + kAnswerSettleMargin));
    if (queued < static_cast<int32_t>(expected.size())) return false;

    const auto wanted = std::min(static_cast<std::size_t>(queued), kRcvBufferSize);
    const int32_t got = LibraryPort.Read(RcvBuffer, static_cast<uint32_t>(wanted));
    if (got <= 0) return false;
    const std::string_view answer(reinterpret_cast<const char *>(RcvBuffer), static_cast<std::size_t>(got));
    const std::string_view probe = expected.substr(0, expected.size() - std::min<std::size_t>(expected.size(), 2));
    return HoldsAnswer(answer, probe);
}

bool AwaitReady() {
    int32_t queued = CountAfter(kAnswerPollMs, 0);
    if (queued <= 0) {
        TerminalStatus = 0;
        return false;
    }
    queued = SettleInput(queued, std::numeric_limits<int32_t>::max());
    if (queued < static_cast<int32_t>(kReadyMinimum)) {
        TerminalStatus = 1;
        return false;
    }
    if (queued > static_cast<int32_t>(kReadyMinimum)) LibraryPort.PurgeIn();
    for (int probe = 0; probe < kReadyProbes; ++probe) {
        if (LibraryPort.Read(&RcvBuffer[probe], 1) == 1 && RcvBuffer[probe] == kReady) return true;
    }
    TerminalStatus = 2;
    return false;
}

bool SendCommandLine(std::string_view line) {
    for (int attempt = 0; attempt < kCommandAttempts; ++attempt) {
        ClearFiFo();
        LibraryPort.Write(line.data(), static_cast<uint32_t>(line.size()));
        if (AwaitAnswer(line)) return true;
        LibraryPort.Sleep(kCommandRetryPauseMs);
    }
    return false;
}

bool SendRaw(std::string_view bytes) {
    return LibraryPort.Write(bytes.data(), static_cast<uint32_t>(bytes.size())) ==
           static_cast<int32_t>(bytes.size());
}
