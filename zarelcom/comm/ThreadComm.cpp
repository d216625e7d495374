// Open state, transfers, properties and line settings of the port.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <optional>
#include <string>

#include "comm/Comm.h"

namespace {
using Guard = std::lock_guard<std::recursive_mutex>;

int32_t AsCount(uint32_t value) {
    return static_cast<int32_t>(std::min<uint32_t>(value, INT32_MAX));
}

// A device that can carry no more bytes (a network connection that ended) fails the running
// exchange at once with a port error, rather than let it wait out its retries in silence.
void RaiseIfLost(const Device& device, int code) {
    if (code != 0 && device.Lost()) throw ECommError(CommMessage::Lost, code, device.Reason());
}

// The ordinal of a line rate in bit/s; nothing for a rate outside the enumeration.
std::optional<TBaudRate> RateOrdinal(uint32_t rate) {
    for (int ordinal = 0; ordinal < BaudRateCount; ++ordinal)
        if (BaudRateValue(TBaudRate(ordinal)) == rate) return TBaudRate(ordinal);
    return std::nullopt;
}

// "Cannot open Com33: /dev/ttyUSB0: Permission denied (Error: 13)"; the device is left out when
// the name is the device already, and said to be missing when the name leads to none.
std::string OpenFailureMessage(const std::string& name, const OpenAttempt& attempt) {
    std::string message = "Cannot open " + name + ": ";
    if (attempt.device.empty())
        message += "no device is mapped to this name";
    else if (attempt.device != name)
        message += attempt.device + ": ";
    if (!attempt.device.empty()) message += attempt.reason;
    return message + " (Error: " + std::to_string(attempt.error) + ")";
}
} // namespace

TThreadComm::TThreadComm() : platform_(&SystemPlatform()) {}

TThreadComm::~TThreadComm() { Close(); }

std::shared_ptr<Device> TThreadComm::CurrentDevice() const { return std::atomic_load(&device_); }

void TThreadComm::CheckOpen() const {
    if (enabled_) throw ECommError(CommMessage::AlreadyOpen, -1);
}

void TThreadComm::UsePlatform(Platform& platform) {
    Guard guard(lock_);
    CheckOpen();
    platform_ = &platform;
}

void TThreadComm::CreateHandle() {
    lastOpen_ = OpenAttempt();
    std::shared_ptr<Device> device = platform_->OpenDevice(deviceName_, lastOpen_);
    openFailure_.clear();
    if (!device) {
        openFailure_ = OpenFailureMessage(deviceName_, lastOpen_);
        return;
    }
    std::atomic_store(&device_, device);
    enabled_ = true;
    if (!device->IsSerialDevice()) {
        DestroyHandle();
        lastOpen_.refused = OpenRefused::NotSerial;
        lastOpen_.error = ENOTTY;
        lastOpen_.reason = "not a serial port";
        openFailure_ = OpenFailureMessage(deviceName_, lastOpen_);
        return;
    }
    device->SetEventMask(AllLineEvents);
}

OpenAttempt TThreadComm::LastOpen() {
    Guard guard(lock_);
    return lastOpen_;
}

void TThreadComm::KeepRaisedOpenFailure(const ECommError& error) {
    lastOpen_.refused = OpenRefused::Other;
    lastOpen_.error = error.Code();
    lastOpen_.reason = error.what();
}

void TThreadComm::DestroyHandle() {
    enabled_ = false;
    std::atomic_store(&device_, std::shared_ptr<Device>());
}

void TThreadComm::Open() {
    std::optional<ECommError> error;
    {
        Guard guard(lock_);
        try {
            CheckOpen();
        } catch (const ECommError& alreadyOpen) {
            lastOpen_ = OpenAttempt();
            KeepRaisedOpenFailure(alreadyOpen);
            throw;
        }
        CreateHandle();
        if (!enabled_) return;
        // A device that carries one rate only (a raw network port) opens at that rate.
        if (const auto fixed = RateOrdinal(CurrentDevice()->FixedRate())) baudRate_ = *fixed;
        try {
            UpdateCommTimeouts();
            UpdateDataControlBlock();
        } catch (const ECommError& refused) {
            // A device that refuses its settings is no usable port: leave it closed.
            DestroyHandle();
            KeepRaisedOpenFailure(refused);
            throw;
        }
        const std::shared_ptr<Device> device = CurrentDevice();
        if (int code = device->SetupQueues(readBufSize_, writeBufSize_))
            error.emplace(CommMessage::Buffers, code);
        eventThread_ = std::make_unique<TCommEventThread>(device, monitorEvents_, suspendTime_);
        eventThread_->SetHandler([this](TCommEventThread& sender, uint32_t eventWord) {
            HandleCommEvent(&sender, eventWord);
        });
        eventThread_->Start();
    }
    if (error) throw *error;
}

void TThreadComm::Close() {
    if (!enabled_) return;
    std::unique_ptr<TCommEventThread> thread;
    {
        Guard guard(lock_);
        if (!enabled_) return;
        thread = std::move(eventThread_);
        if (thread) thread->Stop();
        DestroyHandle();
    }
    // Outside the lock: a handler still running may itself be waiting for the lock. Once it has
    // finished, the thread lets go of the device and the device closes.
    thread.reset();
}

int32_t TThreadComm::Transfer(bool reading, void* buffer, uint32_t count) {
    if (!enabled_) return -1;
    Guard guard(lock_);
    const std::shared_ptr<Device> device = CurrentDevice();
    if (!device) return -1;
    uint32_t errors = 0;
    CommStatus status;
    device->ClearError(errors, status);
    if (count == 0) return 0;
    uint32_t transferred = 0;
    const int code = reading ? device->Read(buffer, count, transferred)
                             : device->Write(buffer, count, transferred);
    if (code != 0) {
        RaiseIfLost(*device, code);
        device->ClearError(errors, status);
    }
    return AsCount(transferred);
}

int32_t TThreadComm::Read(void* buffer, uint32_t count) { return Transfer(true, buffer, count); }

int32_t TThreadComm::Write(const void* buffer, uint32_t count) {
    return Transfer(false, const_cast<void*>(buffer), count);
}

std::optional<CommStatus> TThreadComm::ClearedStatus() {
    const std::shared_ptr<Device> device = CurrentDevice();
    if (!enabled_ || !device) return std::nullopt;
    uint32_t errors = 0;
    CommStatus status;
    RaiseIfLost(*device, device->ClearError(errors, status));
    return status;
}

int32_t TThreadComm::InQueCount() {
    const std::optional<CommStatus> status = ClearedStatus();
    return status ? AsCount(status->InQue) : -1;
}

int32_t TThreadComm::OutQueCount() {
    const std::optional<CommStatus> status = ClearedStatus();
    return status ? AsCount(status->OutQue) : -1;
}

int32_t TThreadComm::AwaitInQueCount(uint32_t count, uint32_t ms) {
    const std::shared_ptr<Device> device = CurrentDevice();
    if (!enabled_ || !device) return -1;
    uint32_t queued = 0;
    const int code = device->WaitInput(count, ms, queued);
    if (code == 0) return AsCount(queued);
    RaiseIfLost(*device, code);
    platform_->Sleep(ms);
    return InQueCount();
}

int32_t TThreadComm::AwaitOutQueEmpty(uint32_t ms) {
    const std::shared_ptr<Device> device = CurrentDevice();
    if (!enabled_ || !device) return -1;
    uint32_t unsent = 0;
    const int code = device->WaitOutputEmpty(ms, unsent);
    if (code == 0) return AsCount(unsent);
    RaiseIfLost(*device, code);
    platform_->Sleep(ms);
    return OutQueCount();
}

void TThreadComm::PurgeIn() {
    if (const std::shared_ptr<Device> device = CurrentDevice())
        device->Purge(purgeRxAbort | purgeRxClear);
}

void TThreadComm::PurgeOut() {
    if (const std::shared_ptr<Device> device = CurrentDevice())
        device->Purge(purgeTxAbort | purgeTxClear);
}

void TThreadComm::SetDeviceName(const std::string& name) {
    if (!enabled_ && name != deviceName_) deviceName_ = name;
}

void TThreadComm::SetReadBufSize(uint16_t size) {
    if (!enabled_ && size != readBufSize_) readBufSize_ = size;
}

void TThreadComm::SetWriteBufSize(uint16_t size) {
    if (!enabled_ && size != writeBufSize_) writeBufSize_ = size;
}

void TThreadComm::SetMonitorEvents(TCommEventTypes events) {
    if (!enabled_ && events != monitorEvents_) monitorEvents_ = events;
}

void TThreadComm::SetSuspendTime(uint32_t time) {
    if (!enabled_ && time != suspendTime_) suspendTime_ = time;
}

template <typename T>
void TThreadComm::SetLineProperty(T& field, T value) {
    if (field == value) return;
    field = value;
    UpdateDataControlBlockLock();
}

void TThreadComm::SetBaudRate(TBaudRate rate) { SetLineProperty(baudRate_, rate); }
void TThreadComm::SetParity(TParity parity) { SetLineProperty(parity_, parity); }
void TThreadComm::SetStopBits(TStopBits stopBits) { SetLineProperty(stopBits_, stopBits); }
void TThreadComm::SetDataBits(TDataBits dataBits) { SetLineProperty(dataBits_, dataBits); }
void TThreadComm::SetOptions(TCommOptions options) { SetLineProperty(options_, options); }
void TThreadComm::SetFlowControl(TFlowControl flowControl) {
    SetLineProperty(flowControl_, flowControl);
}

void TThreadComm::UpdateDataControlBlock() {
    const std::shared_ptr<Device> device = CurrentDevice();
    if (!enabled_ || !device) return;
    device->SetupQueues(readBufSize_, writeBufSize_);
    LineSettings dcb;
    if (int code = device->GetLineSettings(dcb))
        throw ECommError(CommMessage::DataControlBlock, code);
    dcb.BaudRate = BaudRateValue(baudRate_);
    dcb.Parity = parity_;
    dcb.StopBits = stopBits_;
    dcb.ByteSize = static_cast<uint8_t>(4 + dataBits_);
    dcb.XonChar = eventChars_.XOnChar();
    dcb.XoffChar = eventChars_.XOffChar();
    dcb.ErrorChar = eventChars_.ErrorChar();
    dcb.EofChar = eventChars_.EofChar();
    dcb.EvtChar = eventChars_.EvtChar();
    dcb.XonLim = 1024;
    dcb.XoffLim = 1024;
    const auto has = [this](TCommOption option) { return (options_ & (1u << option)) != 0; };
    dcb.fParity = has(coParityCheck);
    dcb.fDsrSensitivity = has(coDsrSensitivity);
    dcb.fTXContinueOnXoff = has(coIgnoreXOff);
    dcb.fErrorChar = has(coErrorChar);
    dcb.fNull = has(coNullStrip);
    if (int code = device->SetLineSettings(dcb))
        throw ECommError(CommMessage::DataControlBlock, code, device->Reason());
    dcb_ = dcb;
}

void TThreadComm::UpdateDataControlBlockLock() {
    Guard guard(lock_);
    UpdateDataControlBlock();
}

void TThreadComm::UpdateCommTimeouts() {
    const std::shared_ptr<Device> device = CurrentDevice();
    if (!device) return;
    CommTimeouts timeouts;
    timeouts.ReadIntervalTimeout = CommTimeouts::NoInterval;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 1000;
    // By the rate's ordinal, not the rate; br110 (ordinal 0) counts as ordinal 1.
    timeouts.WriteTotalTimeoutMultiplier = 19200u / std::max<uint32_t>(1, baudRate_);
    timeouts.WriteTotalTimeoutConstant = 0;
    if (int code = device->SetTimeouts(timeouts)) throw ECommError(CommMessage::Timeouts, code);
}
