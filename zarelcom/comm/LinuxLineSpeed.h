// Any line rate in bit/s, also those without a B constant (14400, 56000, 128000, 256000).
#pragma once

#include <cstdint>

// 0 or the error number.
int SetLineSpeed(int fd, uint32_t bitsPerSecond);
int GetLineSpeed(int fd, uint32_t& bitsPerSecond);
