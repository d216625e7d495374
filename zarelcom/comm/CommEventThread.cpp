#include "comm/CommEventThread.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>

struct TCommEventThread::Shared {
    std::shared_ptr<Device> device;
    THandler handler;
    std::atomic<bool> stopping{false};
    std::mutex mutex; // guards the back-off wait only
    std::condition_variable stopped;
};

uint32_t TCommEventThread::EventMask(TCommEventTypes events) {
    // Bit of each TCommEventType value, in the enumeration's order.
    static const uint32_t bits[] = {evbBreak, evbCts,    evbDsr,    evbErr,    evbRing,
                                    evbRlsd,  evbRxChar, evbRxFlag, evbTxEmpty};
    uint32_t mask = 0;
    for (unsigned value = 0; value < 9; ++value)
        if (events & (1u << value)) mask += bits[value];
    return mask;
}

TCommEventThread::TCommEventThread(std::shared_ptr<Device> device, TCommEventTypes events,
                                   uint32_t suspendTime)
    : shared_(std::make_shared<Shared>()), suspendTime_(suspendTime) {
    shared_->device = std::move(device);
    shared_->device->SetEventMask(EventMask(events));
}

TCommEventThread::~TCommEventThread() {
    Stop();
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id())
        thread_.detach();
    else
        thread_.join();
}

void TCommEventThread::SetHandler(THandler handler) { shared_->handler = std::move(handler); }

void TCommEventThread::Start() {
    if (!thread_.joinable()) thread_ = std::thread(Run, shared_, this);
}

void TCommEventThread::Stop() {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->stopping = true;
    }
    shared_->stopped.notify_all();
    shared_->device->CancelWait();
}

void TCommEventThread::Run(std::shared_ptr<Shared> shared, TCommEventThread* sender) {
    while (!shared->stopping) {
        uint32_t eventWord = 0;
        const int error = shared->device->WaitEvent(eventWord);
        if (shared->stopping) break;
        if (error == 0) {
            // Handlers run here, one at a time; Stop sets the flag checked just above, and the
            // destructor waits for a handler already running, so none runs after Close.
            if (shared->handler) shared->handler(*sender, eventWord);
        } else if (error != ECANCELED) {
            // A device that keeps failing must not turn this loop into a spin.
            std::unique_lock<std::mutex> lock(shared->mutex);
            shared->stopped.wait_for(lock, std::chrono::milliseconds(100),
                                     [&] { return shared->stopping.load(); });
        }
    }
    shared->device->Purge(purgeTxAbort | purgeRxAbort | purgeTxClear | purgeRxClear);
}
