// The product's platform with a stopwatch on its sleeps and a count of the bytes each way: how
// long the exchange spent in the sleeps it must make, so that a benchmark can tell them from
// everything else, and how many bytes crossed the line, for the wire-time limit.
#pragma once

#include "comm/Device.h"

#include <chrono>

class CountedSleeps : public Platform {
public:
    std::unique_ptr<Device> OpenDevice(const std::string &name, OpenAttempt &attempt) override;
    void Sleep(uint32_t ms) override {
        const auto start = std::chrono::steady_clock::now();
        SystemPlatform().Sleep(ms);
        slept_ += std::chrono::steady_clock::now() - start;
    }
    uint64_t Now() const override { return SystemPlatform().Now(); }
    // Seconds spent sleeping since the last call.
    double TakeSleptSeconds() {
        const double seconds = std::chrono::duration<double>(slept_).count();
        slept_ = {};
        return seconds;
    }
    // Bytes written and read on the line since the last call.
    uint64_t TakeLineBytes() {
        const uint64_t bytes = lineBytes_;
        lineBytes_ = 0;
        return bytes;
    }

private:
    class CountingDevice;
    std::chrono::steady_clock::duration slept_{};
    uint64_t lineBytes_ = 0;
};
