// Reading the good reply in the receive buffer: reply code at byte 1, reply data byte k at byte
// 2 + k, multi-byte values little-endian.
#pragma once

#include <algorithm>
#include <cstdint>

#include "link/Exchange.h"
#include "link/Frame.h"

constexpr std::size_t kReplyDataOffset = 2;

inline uint8_t ReplyCode(const Link &link) { return link.rcvBuffer[1]; }

inline uint8_t ReplyByte(const Link &link, std::size_t k) {
    return link.rcvBuffer[kReplyDataOffset + k];
}

inline int16_t ReplySigned16(const Link &link, std::size_t k) {
    return static_cast<int16_t>(ReplyByte(link, k) | ReplyByte(link, k + 1) << 8);
}

inline int32_t ReplyLe32(const Link &link, std::size_t k) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(ReplyByte(link, k + i)) << (8 * i);
    return static_cast<int32_t>(value);
}

// How many reply data bytes the last reply carried (its N less the lead byte and the code).
inline std::size_t ReplyDataLength(const Link &link) {
    return static_cast<std::size_t>(std::max(link.currentLength - 2, 0));
}

// Whether the good reply carries at least `count` reply data bytes, as a reader of fixed width
// demands before it takes any. A shorter reply is too short for its command: the link's error code
// becomes ZC_ERR_BAD_REPLY, so that no byte of an earlier reply passes for this one's.
inline bool ReplyCarries(Link &link, std::size_t count) {
    if (ReplyDataLength(link) >= count) return true;
    link.lastErrorCode = ZC_ERR_BAD_REPLY;
    return false;
}

// Of `wanted` reply data bytes from byte k on, how many the reply holds.
inline std::size_t ReplyBytesHeld(const Link &link, std::size_t k, std::size_t wanted) {
    const std::size_t length = ReplyDataLength(link);
    return k >= length ? 0 : std::min(wanted, length - k);
}

// The last reply's checksum and ETX agree with its bytes. The exchange takes any reply whose
// bytes all came; data that ends up in a file is checked with this as well, so that a byte changed
// on the line is asked for again instead of stored.
inline bool ReplyFrameIntact(const Link &link) {
    const auto n = static_cast<std::size_t>(link.currentLength);
    uint8_t sum = static_cast<uint8_t>((n >> 8) + n);
    for (std::size_t i = 0; i < n; ++i) sum = static_cast<uint8_t>(sum + link.rcvBuffer[i]);
    return link.rcvBuffer[n] == sum && link.rcvBuffer[n + 1] == kEtx;
}
