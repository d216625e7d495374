#include <algorithm>

#include "comm/Device.h"

uint64_t WireMicroseconds(const LineSettings& settings, uint64_t count) {
    const uint64_t rate = std::max<uint32_t>(settings.BaudRate, 1);
    // Stop bits in halves: one, one and a half, two.
    const uint64_t halfBits =
        2 * (1 + settings.ByteSize + (settings.Parity != 0)) + 2 + settings.StopBits;
    return (count * halfBits * 1000000 + 2 * rate - 1) / (2 * rate);
}
