// The message of the latest port error an export turned into its failure result. Threads that
// share a link (every thread that never selected one shares the process-wide link) may call port
// functions at the same time, so the message has a lock of its own. A failure on this computer's
// side (a local file that cannot be read or written) is kept here too, marked as such, so that a
// caller never takes it for the port's or the printer's.
#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>

class PortError {
public:
    // Forgets the message; costs one atomic read when there is none.
    void Clear() noexcept {
        if (!held_.load(std::memory_order_acquire)) return;
        const std::lock_guard<std::mutex> lock(lock_);
        message_.clear();
        localError_.reset();
        held_ = false;
    }
    // localError: for a local failure, the system's error number (-1 when there is none).
    void Keep(const char *message, std::optional<int> localError = std::nullopt) noexcept {
        const std::lock_guard<std::mutex> lock(lock_);
        try {
            message_ = message;
        } catch (...) {
            message_.clear();
        }
        held_ = !message_.empty();
        localError_ = held_ ? localError : std::nullopt;
    }
    // Set when the kept message tells of a local failure: its system error number, or -1.
    std::optional<int> LocalError() const {
        const std::lock_guard<std::mutex> lock(lock_);
        return localError_;
    }
    // A copy of the message, empty when there is none.
    std::string Message() const {
        const std::lock_guard<std::mutex> lock(lock_);
        return message_;
    }

private:
    mutable std::mutex lock_;
    std::string message_;
    std::optional<int> localError_;
    std::atomic<bool> held_{false};
};
