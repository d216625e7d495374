// A serial device on Windows: a COM port handle opened for overlapped I/O, one overlapped record
// for reads, one for writes and one for the event wait, each with its own manual-reset event.
//
// Every Device operation is the Windows call of the same meaning. Where Wine on a
// pseudo-terminal differs from Windows, the device keeps both correct:
// - the line starts without XON/XOFF (a fresh Wine line reports it on), as on Linux;
// - a read first asks for no more than what the driver already holds, so that bytes that wait
//   come back at once (Wine would wait out the whole read time-out for the rest);
// - a read or write that ends by its time-out is no failure, whether the call reports the
//   time-out as an error (Wine) or as a short transfer (Windows);
// - a purge that aborts also cancels the pending transfer itself (Wine's purge does not);
// - a line without modem lines is waited on for its other events;
// - the waits for input and for an empty output queue pause for the wire time of the bytes still
//   awaited and look again: the port's one event wait belongs to the event thread, so they cannot
//   wait on EV_RXCHAR or EV_TXEMPTY themselves;
// - the event wait does not spin on waits that the driver cancels on its own, nor on a
//   character event that comes again for the same unread bytes.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>

#include "comm/Device.h"

class Win32Device : public Device {
public:
    // Takes over handle (opened read-write, overlapped); null when the events cannot be made.
    // A serial handle loses XON/XOFF at once, so that binary frames pass.
    static std::unique_ptr<Win32Device> Adopt(HANDLE handle);
    ~Win32Device() override;

    bool IsSerialDevice() override { return serial_; }
    int SetupQueues(uint32_t inputSize, uint32_t outputSize) override;
    int GetLineSettings(LineSettings& settings) override;
    int SetLineSettings(const LineSettings& settings) override;
    int SetTimeouts(const CommTimeouts& timeouts) override;
    int Read(void* buffer, uint32_t count, uint32_t& transferred) override;
    int Write(const void* buffer, uint32_t count, uint32_t& transferred) override;
    int ClearError(uint32_t& errors, CommStatus& status) override;
    int Purge(uint32_t flags) override;
    int Escape(uint32_t code) override;
    int GetModemStatus(uint32_t& lines) override;
    int SetEventMask(uint32_t mask) override;
    int WaitEvent(uint32_t& events) override;
    void CancelWait() override;
    int WaitInput(uint32_t count, uint32_t ms, uint32_t& queued) override;
    int WaitOutputEmpty(uint32_t ms, uint32_t& unsent) override;

private:
    Win32Device(HANDLE handle, HANDLE readEvent, HANDLE writeEvent, HANDLE waitEvent, HANDLE wake);
    // One overlapped transfer with record, waited for to its end.
    int Transfer(bool reading, void* buffer, uint32_t count, uint32_t& transferred);
    // Bytes the driver holds now; 0 when it cannot say.
    uint32_t Queued();
    // Waits for the pending event wait to end (error gets its outcome) or for CancelWait;
    // false when cancelled.
    bool AwaitEvent(DWORD& error);
    // Pauses up to ms unless CancelWait comes first; false when cancelled.
    bool Pause(DWORD ms);

    const HANDLE handle_;
    const bool serial_;
    OVERLAPPED readRecord_{};
    OVERLAPPED writeRecord_{};
    OVERLAPPED waitRecord_{};
    const HANDLE wake_; // auto-reset: CancelWait

    std::mutex mutex_; // guards timeouts_
    CommTimeouts timeouts_;
    static constexpr uint64_t NothingReported = ~uint64_t(0);
    std::atomic<uint32_t> eventMask_{0};
    std::atomic<bool> withoutModemEvents_{false}; // the line refused to wait for them
    std::atomic<uint64_t> bytesRead_{0};
    // Bytes received (read or waiting) when a character event was last reported; a purge of the
    // input starts the count afresh.
    std::atomic<uint64_t> reportedReceived_{NothingReported};
};
