// How the link's latest open of a port went, for zc_port_failure. Threads that share a link may
// open and ask at the same time, so the record has a lock of its own.
#pragma once

#include <mutex>

#include "zarelcom/zarelcom.h"

class PortFailure {
public:
    void Keep(const zc_port_failure_info &info) noexcept {
        const std::lock_guard<std::mutex> lock(lock_);
        info_ = info;
    }
    zc_port_failure_info Get() const noexcept {
        const std::lock_guard<std::mutex> lock(lock_);
        return info_;
    }

private:
    mutable std::mutex lock_;
    zc_port_failure_info info_{};
};
