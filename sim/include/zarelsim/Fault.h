// Line and printer faults the simulator can be told to produce, for all commands or for given
// ones, always or every k-th time. Chosen with --fault on the command line or
// Simulator::AddFault() in tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zarelsim {

enum class FaultKind {
    StrayBytes,     // value: how many 0xFF bytes come before the reply's STX (default 3)
    TruncatedReply, // value: how many bytes of the reply frame are sent (default: half of it)
    ErrorReply, // value: the error number of an error reply sent instead; the command is not done (default 7)
    Silence,        // the command is done, the reply is never sent
    WrongReplyCode, // value: the reply code sent instead of the right one (default '?')
    Delay,          // value: milliseconds before the reply (default 500)
    HangUp,         // value: blocks answered before the printer drops the transfer (default 1)
    SlowDrip,       // value: milliseconds between the reply's bytes (default 5)
};

struct Fault {
    FaultKind kind = FaultKind::Silence;
    std::optional<uint32_t> value; // none: the kind's default
    std::vector<uint8_t> commands; // command bytes it applies to; empty: every command
    uint32_t every = 1;            // fires on every k-th matching command (1: always)
};

// Reads a fault written as KIND[:VALUE][@CMD,CMD...][/EVERY], for example "error:16@B",
// "silence@M/3", "stray:11", "delay:300@0x7C", "hangup:2". KIND is one of stray, truncate, error,
// silence, wrongcode, delay, hangup, drip; a CMD is one character or 0xHH. Throws
// std::invalid_argument with a message that names what is wrong.
Fault ParseFault(const std::string& text);

// The same fault written back in that form.
std::string DescribeFault(const Fault& fault);

} // namespace zarelsim
