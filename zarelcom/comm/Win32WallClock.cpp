#include "comm/WallClock.h"

#include <windows.h>

namespace {

// FILETIME counts 100 ns steps from 1601-01-01; 1970-01-01 is this many steps later.
constexpr int64_t kUnixEpochSteps = 116444736000000000;

} // namespace

// Not system_clock: on 32-bit Windows it comes through the C runtime's 32-bit seconds.
int64_t WallClockMs() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const int64_t steps = (int64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (steps - kUnixEpochSteps) / 10000;
}

std::tm LocalCalendar(int64_t seconds) {
    const __time64_t moment = seconds;
    std::tm local{};
    _localtime64_s(&local, &moment);
    return local;
}
