// The product's platform with a stopwatch on its sleeps: how long the exchange spent in the
// sleeps it must make, so that a benchmark can tell them from everything else.
#pragma once

#include "comm/Device.h"

#include <chrono>

class CountedSleeps : public Platform {
public:
    std::unique_ptr<Device> OpenDevice(const std::string &name, OpenAttempt &attempt) override
    {
        return SystemPlatform().OpenDevice(name, attempt);
    }
    void Sleep(uint32_t ms) override
    {
        const auto start = std::chrono::steady_clock::now();
        SystemPlatform().Sleep(ms);
        slept_ += std::chrono::steady_clock::now() - start;
    }
    // Seconds spent sleeping since the last call.
    double TakeSleptSeconds()
    {
        const double seconds = std::chrono::duration<double>(slept_).count();
        slept_ = {};
        return seconds;
    }

private:
    std::chrono::steady_clock::duration slept_{};
};
