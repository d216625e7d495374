// The platform device layer: one open serial device and the platform that opens it.
//
// The operations mirror, in meaning, the Windows serial calls the port object was designed
// against (GetCommState, SetCommTimeouts, ReadFile, ClearCommError, PurgeComm,
// EscapeCommFunction, GetCommModemStatus, SetCommMask, WaitCommEvent), so that a Win32 backend
// can be written straight from those calls. Every operation that can fail returns 0 on success
// or the operating system's error number, which the port object puts into its failure messages.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The complete line-settings block, the fields of a Windows DCB.
struct LineSettings {
    uint32_t BaudRate = 0; // bit/s
    uint8_t ByteSize = 8;  // data bits, 4 to 8
    uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
    bool fBinary = true;
    bool fParity = false;      // check parity of received bytes
    bool fOutxCtsFlow = false; // hold output while CTS is off
    bool fOutxDsrFlow = false; // hold output while DSR is off
    uint8_t fDtrControl = 1;   // 0 off, 1 on, 2 handshake
    bool fDsrSensitivity = false;
    bool fTXContinueOnXoff = false;
    bool fOutX = false;      // XON/XOFF on output
    bool fInX = false;       // XON/XOFF on input
    bool fErrorChar = false; // replace bytes with parity errors by ErrorChar
    bool fNull = false;      // discard received zero bytes
    uint8_t fRtsControl = 1; // 0 off, 1 on, 2 handshake, 3 toggle
    bool fAbortOnError = false;
    uint16_t XonLim = 0;
    uint16_t XoffLim = 0;
    uint8_t XonChar = 17;
    uint8_t XoffChar = 19;
    uint8_t ErrorChar = 0;
    uint8_t EofChar = 0;
    uint8_t EvtChar = 0;
};

// The time-out block, in milliseconds, as Windows COMMTIMEOUTS.
struct CommTimeouts {
    static constexpr uint32_t NoInterval = 0xFFFFFFFFu; // ReadIntervalTimeout: no limit
    uint32_t ReadIntervalTimeout = 0;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    uint32_t ReadTotalTimeoutConstant = 0;
    uint32_t WriteTotalTimeoutMultiplier = 0;
    uint32_t WriteTotalTimeoutConstant = 0;
};

// The status block read with the error flags, as Windows COMSTAT.
struct CommStatus {
    bool CtsHold = false;  // output waits for CTS
    bool DsrHold = false;  // output waits for DSR
    bool RlsdHold = false; // output waits for carrier
    bool XoffHold = false; // output held by a received XOFF
    bool XoffSent = false; // output held because XOFF was sent
    uint32_t InQue = 0;    // bytes received and not yet read
    uint32_t OutQue = 0;   // bytes written and not yet sent
};

// Error flags of ClearError (Windows CE_*).
enum CommErrorFlag : uint32_t {
    ceRxOver = 0x1,
    ceOverrun = 0x2,
    ceRxParity = 0x4,
    ceFrame = 0x8,
    ceBreak = 0x10
};

// Purge flags (Windows PURGE_*).
enum PurgeFlag : uint32_t {
    purgeTxAbort = 0x1,
    purgeRxAbort = 0x2,
    purgeTxClear = 0x4,
    purgeRxClear = 0x8
};

// Line escape codes (Windows EscapeCommFunction).
enum EscapeCode : uint32_t {
    escSetXoff = 1,
    escSetXon = 2,
    escSetRts = 3,
    escClrRts = 4,
    escSetDtr = 5,
    escClrDtr = 6,
    escSetBreak = 8,
    escClrBreak = 9
};

// Modem input lines (Windows MS_*_ON).
enum ModemLine : uint32_t { msCtsOn = 0x10, msDsrOn = 0x20, msRingOn = 0x40, msRlsdOn = 0x80 };

// Line events (Windows EV_*), for the event mask and the event word.
enum LineEvent : uint32_t {
    evbRxChar = 0x1,
    evbRxFlag = 0x2,
    evbTxEmpty = 0x4,
    evbCts = 0x8,
    evbDsr = 0x10,
    evbRlsd = 0x20,
    evbBreak = 0x40,
    evbErr = 0x80,
    evbRing = 0x100
};
constexpr uint32_t AllLineEvents = 0x1FF;

// One open serial device. Read, Write and WaitEvent block the calling thread; the other
// operations return at once. Purge, ClearError, the queue counts and CancelWait may be called
// from another thread while a Read, Write or WaitEvent is pending.
class Device {
public:
    virtual ~Device() = default;

    // True for a serial port (a character device that is a terminal); anything else is refused.
    virtual bool IsSerialDevice() = 0;

    // Requests driver input and output queue sizes (SetupComm).
    virtual int SetupQueues(uint32_t inputSize, uint32_t outputSize) = 0;
    // Reads / writes the complete line-settings block (GetCommState / SetCommState).
    virtual int GetLineSettings(LineSettings& settings) = 0;
    virtual int SetLineSettings(const LineSettings& settings) = 0;
    // Sets the time-outs that Read and Write keep to (SetCommTimeouts).
    virtual int SetTimeouts(const CommTimeouts& timeouts) = 0;

    // Reads up to count bytes under the time-outs; transferred gets the bytes read, also when
    // the read fails or is aborted by Purge. A time-out is no failure.
    virtual int Read(void* buffer, uint32_t count, uint32_t& transferred) = 0;
    // Writes count bytes under the time-outs; transferred as for Read.
    virtual int Write(const void* buffer, uint32_t count, uint32_t& transferred) = 0;

    // Reads and clears the error flags (CommErrorFlag) and reads the status block.
    virtual int ClearError(uint32_t& errors, CommStatus& status) = 0;
    // Aborts pending transfers and/or discards queued bytes, by PurgeFlag.
    virtual int Purge(uint32_t flags) = 0;
    // Performs one EscapeCode.
    virtual int Escape(uint32_t code) = 0;
    // Reads the modem input lines as ModemLine bits.
    virtual int GetModemStatus(uint32_t& lines) = 0;

    // Chooses the LineEvent bits that complete an event wait.
    virtual int SetEventMask(uint32_t mask) = 0;
    // Waits without a time limit for one of the masked events; events gets the bits that
    // occurred. Returns an error (ECANCELED) when CancelWait woke it.
    virtual int WaitEvent(uint32_t& events) = 0;
    // Wakes the pending WaitEvent, or the next one when none is pending.
    virtual void CancelWait() = 0;

    // Waits until at least count bytes are in the input queue or ms milliseconds have passed,
    // whichever comes first, without spinning; queued gets the count then. The wait goes on
    // when bytes arrive that do not yet make up count, so it ends at the arrival that does.
    virtual int WaitInput(uint32_t count, uint32_t ms, uint32_t& queued) = 0;
    // Waits until the output queue is empty or ms milliseconds have passed; unsent gets the
    // bytes still queued then.
    virtual int WaitOutputEmpty(uint32_t ms, uint32_t& unsent) = 0;

    // The device's own words for the latest error it returned ("the device server did not
    // accept 38400 bit/s"); empty where the system's error number says it all.
    virtual std::string Reason() const { return std::string(); }
    // True once the device can carry no more bytes (a network connection that ended): every
    // operation fails from then on, and the port must be opened again.
    virtual bool Lost() const { return false; }
    // The one line rate the device carries, in bit/s, when it cannot be set (a raw network port
    // whose server rate is known); 0 when the rate can be set.
    virtual uint32_t FixedRate() const { return 0; }
};

// Why an open failed, in the words every platform can tell apart.
enum class OpenRefused { No, Missing, Denied, Busy, NotSerial, Other };

// What an open learnt about the device, so that a failed open can say why.
struct OpenAttempt {
    std::string device; // what the name resolved to; empty when it leads to no device
    OpenRefused refused = OpenRefused::No;
    int error = 0;      // the system's error number of a failed open, 0 otherwise
    std::string reason; // the system's text for error
    int holderPid = 0;  // for Busy: the process holding the line, 0 when unknown
    std::string holder; // its program's name
};

// Opens devices and paces polls. One platform object serves the whole process.
class Platform {
public:
    virtual ~Platform() = default;
    // Opens the named device ("Com" and a number, or a path) exclusively for reading and
    // writing; null when it does not exist, cannot be opened or is held by another user, with
    // attempt telling why (a held device is Busy, however the system reported it, and names its
    // holder where the system can tell).
    virtual std::unique_ptr<Device> OpenDevice(const std::string& name, OpenAttempt& attempt) = 0;
    // Blocks the calling thread for ms milliseconds; every poll of the exchange sleeps here.
    virtual void Sleep(uint32_t ms) = 0;
    // Milliseconds on a clock that only moves forward, for the deadlines of waits on a device.
    virtual uint64_t Now() const = 0;
};

// Microseconds that count bytes take on the line with these settings (start bit, data bits,
// parity bit, stop bits), rounded up.
uint64_t WireMicroseconds(const LineSettings& settings, uint64_t count);

// The product's platform of the system the library was built for (termios devices on Linux,
// overlapped Win32 serial handles on Windows), with real sleeps.
Platform& SystemPlatform();
