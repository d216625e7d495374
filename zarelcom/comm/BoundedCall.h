// A call that may block for longer than its caller can wait (a host name lookup): it runs on a
// thread of its own, and the caller waits for its result only so long.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// The call's result, or nothing when it took longer than ms; the call then finishes unobserved.
template <typename Result, typename Call>
std::optional<Result> CallWithin(uint32_t ms, Call call) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<Result> result;
    };
    const auto shared = std::make_shared<Shared>();
    std::thread([shared, call]() mutable {
        Result result = call();
        const std::lock_guard<std::mutex> lock(shared->mutex);
        shared->result.emplace(std::move(result));
        shared->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(shared->mutex);
    shared->done.wait_for(lock, std::chrono::milliseconds(ms),
                          [&] { return shared->result.has_value(); });
    return std::move(shared->result);
}
