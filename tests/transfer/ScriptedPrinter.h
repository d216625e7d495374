// A printer of the test's own at the far end of a pseudo-terminal (the shared PtyPort, reached as
// com<n>): it records every frame the library sends, byte for byte, and answers each with what
// the test's script returns. In terminal mode it echoes what it is typed.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "PtyPort.h"

using Bytes = std::vector<uint8_t>;

class ScriptedPrinter {
public:
    // The reply payload after the lead byte (reply code, then data), or nullopt for silence.
    using Script = std::function<std::optional<Bytes>(const Bytes &frame)>;

    enum class Mode { Packet, Terminal };

    ScriptedPrinter(int comNumber, Mode mode, Script script = {});
    ~ScriptedPrinter();

    // Every complete request frame received so far (packet mode), or every byte (terminal mode).
    std::vector<Bytes> Frames() const;
    std::string Typed() const;

private:
    void Serve();
    void HandlePacketBytes();

    PtyPort port_;
    int wake_[2] = {-1, -1};
    Mode mode_;
    Script script_;
    Bytes pending_;
    mutable std::mutex mutex_;
    std::vector<Bytes> frames_;
    std::string typed_;
    std::thread thread_;
};

// A frame as the library builds it: STX, N big-endian, payload, checksum, ETX.
Bytes Frame(const Bytes &payload);
// Bytes from "02 00 09 ..." hexadecimal text.
Bytes Hex(const std::string &text);
// "O" answer to announcements and blocks.
std::optional<Bytes> Ok();
