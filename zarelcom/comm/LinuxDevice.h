// A serial device on a Linux terminal (real UART, USB adapter or pseudo-terminal).
//
// How the Windows serial operations are met here:
// - the line is made an 8-bit binary line at open (no echo, no line editing, no CR/LF
//   translation, no signal characters, no XON/XOFF), as a serial port starts on Windows;
// - reads and writes poll the descriptor (non-blocking) within the time-outs; Purge wakes a
//   pending one through an event descriptor;
// - the line-settings fields that termios has no place for (XonLim, XoffLim, ErrorChar,
//   EvtChar, EofChar, fNull, fErrorChar, fDsrSensitivity, fTXContinueOnXoff, fOutxDsrFlow, DTR and
//   RTS control, fAbortOnError) are kept here and reported back as written;
// - the event wait is edge-triggered on input, so bytes left unread do not wake it again; modem
//   line, break and line-error events are found by comparing the driver's interrupt counters
//   ten times a second, and only on devices that have such counters;
// - the wait for input has an edge-triggered epoll of its own, so that it wakes at an arrival and
//   never for bytes that already wait; once some bytes came it waits for the rest's time on the
//   wire before it looks again, rather than wake for every byte (they cannot come sooner);
// - the wait for an empty output queue pauses for the wire time of what is still queued, since a
//   terminal signals no such event;
// - a pseudo-terminal has no modem lines: DTR and RTS escapes do nothing, and the lines read as
//   unavailable.
#pragma once

#include <termios.h>

#include <atomic>
#include <memory>
#include <mutex>

#include "comm/Device.h"

class LinuxDevice : public Device {
public:
    // Takes over fd (opened read-write, non-blocking); null when the wake-up descriptors cannot
    // be made. A serial fd is put into raw mode at once, so that nothing is echoed.
    static std::unique_ptr<LinuxDevice> Adopt(int fd, bool serial);
    ~LinuxDevice() override;

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
    // The driver's counters of line changes and errors (TIOCGICOUNT).
    struct LineCounters {
        int cts = 0, dsr = 0, rng = 0, dcd = 0, frame = 0, overrun = 0, parity = 0, brk = 0,
            bufOverrun = 0;
    };

    LinuxDevice(int fd, bool serial, int readAbort, int writeAbort, int wake, int epoll,
                int arrivals);
    CommTimeouts Timeouts();
    bool ReadCounters(LineCounters& counters);
    uint32_t LineChanges();
    bool TransmitterEmpty();

    const int fd_;
    const bool serial_;
    const int readAbort_;  // event descriptor: Purge aborts the pending read
    const int writeAbort_; // event descriptor: Purge aborts the pending write
    const int wake_;       // event descriptor: wakes the event wait
    const int epoll_;      // the event wait: input (edge-triggered) and wake_
    const int arrivals_;   // the input wait: input (edge-triggered) alone
    bool hasModemLines_ = false;
    bool hasCounters_ = false;

    std::mutex mutex_; // guards the fields below
    CommTimeouts timeouts_;
    LineSettings kept_;            // the fields termios cannot hold
    LineCounters errorCounters_;   // as last seen by ClearError
    LineCounters eventCounters_;   // as last seen by the event wait
    uint32_t eventModemLines_ = 0; // as last seen by the event wait, without counters

    std::atomic<uint32_t> eventMask_{0};
    std::atomic<bool> cancelWait_{false};
    std::atomic<bool> transmitting_{false}; // written, and TXEMPTY not yet reported
};
