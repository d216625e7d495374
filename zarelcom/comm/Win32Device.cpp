#include "comm/Win32Device.h"

#include <algorithm>
#include <cerrno>

namespace {
// After the driver ended an event wait by itself, or reported characters already reported, the
// next wait starts this much later: Wine does both on a pseudo-terminal up to 200 times a second,
// and an event thread that answered each at once would keep a core busy. Windows does neither.
constexpr DWORD RepeatPauseMs = 100;
constexpr uint32_t ModemEvents = evbCts | evbDsr | evbRlsd | evbRing;

int LastError() { return static_cast<int>(::GetLastError()); }

// Reads the status block until missing(status), the bytes still awaited, is 0 or ms have passed,
// pausing for the wire time of the bytes awaited in between.
template <typename Missing>
int PacedWait(Device& device, uint32_t ms, Missing missing) {
    LineSettings settings;
    if (int code = device.GetLineSettings(settings)) return code;
    const ULONGLONG deadline = ::GetTickCount64() + ms;
    for (;;) {
        uint32_t errors = 0;
        CommStatus status;
        if (int code = device.ClearError(errors, status)) return code;
        const uint32_t awaited = missing(status);
        const ULONGLONG now = ::GetTickCount64();
        if (awaited == 0 || now >= deadline) return 0;
        const ULONGLONG wire =
            std::max<ULONGLONG>((WireMicroseconds(settings, awaited) + 999) / 1000, 1);
        ::Sleep(static_cast<DWORD>(std::min(deadline - now, wire)));
    }
}

HANDLE ManualResetEvent() { return ::CreateEventA(nullptr, TRUE, FALSE, nullptr); }
} // namespace

std::unique_ptr<Win32Device> Win32Device::Adopt(HANDLE handle) {
    const HANDLE events[] = {ManualResetEvent(), ManualResetEvent(), ManualResetEvent(),
                             ::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    if (std::any_of(std::begin(events), std::end(events),
                    [](HANDLE event) { return event == nullptr; })) {
        for (HANDLE event : events)
            if (event) ::CloseHandle(event);
        ::CloseHandle(handle);
        return nullptr;
    }
    return std::unique_ptr<Win32Device>(
        new Win32Device(handle, events[0], events[1], events[2], events[3]));
}

Win32Device::Win32Device(HANDLE handle, HANDLE readEvent, HANDLE writeEvent, HANDLE waitEvent,
                         HANDLE wake)
    : handle_(handle), serial_(::GetFileType(handle) == FILE_TYPE_CHAR), wake_(wake) {
    readRecord_.hEvent = readEvent;
    writeRecord_.hEvent = writeEvent;
    waitRecord_.hEvent = waitEvent;
    if (!serial_) return;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (::GetCommState(handle_, &dcb)) {
        dcb.fBinary = TRUE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        ::SetCommState(handle_, &dcb);
    }
}

Win32Device::~Win32Device() {
    for (HANDLE handle :
         {handle_, readRecord_.hEvent, writeRecord_.hEvent, waitRecord_.hEvent, wake_})
        ::CloseHandle(handle);
}

int Win32Device::SetupQueues(uint32_t inputSize, uint32_t outputSize) {
    return ::SetupComm(handle_, inputSize, outputSize) ? 0 : LastError();
}

int Win32Device::GetLineSettings(LineSettings& settings) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle_, &dcb)) return LastError();
    settings.BaudRate = dcb.BaudRate;
    settings.ByteSize = dcb.ByteSize;
    settings.Parity = dcb.Parity;
    settings.StopBits = dcb.StopBits;
    settings.fBinary = dcb.fBinary;
    settings.fParity = dcb.fParity;
    settings.fOutxCtsFlow = dcb.fOutxCtsFlow;
    settings.fOutxDsrFlow = dcb.fOutxDsrFlow;
    settings.fDtrControl = static_cast<uint8_t>(dcb.fDtrControl);
    settings.fDsrSensitivity = dcb.fDsrSensitivity;
    settings.fTXContinueOnXoff = dcb.fTXContinueOnXoff;
    settings.fOutX = dcb.fOutX;
    settings.fInX = dcb.fInX;
    settings.fErrorChar = dcb.fErrorChar;
    settings.fNull = dcb.fNull;
    settings.fRtsControl = static_cast<uint8_t>(dcb.fRtsControl);
    settings.fAbortOnError = dcb.fAbortOnError;
    settings.XonLim = dcb.XonLim;
    settings.XoffLim = dcb.XoffLim;
    settings.XonChar = static_cast<uint8_t>(dcb.XonChar);
    settings.XoffChar = static_cast<uint8_t>(dcb.XoffChar);
    settings.ErrorChar = static_cast<uint8_t>(dcb.ErrorChar);
    settings.EofChar = static_cast<uint8_t>(dcb.EofChar);
    settings.EvtChar = static_cast<uint8_t>(dcb.EvtChar);
    return 0;
}

int Win32Device::SetLineSettings(const LineSettings& settings) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = settings.BaudRate;
    dcb.ByteSize = settings.ByteSize;
    dcb.Parity = settings.Parity;
    dcb.StopBits = settings.StopBits;
    dcb.fBinary = settings.fBinary;
    dcb.fParity = settings.fParity;
    dcb.fOutxCtsFlow = settings.fOutxCtsFlow;
    dcb.fOutxDsrFlow = settings.fOutxDsrFlow;
    dcb.fDtrControl = settings.fDtrControl;
    dcb.fDsrSensitivity = settings.fDsrSensitivity;
    dcb.fTXContinueOnXoff = settings.fTXContinueOnXoff;
    dcb.fOutX = settings.fOutX;
    dcb.fInX = settings.fInX;
    dcb.fErrorChar = settings.fErrorChar;
    dcb.fNull = settings.fNull;
    dcb.fRtsControl = settings.fRtsControl;
    dcb.fAbortOnError = settings.fAbortOnError;
    dcb.XonLim = settings.XonLim;
    dcb.XoffLim = settings.XoffLim;
    dcb.XonChar = static_cast<char>(settings.XonChar);
    dcb.XoffChar = static_cast<char>(settings.XoffChar);
    dcb.ErrorChar = static_cast<char>(settings.ErrorChar);
    dcb.EofChar = static_cast<char>(settings.EofChar);
    dcb.EvtChar = static_cast<char>(settings.EvtChar);
    return ::SetCommState(handle_, &dcb) ? 0 : LastError();
}

int Win32Device::SetTimeouts(const CommTimeouts& timeouts) {
    COMMTIMEOUTS block{timeouts.ReadIntervalTimeout, timeouts.ReadTotalTimeoutMultiplier,
                       timeouts.ReadTotalTimeoutConstant, timeouts.WriteTotalTimeoutMultiplier,
                       timeouts.WriteTotalTimeoutConstant};
    if (!::SetCommTimeouts(handle_, &block)) return LastError();
    std::lock_guard<std::mutex> guard(mutex_);
    timeouts_ = timeouts;
    return 0;
}

uint32_t Win32Device::Queued() {
    DWORD errors = 0;
    COMSTAT status{};
    return ::ClearCommError(handle_, &errors, &status) ? status.cbInQue : 0;
}

int Win32Device::Transfer(bool reading, void* buffer, uint32_t count, uint32_t& transferred) {
    OVERLAPPED& record = reading ? readRecord_ : writeRecord_;
    ::ResetEvent(record.hEvent);
    DWORD done = 0;
    const BOOL finished = reading ? ::ReadFile(handle_, buffer, count, &done, &record)
                                  : ::WriteFile(handle_, buffer, count, &done, &record);
    DWORD error = finished ? 0 : ::GetLastError();
    if (error == ERROR_IO_PENDING)
        error = ::GetOverlappedResult(handle_, &record, &done, TRUE) ? 0 : ::GetLastError();
    transferred = done;
    // Windows ends a transfer by its time-out with what arrived; Wine reports the time-out as an
    // error. Both mean the same.
    return error == ERROR_TIMEOUT ? 0 : static_cast<int>(error);
}

int Win32Device::Read(void* buffer, uint32_t count, uint32_t& transferred) {
    transferred = 0;
    if (count == 0) return 0;
    CommTimeouts timeouts;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        timeouts = timeouts_;
    }
    if (timeouts.ReadIntervalTimeout == CommTimeouts::NoInterval &&
        timeouts.ReadTotalTimeoutMultiplier == 0) {
        // What waits now is the whole answer when there is any.
        const uint32_t queued = Queued();
        if (queued > 0) count = std::min(count, queued);
    }
    const int result = Transfer(true, buffer, count, transferred);
    bytesRead_ += transferred;
    return result;
}

int Win32Device::Write(const void* buffer, uint32_t count, uint32_t& transferred) {
    transferred = 0;
    if (count == 0) return 0;
    return Transfer(false, const_cast<void*>(buffer), count, transferred);
}

int Win32Device::ClearError(uint32_t& errors, CommStatus& status) {
    DWORD flags = 0;
    COMSTAT block{};
    errors = 0;
    status = CommStatus();
    if (!::ClearCommError(handle_, &flags, &block)) return LastError();
    errors = flags;
    status.CtsHold = block.fCtsHold;
    status.DsrHold = block.fDsrHold;
    status.RlsdHold = block.fRlsdHold;
    status.XoffHold = block.fXoffHold;
    status.XoffSent = block.fXoffSent;
    status.InQue = block.cbInQue;
    status.OutQue = block.cbOutQue;
    return 0;
}

int Win32Device::Purge(uint32_t flags) {
    // Only the input is flushed, as on Linux. A finished write's bytes are on their way: the
    // switch to terminal mode purges right after its packet, and a line that is a pseudo-terminal
    // underneath (Wine, device drivers) would discard what its far end has not read yet.
    const DWORD input = flags & (purgeRxAbort | purgeRxClear);
    const int result = input == 0 || ::PurgeComm(handle_, input) ? 0 : LastError();
    if (flags & purgeRxClear) reportedReceived_ = NothingReported;
    // Wine's purge leaves a pending transfer running: end it here, as Windows does.
    if (flags & purgeRxAbort) ::CancelIoEx(handle_, &readRecord_);
    if (flags & purgeTxAbort) ::CancelIoEx(handle_, &writeRecord_);
    return result;
}

int Win32Device::Escape(uint32_t code) {
    return ::EscapeCommFunction(handle_, code) ? 0 : LastError();
}

int Win32Device::GetModemStatus(uint32_t& lines) {
    DWORD status = 0;
    lines = 0;
    if (!::GetCommModemStatus(handle_, &status)) return LastError();
    lines = status;
    return 0;
}

int Win32Device::SetEventMask(uint32_t mask) {
    eventMask_ = mask;
    withoutModemEvents_ = false;
    return ::SetCommMask(handle_, mask) ? 0 : LastError();
}

bool Win32Device::Pause(DWORD ms) { return ::WaitForSingleObject(wake_, ms) == WAIT_TIMEOUT; }

bool Win32Device::AwaitEvent(DWORD& error) {
    const HANDLE waits[] = {waitRecord_.hEvent, wake_};
    const DWORD woken = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (woken != WAIT_OBJECT_0) {
        // Cancelled: the record must be finished with before it is used again or freed.
        ::CancelIoEx(handle_, &waitRecord_);
        DWORD ignored = 0;
        ::GetOverlappedResult(handle_, &waitRecord_, &ignored, TRUE);
        return false;
    }
    DWORD ignored = 0;
    error = ::GetOverlappedResult(handle_, &waitRecord_, &ignored, FALSE) ? 0 : ::GetLastError();
    return true;
}

int Win32Device::WaitEvent(uint32_t& events) {
    events = 0;
    for (;;) {
        DWORD happened = 0;
        DWORD error = 0;
        ::ResetEvent(waitRecord_.hEvent);
        if (!::WaitCommEvent(handle_, &happened, &waitRecord_)) {
            error = ::GetLastError();
            if (error == ERROR_IO_PENDING && !AwaitEvent(error)) return ECANCELED;
        }
        if (error == ERROR_NOT_SUPPORTED && (eventMask_ & ModemEvents) && !withoutModemEvents_) {
            // A line without modem lines (Wine on a pseudo-terminal) refuses a wait for their
            // changes: wait for the other events alone.
            withoutModemEvents_ = true;
            if (::SetCommMask(handle_, eventMask_ & ~ModemEvents)) continue;
        }
        if (error != 0 && error != ERROR_OPERATION_ABORTED) return static_cast<int>(error);
        uint32_t found = error == 0 ? happened & eventMask_ : 0;
        if (found & evbRxChar) {
            // Characters count once, when they arrive, not again while they wait unread: all
            // received is what was read plus what waits.
            const uint64_t received = bytesRead_ + Queued();
            if (received == reportedReceived_.exchange(received)) found &= ~evbRxChar;
        }
        if (found != 0) {
            events = found;
            return 0;
        }
        if (!Pause(RepeatPauseMs)) return ECANCELED;
    }
}

void Win32Device::CancelWait() { ::SetEvent(wake_); }

int Win32Device::WaitInput(uint32_t count, uint32_t ms, uint32_t& queued) {
    queued = 0;
    return PacedWait(*this, ms, [&](const CommStatus& status) {
        queued = status.InQue;
        return queued >= count ? 0 : count - queued;
    });
}

int Win32Device::WaitOutputEmpty(uint32_t ms, uint32_t& unsent) {
    unsent = 0;
    return PacedWait(*this, ms, [&](const CommStatus& status) { return unsent = status.OutQue; });
}
