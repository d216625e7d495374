// What the bytes of a reply are, judged as they arrive. The exchange reads the line with the
// printer's pacing and hands every piece here; the reader decides what each piece means, and so
// what the reply was and which error code it leaves. It holds no port and no clock: tests and the
// fuzz target drive it with any bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "link/Link.h"

enum class Reception { Good, ErrorReply, Failed };

class ReplyReader {
public:
    // The reply lands in the link's receive buffer; its length and error code are the link's.
    explicit ReplyReader(Link &link) : link_(link) {}

    // One look for the STX among the first bytes: the byte read, or nullopt when none was
    // waiting. True when it was the STX.
    bool Probe(std::optional<uint8_t> byte);
    // The looking ended without an STX: silent line or only other bytes.
    Reception NoStx();

    // The length bytes as far as they came. The number of bytes the rest of the reply holds
    // (payload, checksum, ETX), or 0 when the length could not be read.
    std::size_t Length(const uint8_t *bytes, std::size_t got);
    // A reply longer than the receive buffer: the exchange reads it off the line and drops it.
    bool TooLong() const { return rest_ > kRcvBufferSize; }
    Reception Dropped();

    // Where the rest of the reply goes: the receive buffer.
    uint8_t *Rest() { return link_.rcvBuffer; }
    // got bytes of the rest arrived: what the reply was.
    Reception Judge(std::size_t got);
    // After Judge: fewer bytes came than the length promised, and the printer is to be told how
    // many did.
    bool Short() const { return short_; }

private:
    Link &link_;
    bool silent_ = false;
    std::size_t rest_ = 0;
    bool short_ = false;
};
