// The message of the latest port error an export turned into its failure result. Threads that
// share a link (every thread that never selected one shares the process-wide link) may call port
// functions at the same time, so the message has a lock of its own.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

class PortError {
public:
    // Forgets the message; costs one atomic read when there is none.
    void Clear() noexcept {
        if (!held_.load(std::memory_order_acquire)) return;
        const std::lock_guard<std::mutex> lock(lock_);
        message_.clear();
        held_ = false;
    }
    void Keep(const char *message) noexcept {
        const std::lock_guard<std::mutex> lock(lock_);
        try {
            message_ = message;
        } catch (...) {
            message_.clear();
        }
        held_ = !message_.empty();
    }
    // A copy of the message, empty when there is none.
    std::string Message() const {
        const std::lock_guard<std::mutex> lock(lock_);
        return message_;
    }

private:
    mutable std::mutex lock_;
    std::string message_;
    std::atomic<bool> held_{false};
};
