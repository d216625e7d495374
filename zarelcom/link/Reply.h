// Reading the good reply in the receive buffer: reply code at byte 1, reply data byte k at byte
// 2 + k, multi-byte values little-endian.
#pragma once

#include <algorithm>
#include <cstdint>

#include "link/Exchange.h"
#include "link/Frame.h"
#include "link/Library.h"

constexpr std::size_t kReplyDataOffset = 2;

inline uint8_t ReplyCode() { return RcvBuffer[1]; }

inline uint8_t ReplyByte(std::size_t k) { return RcvBuffer[kReplyDataOffset + k]; }

inline int16_t ReplySigned16(std::size_t k) {
    return static_cast<int16_t>(ReplyByte(k) | ReplyByte(k + 1) << 8);
}

inline int32_t ReplyLe32(std::size_t k) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(ReplyByte(k + i)) << (8 * i);
    return static_cast<int32_t>(value);
}

// How many reply data bytes the last reply carried (its N less the lead byte and the code).
inline std::size_t ReplyDataLength() { return static_cast<std::size_t>(std::max(CurrentLength - 2, 0)); }

// Whether the good reply carries at least `count` reply data bytes, as a reader of fixed width
// demands before it takes any. A shorter reply is too short for its command: LastErrorCode
// becomes ZC_ERR_BAD_REPLY, so that no byte of an earlier reply passes for this one's.
inline bool ReplyCarries(std::size_t count) {
    if (ReplyDataLength() >= count) return true;
    LastErrorCode = ZC_ERR_BAD_REPLY;
    return false;
}

// Of `wanted` reply data bytes from byte k on, how many the reply holds.
inline std::size_t ReplyBytesHeld(std::size_t k, std::size_t wanted) {
    const std::size_t length = ReplyDataLength();
    return k >= length ? 0 : std::min(wanted, length - k);
}

// The last reply's checksum and ETX agree with its bytes. The exchange takes any reply whose
// bytes all came; data that ends up in a file is checked with this as well, so that a byte changed
// on the line is asked for again instead of stored.
inline bool ReplyFrameIntact() {
    const auto n = static_cast<std::size_t>(CurrentLength);
    uint8_t sum = static_cast<uint8_t>((n >> 8) + n);
    for (std::size_t i = 0; i < n; ++i) sum = static_cast<uint8_t>(sum + RcvBuffer[i]);
    return RcvBuffer[n] == sum && RcvBuffer[n + 1] == kEtx;
}
