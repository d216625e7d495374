// A virtual-time platform for unit tests: one scripted serial line and a virtual clock, so that
// every poll, sleep, time-out and retry can be asserted exactly and a silent printer costs
// microseconds.
//
//   VirtualPlatform line;
//   line.AddDevice("Com1");
//   ProcessLink().port.UsePlatform(line);            // or port.UsePlatform(line) on a TComm of your own
//   line.SetPeer([](VirtualPlatform& line, const std::vector<uint8_t>& block, uint64_t now) {
//       line.Arrive(ReplyTo(block), 12);      // the printer answers 12 ms after the request
//   });
//   OpenComPort(1);  ...  EXPECT_EQ(line.Sleeps(), (std::vector<uint32_t>{10, 10, 500}));
//   ProcessLink().port.Close(); ProcessLink().port.UsePlatform(SystemPlatform());   // before `line` goes
//
// Time. Now() starts at 0 ms and moves only forward: by Sleep (each call recorded in Sleeps()),
// by a read that waits under its time-out, by a wait for input or for an empty output queue
// (each recorded with its limit in Waits()) until the awaited byte arrives, the queue is empty or
// the limit passes, and by a write that StallWrites makes time out.
// Nothing else advances it; the event thread's waits are real, not virtual.
//
// Reads keep to the time-outs the port set (SetTimeouts): with ReadIntervalTimeout NoInterval
// and no multiplier, a read returns at once with the bytes that have arrived by Now(); with none
// there it waits (virtually) until `count` bytes have arrived or ReadTotalTimeoutConstant ms have
// passed, and returns what arrived. Any other time-out block waits for the total
// (multiplier x count + constant) only.
//
// Threads: every member may be called from any thread; the peer is called without the
// platform's lock held, so it may call Arrive and the other members.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "comm/Device.h"

class VirtualPlatform : public Platform {
public:
    enum class Kind { Serial, NotSerial };
    // Device operations that FailNext can make fail once.
    enum class Operation { GetLineSettings, SetLineSettings, SetTimeouts, SetupQueues, Escape };
    // Called with every block the host writes and the virtual time of the write.
    using Peer =
        std::function<void(VirtualPlatform& line, const std::vector<uint8_t>& block, uint64_t now)>;
    struct WriteBlock {
        uint64_t at; // virtual time of the write
        std::vector<uint8_t> bytes;
    };

    VirtualPlatform();
    ~VirtualPlatform() override;

    // ---- Devices
    // Makes name openable ("Com1", ...). Every name leads to the same one line; a NotSerial name
    // opens but is no serial port (as a disk file would be).
    void AddDevice(const std::string& name, Kind kind = Kind::Serial);
    // Null for a name never added, and while the line is open already (the open is exclusive).
    std::unique_ptr<Device> OpenDevice(const std::string& name, OpenAttempt& attempt) override;
    bool IsOpen() const;
    // How many opens succeeded so far.
    int OpenCount() const;

    // ---- Clock
    uint64_t Now() const override;
    void Sleep(uint32_t ms) override;
    // Every Sleep, in order.
    std::vector<uint32_t> Sleeps() const;
    // The limit of every wait on the device (for input or for an empty output queue), in order.
    std::vector<uint32_t> Waits() const;

    // ---- The far end
    void SetPeer(Peer peer);
    // Bytes that reach the input queue afterMs after Now(). Bytes arrive in time order; bytes of
    // one time in the order given.
    void Arrive(const std::vector<uint8_t>& bytes, uint64_t afterMs = 0);
    // Everything the host wrote, in order, and the same as blocks with their times.
    std::vector<uint8_t> Written() const;
    std::vector<WriteBlock> WriteBlocks() const;
    // Bytes that have arrived by Now() and were not read or purged.
    uint32_t InQueue() const;

    // ---- Faults and line state the tests set
    // Makes the next `times` calls of operation fail with error (an errno value).
    void FailNext(Operation operation, int error, int times = 1);
    // While on, writes accept nothing and end by their time-out (multiplier x count + constant).
    void StallWrites(bool on);
    // The line settings the device reports before the port writes any (e.g. to check that fields
    // the port does not set are kept).
    void SetLine(const LineSettings& settings);
    // Modem input lines (ModemLine bits) that GetModemStatus reports.
    void SetModemLines(uint32_t lines);
    // Error flags (CommErrorFlag) that the next ClearError reports and clears.
    void SetErrors(uint32_t flags);
    // Hold flags and output-queue count of the status block; InQue always counts arrived bytes.
    void SetStatus(const CommStatus& status);
    // From now on written bytes leave the output queue at the line's rate (as a UART sends them),
    // and the status block's OutQue counts those not sent by Now().
    void SendAtLineRate();
    // Bytes written and then discarded by a purge before they were sent.
    uint32_t PurgedUnsent() const;
    // Completes the pending event wait with bits (only those in the event mask count).
    void RaiseEvent(uint32_t bits);

    // ---- What the port did
    LineSettings Line() const;             // the block as last written (or as set with SetLine)
    int LineWrites() const;                // successful SetLineSettings calls
    CommTimeouts Timeouts() const;         // as last set
    std::vector<uint32_t> Escapes() const; // every EscapeCode, in order
    std::vector<uint32_t> Purges() const;  // every PurgeFlag set, in order
    uint32_t EventMask() const;

private:
    class VirtualDevice;
    friend class VirtualDevice;
    struct Arrival {
        uint64_t at;
        uint8_t byte;
    };

    int TakeFailure(Operation operation); // with mutex_ held
    uint32_t DueCount() const;            // with mutex_ held

    mutable std::mutex mutex_;
    std::condition_variable eventRaised_;
    std::map<std::string, Kind> names_;
    bool open_ = false;
    int openCount_ = 0;
    uint64_t now_ = 0;
    std::vector<uint32_t> sleeps_;
    std::vector<uint32_t> waits_;
    Peer peer_;
    std::deque<Arrival> input_;
    std::vector<uint8_t> written_;
    std::vector<WriteBlock> blocks_;
    struct Failure {
        int error;
        int times;
    };
    std::map<Operation, Failure> failures_;
    bool stallWrites_ = false;
    LineSettings line_;
    int lineWrites_ = 0;
    CommTimeouts timeouts_;
    uint32_t modemLines_ = 0;
    uint32_t errors_ = 0;
    CommStatus status_;
    bool sendAtLineRate_ = false;
    std::deque<uint64_t> unsentUntilUs_; // when each byte of the output queue has been sent
    uint32_t purgedUnsent_ = 0;
    uint32_t UnsentCount(); // with mutex_ held; forgets the bytes sent by now_
    std::vector<uint32_t> escapes_;
    std::vector<uint32_t> purges_;
    uint32_t eventMask_ = 0;
    uint32_t raisedEvents_ = 0;
    bool cancelWait_ = false;
};
