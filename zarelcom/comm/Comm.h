// The serial port object: TThreadComm holds the line settings, the open state, the lock and the
// event thread of one serial device; TComm is the port the library uses.
//
// Failures are raised as ECommError with the port's fixed messages (CommError.h). Reads and
// writes return -1 while closed and 0 when a transfer fails; nothing else raises.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "comm/CommError.h"
#include "comm/CommEventChars.h"
#include "comm/CommEventThread.h"
#include "comm/CommTypes.h"
#include "comm/Device.h"

class TThreadComm;

// Event handler types; the sender is always the port.
using TCommNotifyEvent = std::function<void(TThreadComm& sender)>;
using TCommErrorEvent = std::function<void(TThreadComm& sender, int32_t errors)>;
using TCommRxCharEvent = std::function<void(TThreadComm& sender, uint32_t count)>;
using TCommStatEvent =
    std::function<void(TThreadComm& sender, uint32_t status, const CommStatus& comStat)>;

class TThreadComm {
public:
    TThreadComm();
    virtual ~TThreadComm(); // closes the port
    TThreadComm(const TThreadComm&) = delete;
    TThreadComm& operator=(const TThreadComm&) = delete;

    // ---- Open state
    // Opens DeviceName: a device that cannot be opened or is not a serial port leaves the port
    // closed and raises nothing. Raises "Port already assigned (open)" when open, and after
    // opening "Error initializing Read/Write Buffers" (the port stays open) or, having closed
    // the port again, "Error updating CommTimeouts" / "Error updating DataControlBlock".
    void Open();
    // Detaches and stops the event thread without waiting for a line event, then closes the
    // device. No handler runs once Close has returned. Nothing happens while closed.
    void Close();
    bool Enabled() const { return enabled_; }
    // Why the latest Open left the port closed without raising, with the system's error number:
    // "Cannot open Com33: /dev/ttyUSB0: Permission denied (Error: 13)"; empty after an open
    // that found a serial device.
    const std::string& OpenFailure() const { return openFailure_; }
    // What the latest Open learnt, also when it raised (refused Other with the port's code);
    // refused No when it opened. A copy, taken under the lock.
    OpenAttempt LastOpen();
    // Raises "Port already assigned (open) (Error: -1)" while open.
    void CheckOpen() const;
    void Lock() { lock_.lock(); }
    void Unlock() { lock_.unlock(); }

    // ---- Transfers, under the lock. Bytes transferred, 0 on failure, -1 while closed.
    // Read returns at once with what is waiting; with nothing waiting it waits up to 1000 ms
    // for count bytes and returns what arrived.
    int32_t Read(void* buffer, uint32_t count);
    int32_t Write(const void* buffer, uint32_t count);
    // Bytes in the input / output queue; -1 while closed. No lock.
    int32_t InQueCount();
    int32_t OutQueCount();
    // Abort pending reads / writes and empty the input / output queue; nothing while closed.
    void PurgeIn();
    void PurgeOut();
    // Waits on the device until at least count bytes are in the input queue or ms milliseconds
    // have passed; the count then, -1 while closed. A device that cannot wait sleeps ms instead.
    int32_t AwaitInQueCount(uint32_t count, uint32_t ms);
    // Waits on the device until the output queue is empty or ms milliseconds have passed; the
    // bytes still queued then, -1 while closed.
    int32_t AwaitOutQueEmpty(uint32_t ms);

    // ---- Properties. Name, buffer sizes, event set and suspend time are ignored while open;
    // the line settings take effect at once while open (the whole block is re-applied).
    const std::string& DeviceName() const { return deviceName_; }
    void SetDeviceName(const std::string& name);
    uint16_t ReadBufSize() const { return readBufSize_; }
    void SetReadBufSize(uint16_t size);
    uint16_t WriteBufSize() const { return writeBufSize_; }
    void SetWriteBufSize(uint16_t size);
    TCommEventTypes MonitorEvents() const { return monitorEvents_; }
    void SetMonitorEvents(TCommEventTypes events);
    uint32_t SuspendTime() const { return suspendTime_; }
    void SetSuspendTime(uint32_t time);
    TBaudRate GetBaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate rate);
    TParity GetParity() const { return parity_; }
    void SetParity(TParity parity);
    TStopBits GetStopBits() const { return stopBits_; }
    void SetStopBits(TStopBits stopBits);
    TDataBits GetDataBits() const { return dataBits_; }
    void SetDataBits(TDataBits dataBits);
    TCommOptions GetOptions() const { return options_; }
    void SetOptions(TCommOptions options);
    // Stored only: the device's own flow control is left as it is.
    TFlowControl GetFlowControl() const { return flowControl_; }
    void SetFlowControl(TFlowControl flowControl);
    TCommEventChars& EventChars() { return eventChars_; }

    // ---- Line settings and time-outs (raise ECommError when the device refuses them)
    // Re-reads the device's line settings, overwrites the port's fields and writes the block
    // back; nothing while closed.
    void UpdateDataControlBlock();
    void UpdateDataControlBlockLock();
    // The fixed time-outs: reads as Read says; writes allow 19200 div the rate's ordinal ms
    // per byte.
    void UpdateCommTimeouts();
    // The line-settings block as last written to the device.
    const LineSettings& DataControlBlock() const { return dcb_; }

    // ---- Line control. Raise "Port not open" while closed and "EscapeCommFunction failure"
    // when the device refuses.
    void EscapeComm(int32_t code);
    void SetDTRState(bool on);
    void SetRTSState(bool on);
    // Also discards both queues afterwards.
    void SetBREAKState(bool on);
    // true: as if XON was received; false: as if XOFF was received.
    void SetXONState(bool on);
    // Selector 1 CTS, 2 DSR, 3 RING, 4 carrier: true when open and the line is on.
    bool GetModemState(int32_t selector);
    // Hold flag: 2 DSR, 3 carrier, 4 XOFF received, 5 XOFF sent, any other CTS; false when
    // closed.
    bool GetComState(int32_t selector);

    // ---- Line events. Handlers run on the event thread, one at a time; set them while
    // closed.
    TCommNotifyEvent OnBreak, OnCts, OnDsr, OnRing, OnRlsd, OnRxFlag, OnTxEmpty;
    TCommErrorEvent OnError;
    TCommRxCharEvent OnRxChar;
    TCommStatEvent OnComStatEvent;
    // Reads and clears the error flags and the status block, then calls the handlers of the
    // bits set in eventWord in a fixed order, then OnComStatEvent. Takes no lock.
    void HandleCommEvent(TCommEventThread* sender, uint32_t eventWord);

    // ---- Platform
    // The platform that opens devices and sleeps; SystemPlatform() unless changed. Changing it
    // is allowed only while closed (raises "Port already assigned (open)" otherwise).
    void UsePlatform(Platform& platform);
    // Sleeps through the platform; every poll of the exchange paces itself with this.
    void Sleep(uint32_t ms) { platform_->Sleep(ms); }
    // The platform's clock in milliseconds, for the deadlines of the waits on the device.
    uint64_t Now() const { return platform_->Now(); }

protected:
    // Opens the device; leaves the port closed when it cannot be opened or is not serial.
    virtual void CreateHandle();
    void DestroyHandle();
    void KeepRaisedOpenFailure(const ECommError& error);

private:
    std::shared_ptr<Device> CurrentDevice() const;
    // Clears the error state and reads the status block; nothing while closed.
    std::optional<CommStatus> ClearedStatus();
    int32_t Transfer(bool reading, void* buffer, uint32_t count);
    template <typename T>
    void SetLineProperty(T& field, T value);

    Platform* platform_;
    std::shared_ptr<Device> device_; // null while closed; read with the atomic shared_ptr calls
    std::atomic<bool> enabled_{false};
    std::string deviceName_ = "Com1";
    std::string openFailure_;
    OpenAttempt lastOpen_;
    uint16_t readBufSize_ = 4096;
    uint16_t writeBufSize_ = 2048;
    uint32_t suspendTime_ = 5;
    TCommEventTypes monitorEvents_ = AllCommEventTypes;
    TBaudRate baudRate_ = br19200;
    TParity parity_ = paNone;
    TStopBits stopBits_ = sb10;
    TDataBits dataBits_ = da8;
    TCommOptions options_ = 0;
    TFlowControl flowControl_ = fcDefault;
    LineSettings dcb_;
    std::unique_ptr<TCommEventThread> eventThread_;
    TCommEventChars eventChars_{this};
    std::recursive_mutex lock_;
};

// The port with its properties published; each link's port is one.
class TComm : public TThreadComm {};
