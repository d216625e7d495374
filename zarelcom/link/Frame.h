// The packet frame of the printer's packet mode: STX, payload length N (big-endian), the payload
// ("0", command byte, parameters), checksum, ETX. Requests are made from constant command
// templates, copied per call and filled in; every value inside a payload is little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEtx = 0x03;
constexpr uint8_t kLeadByte = '0';
constexpr uint8_t kErrorReplyCode = '1';

// Frame offset of payload byte 0; a frame is N + 5 bytes long.
constexpr std::size_t kPayloadOffset = 3;
constexpr std::size_t kFrameOverhead = 5;

inline uint16_t FramePayloadLength(const uint8_t *frame) {
    return static_cast<uint16_t>(frame[1] << 8 | frame[2]);
}

// Low 8 bits of the sum of the two length bytes and the N payload bytes.
inline uint8_t FrameChecksum(const uint8_t *frame, std::size_t payloadLength) {
    uint8_t sum = 0;
    for (std::size_t i = 1; i < kPayloadOffset + payloadLength; ++i)
        sum = static_cast<uint8_t>(sum + frame[i]);
    return sum;
}

// The request frame of a command with N - 2 parameter bytes: zero parameters, zero checksum
// placeholder, ETX. Functions copy it and fill in the parameters.
template <uint16_t N>
constexpr std::array<uint8_t, N + kFrameOverhead> CommandFrame(uint8_t command) {
    static_assert(N >= 2, "a request payload holds at least the lead byte and the command");
    std::array<uint8_t, N + kFrameOverhead> frame{};
    frame[0] = kStx;
    frame[1] = static_cast<uint8_t>(N >> 8);
    frame[2] = static_cast<uint8_t>(N & 0xFF);
    frame[kPayloadOffset] = kLeadByte;
    frame[kPayloadOffset + 1] = command;
    frame[N + kFrameOverhead - 1] = kEtx;
    return frame;
}

// The same, built at compile time for a command known there.
template <uint8_t Command, uint16_t N>
constexpr std::array<uint8_t, N + kFrameOverhead> CommandTemplate() {
    return CommandFrame<N>(Command);
}

// A per-call copy of a command template whose parameters are written by payload offset.
template <std::size_t Size>
class Request {
public:
    explicit Request(const std::array<uint8_t, Size> &commandTemplate) : frame_(commandTemplate) {}

    // The low byte of value at payload offset `at`.
    Request &Byte(std::size_t at, int32_t value) {
        frame_.at(kPayloadOffset + at) = static_cast<uint8_t>(value & 0xFF);
        return *this;
    }
    // The low byte, then the value divided by 256 (truncating), as years and hour-and-minute
    // values travel.
    Request &Split16(std::size_t at, int32_t value) {
        return Byte(at, value).Byte(at + 1, value / 256);
    }
    // The low 16 bits, low byte first.
    Request &Le16(std::size_t at, int32_t value) {
        return Byte(at, value).Byte(at + 1, value >> 8);
    }
    Request &Le32(std::size_t at, int32_t value) {
        const auto bits = static_cast<uint32_t>(value);
        for (std::size_t i = 0; i < 4; ++i) Byte(at + i, static_cast<int32_t>(bits >> (8 * i)));
        return *this;
    }

    // size bytes from `bytes` at payload offset `at` on.
    Request &Copy(std::size_t at, const uint8_t *bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) Byte(at + i, bytes[i]);
        return *this;
    }

    uint8_t *Frame() { return frame_.data(); }

private:
    std::array<uint8_t, Size> frame_;
};

// A request whose length depends on its data, allocated for the call: the command, its leading
// parameters, then `size` data bytes, a zero checksum placeholder and ETX.
inline std::vector<uint8_t> VariableRequest(uint8_t command, std::initializer_list<uint8_t> leading,
                                            const uint8_t *data, std::size_t size) {
    const std::size_t n = 2 + leading.size() + size;
    std::vector<uint8_t> frame{kStx, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n & 0xFF),
                               kLeadByte, command};
    frame.reserve(n + kFrameOverhead);
    frame.insert(frame.end(), leading);
    frame.insert(frame.end(), data, data + size);
    frame.push_back(0);
    frame.push_back(kEtx);
    return frame;
}
