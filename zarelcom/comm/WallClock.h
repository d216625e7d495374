// The computer's time of day, for the wire trace's time stamps. 64-bit on every build: the C
// runtime's time_t of 32-bit Windows ends in January 2038.
#pragma once

#include <cstdint>
#include <ctime>

// Now, in milliseconds since 1970-01-01 00:00 UTC.
int64_t WallClockMs();

// The local calendar time of a moment given in seconds since 1970-01-01 00:00 UTC.
std::tm LocalCalendar(int64_t seconds);
