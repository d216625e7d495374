// The printer's side of the packet frame: STX, big-endian payload length N, N payload bytes, the
// checksum (low 8 bits of the sum of the length bytes and the payload), ETX.
#pragma once

#include <zarelsim/PrinterState.h>

#include <cstddef>
#include <cstdint>

namespace zarelsim {

constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEtx = 0x03;
constexpr uint8_t kLeadByte = '0';
constexpr uint8_t kErrorCode = '1';
constexpr size_t kMaxRequestPayload = 1024; // a data block needs 516

// Error numbers the printer answers a faulty request with (reply code "1").
enum PrinterError : uint8_t {
    kBadChecksum = 1,
    kMissingEtx = 2,
    kBadLength = 3,       // N below 2 or above kMaxRequestPayload
    kBadParameters = 4,   // N does not fit the command
    kOutOfRange = 5,      // a value the printer does not accept
    kOutOfSequence = 6,   // block number not the next (nor the last) one
    kBadComplement = 7,   // block number's complement wrong
    kNoTransfer = 8,      // block without an announcement or request before it
    kNotFound = 9,        // no such file, logo or message
    kNoRoom = 10,         // not enough free space
    kUnknownCommand = 16, // retrying cannot help: the host stops at once
};

uint8_t Checksum(const uint8_t* lengthAndPayload, size_t count);

// The frame of a reply: lead byte, reply code, data.
Bytes BuildReply(uint8_t code, const Bytes& data);
Bytes BuildErrorReply(uint8_t number);

// Cuts a byte stream into request frames. Bytes before an STX are skipped and counted.
class FrameReader {
public:
    struct Result {
        enum Kind { None, Frame, BadFrame } kind = None;
        Bytes payload;     // Frame: lead byte, command byte, parameters
        uint8_t error = 0; // BadFrame: the error number to answer with
    };

    // Takes bytes from data until one frame (good or bad) is complete; returns how many it took.
    size_t Feed(const uint8_t* data, size_t count, Result& result);
    bool InFrame() const { return state_ != Hunting; }
    void Reset();
    uint64_t SkippedBytes() const { return skipped_; }

private:
    enum State { Hunting, Length, Body } state_ = Hunting;
    Bytes frame_;       // from the first length byte on
    size_t needed_ = 0; // bytes still missing in this state
    uint64_t skipped_ = 0;
};

} // namespace zarelsim
