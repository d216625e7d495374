// Switching the printer between packet mode and terminal mode. The printer holds the mode; the
// library does not track it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include <zarelcom/zarelcom.h>

#include "link/CommandTable.h"
#include "link/Exchange.h"
#include "link/Library.h"
#include "link/Printer.h"
#include "link/Trace.h"

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kPrompt = "CMD: ";
constexpr std::string_view kCarriageReturn = "\r";
constexpr std::string_view kToPacketMode = "STX.PROTOCOL\r\0"sv;
constexpr int kPromptAttempts = 25;
constexpr int kPacketModeAttempts = 5;

// The switch must have left the computer before the first purge, which would discard it: a wait
// for the output queue to empty, no longer than the switch takes on the line.
void AwaitSent(Link &link, std::size_t count) {
    const uint64_t wireMs = (WireMicroseconds(link.port.DataControlBlock(), count) + 999) / 1000;
    link.port.AwaitOutQueEmpty(static_cast<uint32_t>(wireMs));
}

bool ToTerminalMode(Link &link) {
    const auto &toTerminal = command::ToTerminalMode;
    link.port.Write(toTerminal.data(), static_cast<uint32_t>(toTerminal.size()));
    TraceFrameSent(link, toTerminal.data(), toTerminal.size());
    AwaitSent(link, toTerminal.size());
    for (int attempt = 0; attempt < kPromptAttempts; ++attempt) {
        link.ClearQueues();
        SendRaw(link, kCarriageReturn);
        if (AwaitAnswer(link, kPrompt)) return true;
    }
    return false;
}

// Packet mode is reached when the printer goes quiet after the switch and then answers a packet.
bool ToPacketMode(Link &link) {
    for (int attempt = 0; attempt < kPacketModeAttempts; ++attempt) {
        link.ClearQueues();
        SendRaw(link, kToPacketMode);
        if (AwaitReady(link) || link.terminalStatus != 0) continue;
        if (PrintStatus(link) != -1) return true;
    }
    return false;
}

} // namespace

extern "C" {

ZARELCOM_API zc_bool ZARELCOM_CALL SetCmdProtocol(void) {
    return GuardExport<zc_bool>(false, ToTerminalMode);
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetStxProtocol(void) {
    return GuardExport<zc_bool>(false, ToPacketMode);
}

} // extern "C"
