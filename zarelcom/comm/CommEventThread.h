// The thread that watches line events while a port is open and hands each event word on.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "comm/CommTypes.h"
#include "comm/Device.h"

class TCommEventThread {
public:
    // Receives (this thread, event word) for every event that arrived.
    using THandler = std::function<void(TCommEventThread& sender, uint32_t eventWord)>;

    // The device event mask of a set of event types: the sum of their LineEvent bits.
    static uint32_t EventMask(TCommEventTypes events);

    // Created suspended; applies the event mask of events to the device.
    TCommEventThread(std::shared_ptr<Device> device, TCommEventTypes events, uint32_t suspendTime);
    // Waits for the run to end, except on the thread itself (a handler that closed its own
    // port): then the run ends by itself and frees what it holds.
    ~TCommEventThread();
    TCommEventThread(const TCommEventThread&) = delete;
    TCommEventThread& operator=(const TCommEventThread&) = delete;

    // Sets the handler; before Start only.
    void SetHandler(THandler handler);
    // Resumes the suspended thread.
    void Start();
    // Detaches the handler and asks the thread to stop, without waiting for the pending event
    // wait: no handler starts after this returns. Call the destructor to wait for a handler that
    // is running.
    void Stop();

    uint32_t SuspendTime() const { return suspendTime_; }

private:
    struct Shared;
    static void Run(std::shared_ptr<Shared> shared, TCommEventThread* sender);

    std::shared_ptr<Shared> shared_;
    uint32_t suspendTime_;
    std::thread thread_;
};
