// The printer's packet-mode brain: takes one request payload, does what the command asks on the
// printer's state and says how to answer. No I/O here, so it is what the fuzz target drives.
#pragma once

#include "Transfers.h"

#include <zarelsim/PrinterState.h>

#include <cstdint>
#include <optional>

namespace zarelsim {

struct Outcome {
    enum After { Nothing, ToTerminalMode, Reboot, ChangeBaud };
    bool answer = true; // false: no reply at all
    uint8_t code = 'O'; // reply code ("1": error reply, data[0] the number)
    Bytes data;
    After after = Nothing;
    bool changed = false;          // the state changed (to be saved)
    std::optional<int> logoStored; // slot of a logo whose last block just arrived
};

class Printer {
public:
    explicit Printer(PrinterState& state) : state_(state) {}

    // payload: lead byte, command byte, parameters.
    Outcome Handle(const Bytes& payload);
    Outcome Refuse(uint8_t error) const;

    // Fault: the transfer that the current request starts is dropped after `blocks` blocks.
    void HangUpAfter(uint32_t blocks) { transfers_.HangUpAfter(blocks); }
    bool TransferActive() const { return transfers_.Active(); }
    // A restart forgets any transfer under way.
    void Restart() { transfers_.Abandon(); }

    // Whether `command` starts a transfer (announcement, file request or backup).
    static bool StartsTransfer(uint8_t command);

private:
    std::optional<Outcome> Query(uint8_t command, const uint8_t* p);
    Outcome Setting(uint8_t command, const uint8_t* p, size_t n);
    Outcome Transfer(uint8_t command, const uint8_t* p, size_t n);
    Outcome Announce(uint8_t command, const uint8_t* p);
    Outcome Request(uint8_t command, const uint8_t* p);
    Outcome Block(uint8_t command, const uint8_t* p, size_t n);
    Outcome Store(IncomingItem item);
    Bytes FileFor(const std::string& name, bool& found) const;

    PrinterState& state_;
    Transfers transfers_;
};

} // namespace zarelsim
