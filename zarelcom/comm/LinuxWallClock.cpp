#include "comm/WallClock.h"

#include <chrono>

int64_t WallClockMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::tm LocalCalendar(int64_t seconds) {
    const std::time_t moment = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&moment, &local);
    return local;
}
