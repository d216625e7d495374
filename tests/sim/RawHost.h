// A bare host for the simulator's own tests: the slave side of its pseudo-terminal, raw, at a
// chosen rate, with frames built here rather than by Zarelcom.
#pragma once

#include <zarelsim/PrinterState.h>

#include <cstdint>
#include <string>

namespace zarelsim::test {

Bytes RequestFrame(const Bytes& payload); // STX, N, payload, checksum, ETX
Bytes Payload(const std::string& text);   // the bytes of a text, e.g. Payload("0B")

class RawHost {
public:
    RawHost(const std::string& path, uint32_t rate);
    ~RawHost();
    void SetRate(uint32_t rate);
    void Send(const Bytes& bytes);
    // What arrives until `count` bytes are in or nothing has come for `quietMs`.
    Bytes Receive(size_t count = SIZE_MAX, int quietMs = 500);
    // Sends a request frame and returns the reply frame.
    Bytes Exchange(const Bytes& payload);

private:
    int fd_ = -1;
};

} // namespace zarelsim::test
