#include "comm/LinuxDevice.h"

#include <linux/serial.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "comm/LinuxLineSpeed.h"

namespace {
constexpr int CounterPollMs = 100;    // line changes without a wake-up of their own
constexpr int TransmitterPollMs = 10; // until the last written byte has left
constexpr uint32_t ModemEvents = evbCts | evbDsr | evbRlsd | evbRing;
constexpr uint32_t CounterEvents = ModemEvents | evbBreak | evbErr;

using Clock = std::chrono::steady_clock;

void Signal(int eventFd) {
    const uint64_t one = 1;
    ssize_t ignored = ::write(eventFd, &one, sizeof one);
    (void)ignored;
}

// True when the event descriptor was signalled; clears it.
bool Drain(int eventFd) {
    uint64_t value = 0;
    return ::read(eventFd, &value, sizeof value) == static_cast<ssize_t>(sizeof value);
}

// Milliseconds left until deadline, at least 0; -1 for no deadline.
int Remaining(const Clock::time_point* deadline) {
    if (!deadline) return -1;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now()).count();
    // Round up, so that a wait never ends a little before its time.
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left + 1, 1 << 30));
}

// Pauses until the time, to the microsecond.
void PauseUntil(Clock::time_point until) {
    const auto left =
        std::chrono::duration_cast<std::chrono::nanoseconds>(until - Clock::now()).count();
    if (left <= 0) return;
    const timespec pause{static_cast<time_t>(left / 1000000000),
                         static_cast<long>(left % 1000000000)};
    ::ppoll(nullptr, 0, &pause, nullptr);
}

// An 8-bit binary line. XON/XOFF goes too: a terminal's interactive default would swallow the
// bytes 0x11 and 0x13 of binary frames, and a serial port starts without software flow control.
void MakeRaw(termios& settings) {
    settings.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                          IXANY | IUCLC | IMAXBEL);
    settings.c_oflag &= ~OPOST;
    settings.c_lflag &= ~(ECHO | ECHONL | ECHOE | ECHOK | ICANON | ISIG | IEXTEN);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
}

bool RateClose(uint32_t asked, uint32_t got) {
    // Within the 3 % a receiver tolerates; drivers round to their divisors.
    const uint64_t difference = asked > got ? asked - got : got - asked;
    return difference * 100 <= uint64_t(asked) * 3;
}
} // namespace

std::unique_ptr<LinuxDevice> LinuxDevice::Adopt(int fd, bool serial) {
    const int readAbort = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    const int writeAbort = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    const int wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    const int epoll = ::epoll_create1(EPOLL_CLOEXEC);
    const int arrivals = ::epoll_create1(EPOLL_CLOEXEC);
    bool ready = readAbort >= 0 && writeAbort >= 0 && wake >= 0 && epoll >= 0 && arrivals >= 0;
    if (ready) {
        epoll_event wakeEvent{};
        wakeEvent.events = EPOLLIN;
        wakeEvent.data.fd = wake;
        ready = ::epoll_ctl(epoll, EPOLL_CTL_ADD, wake, &wakeEvent) == 0;
    }
    if (ready && serial) {
        // Edge-triggered: one wake-up per arrival, none for bytes that wait unread.
        epoll_event inputEvent{};
        inputEvent.events = EPOLLIN | EPOLLET;
        inputEvent.data.fd = fd;
        ready = ::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &inputEvent) == 0 &&
                ::epoll_ctl(arrivals, EPOLL_CTL_ADD, fd, &inputEvent) == 0;
    }
    if (!ready) {
        for (int descriptor : {readAbort, writeAbort, wake, epoll, arrivals, fd})
            if (descriptor >= 0) ::close(descriptor);
        return nullptr;
    }
    return std::unique_ptr<LinuxDevice>(
        new LinuxDevice(fd, serial, readAbort, writeAbort, wake, epoll, arrivals));
}

LinuxDevice::LinuxDevice(int fd, bool serial, int readAbort, int writeAbort, int wake, int epoll,
                         int arrivals)
    : fd_(fd), serial_(serial), readAbort_(readAbort), writeAbort_(writeAbort), wake_(wake),
      epoll_(epoll), arrivals_(arrivals) {
    if (!serial_) return;
    termios settings;
    if (::tcgetattr(fd_, &settings) == 0) {
        MakeRaw(settings);
        ::tcsetattr(fd_, TCSANOW, &settings);
    }
    int lines = 0;
    hasModemLines_ = ::ioctl(fd_, TIOCMGET, &lines) == 0;
    eventModemLines_ = static_cast<uint32_t>(lines);
    hasCounters_ = ReadCounters(errorCounters_);
    eventCounters_ = errorCounters_;
}

LinuxDevice::~LinuxDevice() {
    // The exclusive mark stays on the terminal until its last close: take it off, so that the
    // next open by another user is not refused.
    if (serial_) ::ioctl(fd_, TIOCNXCL);
    for (int descriptor : {arrivals_, epoll_, wake_, writeAbort_, readAbort_, fd_})
        ::close(descriptor);
}

CommTimeouts LinuxDevice::Timeouts() {
    std::lock_guard<std::mutex> guard(mutex_);
    return timeouts_;
}

int LinuxDevice::SetupQueues(uint32_t, uint32_t) {
    // The terminal layer's queues have fixed sizes: the request is accepted and has no effect.
    return 0;
}

int LinuxDevice::GetLineSettings(LineSettings& settings) {
    termios current;
    if (::tcgetattr(fd_, &current) < 0) return errno;
    uint32_t rate = 0;
    if (int code = GetLineSpeed(fd_, rate)) return code;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        settings = kept_;
    }
    settings.BaudRate = rate;
    switch (current.c_cflag & CSIZE) {
    case CS5:
        settings.ByteSize = 5;
        break;
    case CS6:
        settings.ByteSize = 6;
        break;
    case CS7:
        settings.ByteSize = 7;
        break;
    default:
        settings.ByteSize = 8;
        break;
    }
    if (!(current.c_cflag & PARENB))
        settings.Parity = 0;
    else if (current.c_cflag & CMSPAR)
        settings.Parity = (current.c_cflag & PARODD) ? 3 : 4;
    else
        settings.Parity = (current.c_cflag & PARODD) ? 1 : 2;
    // Two stop bits on five data bits are one and a half on the wire.
    if (!(current.c_cflag & CSTOPB))
        settings.StopBits = 0;
    else
        settings.StopBits = settings.ByteSize == 5 ? 1 : 2;
    settings.fBinary = true;
    settings.fParity = (current.c_iflag & INPCK) != 0;
    settings.fOutxCtsFlow = (current.c_cflag & CRTSCTS) != 0;
    settings.fOutX = (current.c_iflag & IXON) != 0;
    settings.fInX = (current.c_iflag & IXOFF) != 0;
    settings.XonChar = current.c_cc[VSTART];
    settings.XoffChar = current.c_cc[VSTOP];
    return 0;
}

int LinuxDevice::SetLineSettings(const LineSettings& settings) {
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    // termios has no four-bit frame; its second stop bit is one and a half on five data bits, so
    // 1.5 goes only with five data bits and 2 only with more.
    const bool stopBitsFit =
        settings.StopBits == 0 || (settings.StopBits == 1) == (settings.ByteSize == 5);
    if (settings.BaudRate == 0 || settings.ByteSize < 5 || settings.ByteSize > 8 ||
        settings.Parity > 4 || settings.StopBits > 2 || !stopBitsFit)
        return EINVAL;
    termios next;
    if (::tcgetattr(fd_, &next) < 0) return errno;
    MakeRaw(next);
    next.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    next.c_cflag |= sizes[settings.ByteSize - 5];
    if (settings.Parity != 0) next.c_cflag |= PARENB;
    if (settings.Parity == 1 || settings.Parity == 3) next.c_cflag |= PARODD;
    if (settings.Parity >= 3) next.c_cflag |= CMSPAR;
    if (settings.StopBits != 0) next.c_cflag |= CSTOPB;
    if (settings.fOutxCtsFlow) next.c_cflag |= CRTSCTS;
    next.c_iflag &= ~(INPCK | IGNPAR);
    if (settings.fParity) next.c_iflag |= INPCK;
    if (settings.fOutX) next.c_iflag |= IXON;
    if (settings.fInX) next.c_iflag |= IXOFF;
    next.c_cc[VSTART] = settings.XonChar;
    next.c_cc[VSTOP] = settings.XoffChar;
    if (::tcsetattr(fd_, TCSANOW, &next) < 0) return errno;
    if (int code = SetLineSpeed(fd_, settings.BaudRate)) return code;
    uint32_t rate = 0;
    if (int code = GetLineSpeed(fd_, rate)) return code;
    if (!RateClose(settings.BaudRate, rate)) return EINVAL;
    std::lock_guard<std::mutex> guard(mutex_);
    kept_ = settings;
    return 0;
}

int LinuxDevice::SetTimeouts(const CommTimeouts& timeouts) {
    std::lock_guard<std::mutex> guard(mutex_);
    timeouts_ = timeouts;
    return 0;
}

int LinuxDevice::Read(void* buffer, uint32_t count, uint32_t& transferred) {
    transferred = 0;
    if (count == 0) return 0;
    auto* bytes = static_cast<uint8_t*>(buffer);
    const CommTimeouts timeouts = Timeouts();
    Drain(readAbort_); // a purge before this read is no abort of it
    const bool noInterval = timeouts.ReadIntervalTimeout == CommTimeouts::NoInterval;
    const uint64_t total =
        uint64_t(timeouts.ReadTotalTimeoutMultiplier) * count + timeouts.ReadTotalTimeoutConstant;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(total);
    const bool hasDeadline = total > 0;
    if (noInterval && timeouts.ReadTotalTimeoutMultiplier == 0) {
        // What is waiting now is the whole answer when there is any.
        const ssize_t got = ::read(fd_, bytes, count);
        if (got < 0 && errno != EAGAIN && errno != EINTR) return errno;
        if (got > 0 || total == 0) {
            transferred = got > 0 ? static_cast<uint32_t>(got) : 0;
            return 0;
        }
    }
    Clock::time_point lastByte{};
    while (transferred < count) {
        int wait = Remaining(hasDeadline ? &deadline : nullptr);
        if (!noInterval && timeouts.ReadIntervalTimeout != 0 && transferred > 0) {
            const Clock::time_point intervalEnd =
                lastByte + std::chrono::milliseconds(timeouts.ReadIntervalTimeout);
            const int intervalWait = Remaining(&intervalEnd);
            wait = wait < 0 ? intervalWait : std::min(wait, intervalWait);
        }
        if (wait == 0) return 0; // time-out: what arrived is the result
        pollfd watch[2] = {{fd_, POLLIN, 0}, {readAbort_, POLLIN, 0}};
        const int ready = ::poll(watch, 2, wait);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (ready == 0) return 0;
        if (watch[1].revents & POLLIN) {
            Drain(readAbort_);
            return ECANCELED;
        }
        const ssize_t got = ::read(fd_, bytes + transferred, count - transferred);
        if (got > 0) {
            transferred += static_cast<uint32_t>(got);
            lastByte = Clock::now();
        } else if (got < 0 && errno != EAGAIN && errno != EINTR) {
            return errno;
        } else if (watch[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            return EIO; // the far end is gone: nothing more will come
        }
    }
    return 0;
}

int LinuxDevice::Write(const void* buffer, uint32_t count, uint32_t& transferred) {
    transferred = 0;
    if (count == 0) return 0;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    const CommTimeouts timeouts = Timeouts();
    Drain(writeAbort_);
    const uint64_t total =
        uint64_t(timeouts.WriteTotalTimeoutMultiplier) * count + timeouts.WriteTotalTimeoutConstant;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(total);
    int result = 0;
    while (transferred < count) {
        const ssize_t put = ::write(fd_, bytes + transferred, count - transferred);
        if (put > 0) {
            transferred += static_cast<uint32_t>(put);
            continue;
        }
        if (put < 0 && errno != EAGAIN && errno != EINTR) {
            result = errno;
            break;
        }
        const int wait = Remaining(total > 0 ? &deadline : nullptr);
        if (wait == 0) break; // time-out
        pollfd watch[2] = {{fd_, POLLOUT, 0}, {writeAbort_, POLLIN, 0}};
        const int ready = ::poll(watch, 2, wait);
        if (ready < 0 && errno != EINTR) {
            result = errno;
            break;
        }
        if (ready > 0 && (watch[1].revents & POLLIN)) {
            Drain(writeAbort_);
            result = ECANCELED;
            break;
        }
        if (ready > 0 && (watch[0].revents & (POLLHUP | POLLERR | POLLNVAL))) {
            result = EIO;
            break;
        }
    }
    if (transferred > 0 && (eventMask_ & evbTxEmpty)) {
        transmitting_ = true;
        Signal(wake_);
    }
    return result;
}

bool LinuxDevice::ReadCounters(LineCounters& counters) {
    serial_icounter_struct driver{};
    if (::ioctl(fd_, TIOCGICOUNT, &driver) < 0) return false;
    counters.cts = driver.cts;
    counters.dsr = driver.dsr;
    counters.rng = driver.rng;
    counters.dcd = driver.dcd;
    counters.frame = driver.frame;
    counters.overrun = driver.overrun;
    counters.parity = driver.parity;
    counters.brk = driver.brk;
    counters.bufOverrun = driver.buf_overrun;
    return true;
}

int LinuxDevice::ClearError(uint32_t& errors, CommStatus& status) {
    errors = 0;
    status = CommStatus();
    if (!serial_) return ENOTTY;
    LineCounters now;
    if (hasCounters_ && ReadCounters(now)) {
        std::lock_guard<std::mutex> guard(mutex_);
        if (now.bufOverrun != errorCounters_.bufOverrun) errors |= ceRxOver;
        if (now.overrun != errorCounters_.overrun) errors |= ceOverrun;
        if (now.parity != errorCounters_.parity) errors |= ceRxParity;
        if (now.frame != errorCounters_.frame) errors |= ceFrame;
        if (now.brk != errorCounters_.brk) errors |= ceBreak;
        errorCounters_ = now;
    }
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) < 0) return errno;
    status.InQue = static_cast<uint32_t>(std::max(waiting, 0));
    int unsent = 0;
    if (::ioctl(fd_, TIOCOUTQ, &unsent) == 0)
        status.OutQue = static_cast<uint32_t>(std::max(unsent, 0));
    termios current;
    int lines = 0;
    if (::tcgetattr(fd_, &current) == 0 && (current.c_cflag & CRTSCTS) && hasModemLines_ &&
        ::ioctl(fd_, TIOCMGET, &lines) == 0)
        status.CtsHold = !(lines & TIOCM_CTS);
    return 0;
}

int LinuxDevice::Purge(uint32_t flags) {
    if (flags & purgeTxAbort) Signal(writeAbort_);
    if (flags & purgeRxAbort) Signal(readAbort_);
    // Only the input is flushed. Bytes of a finished write are already on their way, as with a
    // Windows port, whose write completes once its bytes went to the line; flushing them would cut
    // off the packet just sent (the switch to terminal mode purges right after its packet).
    if (!serial_ || !(flags & purgeRxClear)) return 0;
    if (::tcflush(fd_, TCIFLUSH) < 0) return errno;
    return 0;
}

int LinuxDevice::Escape(uint32_t code) {
    int result = 0;
    int line = 0;
    switch (code) {
    case escSetXoff:
        result = ::tcflow(fd_, TCOOFF);
        break;
    case escSetXon:
        result = ::tcflow(fd_, TCOON);
        break;
    case escSetBreak:
        result = ::ioctl(fd_, TIOCSBRK);
        break;
    case escClrBreak:
        result = ::ioctl(fd_, TIOCCBRK);
        break;
    case escSetRts:
    case escClrRts:
        line = TIOCM_RTS;
        break;
    case escSetDtr:
    case escClrDtr:
        line = TIOCM_DTR;
        break;
    default:
        return EINVAL;
    }
    if (line != 0) {
        if (!hasModemLines_) return 0; // no lines to drive (a pseudo-terminal)
        const bool raise = code == escSetRts || code == escSetDtr;
        result = ::ioctl(fd_, raise ? TIOCMBIS : TIOCMBIC, &line);
    }
    return result < 0 ? errno : 0;
}

int LinuxDevice::GetModemStatus(uint32_t& lines) {
    lines = 0;
    int driver = 0;
    if (::ioctl(fd_, TIOCMGET, &driver) < 0) return errno;
    if (driver & TIOCM_CTS) lines |= msCtsOn;
    if (driver & TIOCM_DSR) lines |= msDsrOn;
    if (driver & TIOCM_RNG) lines |= msRingOn;
    if (driver & TIOCM_CAR) lines |= msRlsdOn;
    return 0;
}

int LinuxDevice::SetEventMask(uint32_t mask) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        ReadCounters(eventCounters_);
        int lines = 0;
        if (hasModemLines_ && ::ioctl(fd_, TIOCMGET, &lines) == 0) eventModemLines_ = lines;
    }
    eventMask_ = mask;
    Signal(wake_); // a pending wait picks up the new mask
    return 0;
}

uint32_t LinuxDevice::LineChanges() {
    uint32_t changes = 0;
    std::lock_guard<std::mutex> guard(mutex_);
    LineCounters now;
    if (hasCounters_ && ReadCounters(now)) {
        if (now.cts != eventCounters_.cts) changes |= evbCts;
        if (now.dsr != eventCounters_.dsr) changes |= evbDsr;
        if (now.dcd != eventCounters_.dcd) changes |= evbRlsd;
        if (now.rng != eventCounters_.rng) changes |= evbRing;
        if (now.brk != eventCounters_.brk) changes |= evbBreak;
        if (now.frame != eventCounters_.frame || now.overrun != eventCounters_.overrun ||
            now.parity != eventCounters_.parity || now.bufOverrun != eventCounters_.bufOverrun)
            changes |= evbErr;
        eventCounters_ = now;
        return changes;
    }
    int lines = 0;
    if (hasModemLines_ && ::ioctl(fd_, TIOCMGET, &lines) == 0) {
        const uint32_t flipped = eventModemLines_ ^ static_cast<uint32_t>(lines);
        if (flipped & TIOCM_CTS) changes |= evbCts;
        if (flipped & TIOCM_DSR) changes |= evbDsr;
        if (flipped & TIOCM_CAR) changes |= evbRlsd;
        if ((flipped & TIOCM_RNG) && !(lines & TIOCM_RNG)) changes |= evbRing; // ring ended
        eventModemLines_ = lines;
    }
    return changes;
}

bool LinuxDevice::TransmitterEmpty() {
    int unsent = 0;
    if (::ioctl(fd_, TIOCOUTQ, &unsent) == 0 && unsent > 0) return false;
    unsigned int shiftRegister = 0;
    if (::ioctl(fd_, TIOCSERGETLSR, &shiftRegister) == 0)
        return (shiftRegister & TIOCSER_TEMT) != 0;
    return true; // no transmitter status (a pseudo-terminal): an empty queue is all there is
}

int LinuxDevice::WaitEvent(uint32_t& events) {
    events = 0;
    for (;;) {
        if (cancelWait_.exchange(false)) return ECANCELED;
        const uint32_t mask = eventMask_;
        const bool watchLines =
            (mask & CounterEvents) && (hasCounters_ || (hasModemLines_ && (mask & ModemEvents)));
        const bool watchTransmitter = (mask & evbTxEmpty) && transmitting_;
        int wait = -1;
        if (watchLines) wait = CounterPollMs;
        if (watchTransmitter) wait = TransmitterPollMs;
        epoll_event ready[2];
        const int count = ::epoll_wait(epoll_, ready, 2, wait);
        if (count < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        uint32_t found = 0;
        for (int i = 0; i < count; ++i) {
            if (ready[i].data.fd == wake_)
                Drain(wake_);
            else if (ready[i].events & EPOLLIN)
                found |= evbRxChar;
        }
        if (watchLines) found |= LineChanges();
        if (watchTransmitter && TransmitterEmpty()) {
            transmitting_ = false;
            found |= evbTxEmpty;
        }
        found &= mask;
        if (found != 0) {
            events = found;
            return 0;
        }
    }
}

void LinuxDevice::CancelWait() {
    cancelWait_ = true;
    Signal(wake_);
}

int LinuxDevice::WaitInput(uint32_t count, uint32_t ms, uint32_t& queued) {
    queued = 0;
    if (!serial_) return ENOTTY;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
    LineSettings settings;
    bool settingsRead = false;
    for (bool arrived = false;; arrived = true) {
        // Count after taking the arrivals seen so far: a byte that comes after the count marks
        // the epoll again, so none is missed between the count and the wait.
        int waiting = 0;
        if (::ioctl(fd_, FIONREAD, &waiting) < 0) return errno;
        queued = static_cast<uint32_t>(std::max(waiting, 0));
        int wait = Remaining(&deadline);
        if (queued >= count || wait == 0) return 0;
        if (arrived) {
            // Some of the bytes came: the rest cannot come sooner than their time on the wire, so
            // wait that long before looking again rather than wake for every byte.
            if (!settingsRead && GetLineSettings(settings) == 0) settingsRead = true;
            if (settingsRead) {
                const auto wire =
                    std::chrono::microseconds(WireMicroseconds(settings, count - queued));
                PauseUntil(std::min<Clock::time_point>(deadline, Clock::now() + wire));
                wait = Remaining(&deadline);
            }
        }
        epoll_event arrival;
        if (::epoll_wait(arrivals_, &arrival, 1, wait) < 0 && errno != EINTR) return errno;
    }
}

int LinuxDevice::WaitOutputEmpty(uint32_t ms, uint32_t& unsent) {
    unsent = 0;
    if (!serial_) return ENOTTY;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
    LineSettings settings;
    if (int code = GetLineSettings(settings)) return code;
    for (;;) {
        int left = 0;
        if (::ioctl(fd_, TIOCOUTQ, &left) < 0) return errno;
        unsent = static_cast<uint32_t>(std::max(left, 0));
        const int wait = Remaining(&deadline);
        if (unsent == 0 || wait == 0) return 0;
        const auto wire =
            std::chrono::microseconds(std::max<uint64_t>(WireMicroseconds(settings, unsent), 1000));
        PauseUntil(std::min<Clock::time_point>(deadline, Clock::now() + wire));
    }
}
