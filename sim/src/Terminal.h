// The printer's terminal mode: it echoes what is typed, answers a carriage return with the prompt
// "CMD: " and leaves for packet mode on "STX.PROTOCOL" and a carriage return, silently, as the host
// expects. The echo of a line is held back while the line could still become "STX.PROTOCOL".
#pragma once

#include <zarelsim/PrinterState.h>

#include <cstddef>
#include <string>
#include <vector>

namespace zarelsim {

class Terminal {
public:
    struct Output {
        Bytes toHost;
        bool toPacketMode = false;
        std::vector<std::string> announcements; // SEND.LOGO, SEND.DOS, ... lines completed
    };

    // Takes bytes until the switch to packet mode (the rest belongs to packet mode); returns how
    // many it took.
    size_t Feed(const uint8_t* data, size_t count, Output& out);
    void Reset();

private:
    void Echo(Output& out, const std::string& text);
    void EndLine(Output& out);

    std::string line_;
    size_t echoed_ = 0;     // characters of line_ already echoed
    bool inPacket_ = false; // swallowing a packet sent while in terminal mode
};

constexpr char kPrompt[] = "CMD: ";
constexpr char kToPacketMode[] = "STX.PROTOCOL";

} // namespace zarelsim
