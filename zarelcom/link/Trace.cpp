#include "link/Trace.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "comm/WallClock.h"
#include "link/Frame.h"
#include "link/Link.h"

namespace {

// The names of the requests by command byte, as the library's functions name them.
const char *CommandName(uint8_t command) {
    switch (command) {
    case '2':
        return "GetMessageNo";
    case '3':
        return "SetMessageNo";
    case '4':
        return "GetSystemClock";
    case '5':
        return "SetZarelClock";
    case '6':
        return "GetTDFormat";
    case '7':
        return "SetTDFormat";
    case '8':
        return "GetShift";
    case '9':
        return "SetZarelShift";
    case ':':
        return "GetCounter";
    case ';':
        return "SetZarelCount";
    case '<':
        return "StxGetString";
    case '=':
        return "StxSdString";
    case '>':
        return "GetRollHour";
    case '?':
        return "SetRollHour";
    case '@':
        return "GetCYear";
    case 'A':
        return "SetCYear";
    case 'B':
        return "GetSysInfo";
    case 'C':
        return "DownLoadMessage";
    case 'D':
        return "GetInkStatus";
    case 'E':
        return "GetPrintStatus";
    case 'F':
        return "SetPrintOn/Off";
    case 'G':
        return "GetTaskNo";
    case 'H':
        return "SetTaskNo";
    case 'I':
        return "GetSysData";
    case 'M':
        return "GetFreeLogoNo";
    case 'N':
        return "GetFreeDiskSpc";
    case 'P':
        return "ZarelReboot";
    case 'R':
        return "SetZarelBaud";
    case 'S':
        return "GetLang";
    case 'T':
        return "SetLang";
    case 'U':
        return "GetMeasure";
    case 'V':
        return "SetMeasure";
    case 'W':
        return "GetTaskCfg";
    case 'X':
        return "SetTaskCfg";
    case 'Y':
        return "GetEncoder";
    case 'Z':
        return "SetEncoder";
    case '[':
        return "GetEncoderStatus";
    case '\\':
        return "SetEncoderStatus";
    case ']':
        return "GetConveyor";
    case '^':
        return "SetConveyor";
    case '_':
        return "GetPHCfg";
    case '`':
        return "SetPHCfg";
    case 'a':
        return "SetPHCfgH";
    case 'c':
        return "SetPHDPI";
    case 'd':
        return "GetMsgDelay";
    case 'e':
        return "SetMsgDelay";
    case 'f':
        return "GetMaxMsg";
    case 'g':
        return "GetBackUpRestoreReg";
    case 'i':
        return "StopTask";
    case 't':
        return "GetZarelType";
    case 'v':
        return "print image announcement";
    case 'w':
        return "file request";
    case 'x':
        return "file announcement";
    case 'y':
        return "message backup request";
    case 'z':
        return "message restore announcement";
    case '{':
        return "logo backup request";
    case '|':
        return "logo announcement";
    case '}':
        return "StxGetPack";
    case '~':
        return "StxSendPack";
    case 0x80:
        return "switch to terminal mode";
    case 0x81:
        return "screen request";
    case 0xF0:
        return "print command";
    default:
        return "unknown command";
    }
}

// Where the trace goes. A trace file is opened without blocking and written a whole line at a
// time, so that neither a FIFO without a reader nor a full pipe ever holds up an exchange (the line
// is lost instead); a FIFO is tried again at each line until a reader comes, and a reader that went
// away costs lines, never the program (no SIGPIPE).
class TraceSink {
public:
    TraceSink() {
        const char *target = std::getenv("ZARELCOM_TRACE");
        if (!target || !*target) return;
        on_ = true;
        if (std::strcmp(target, "stderr") != 0) path_ = target;
    }
    bool On() const { return on_; }

    // "2026-12-07 19:14:17.123 Com3 sent     GetSysInfo           02 00 02 30 42 74 03  note"
    void Write(const std::string &port, const char *direction, const std::string &name,
               const uint8_t *bytes, std::size_t count, const std::string &note) {
        std::string entry = std::string(direction) + " " + name + " ";
        entry.resize(std::max(entry.size(), std::size_t(38)), ' ');
        std::string line = TraceTimestamp(WallClockMs()) + " " + port + " " + entry;
        static const char digits[] = "0123456789ABCDEF";
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0) line += ' ';
            line += digits[bytes[i] >> 4];
            line += digits[bytes[i] & 0x0F];
        }
        if (!note.empty()) line += (count ? "  " : "") + note;
        line += '\n';
        std::lock_guard<std::mutex> guard(mutex_);
        if (Opened()) Put(line);
    }

private:
#ifdef _WIN32
    bool Opened() {
        if (!file_) file_ = path_.empty() ? stderr : std::fopen(path_.c_str(), "a");
        return file_ != nullptr;
    }
    void Put(const std::string &line) {
        std::fputs(line.c_str(), file_);
        std::fflush(file_);
    }
    FILE *file_ = nullptr;
#else
    // Standard error as it is at each line; a port never takes its descriptor.
    bool Opened() {
        if (path_.empty()) return ::fcntl(STDERR_FILENO, F_GETFD) != -1;
        if (fd_ < 0)
            fd_ =
                ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
        return fd_ >= 0;
    }
    // One write with SIGPIPE held back in this thread; a SIGPIPE the write raised is taken, one
    // pending from elsewhere is left. A file that failed otherwise than by being full is let go
    // and opened again at the next line.
    void Put(const std::string &line) {
        const int fd = path_.empty() ? STDERR_FILENO : fd_;
        sigset_t pipeSignal, previous, pending;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
        sigpending(&pending);
        const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
        ssize_t written;
        do written = ::write(fd, line.data(), line.size());
        while (written < 0 && errno == EINTR);
        const int error = written < 0 ? errno : 0;
        if (error == EPIPE && !alreadyPending) {
            const timespec noWait{};
            sigtimedwait(&pipeSignal, nullptr, &noWait);
        }
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        if (error && error != EAGAIN && fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    int fd_ = -1;
#endif

    bool on_ = false;
    std::string path_; // empty: standard error
    std::mutex mutex_;
};

TraceSink &Sink() {
    static TraceSink sink;
    return sink;
}

// The terminal text as it reads, control bytes as \r, \n or \xNN.
std::string Printable(std::string_view bytes) {
    std::string text = "\"";
    for (unsigned char byte : bytes) {
        if (byte == '\r')
            text += "\\r";
        else if (byte == '\n')
            text += "\\n";
        else if (byte >= 0x20 && byte < 0x7F)
            text += char(byte);
        else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            text += escape;
        }
    }
    return text + "\"";
}

void TraceLine(const Link &link, const char *direction, std::string_view bytes) {
    TraceSink &sink = Sink();
    if (!sink.On() || bytes.empty()) return;
    sink.Write(link.port.DeviceName(), direction,
               "terminal " + Printable(bytes.substr(0, 24)) + (bytes.size() > 24 ? "..." : ""),
               reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size(), "");
}

} // namespace

std::string TraceTimestamp(int64_t ms) {
    const int64_t seconds = ms / 1000;
    const std::tm local = LocalCalendar(seconds);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + length, sizeof text - length, ".%03d", int(ms - seconds * 1000));
    return text;
}

void TraceFrameSent(Link &link, const uint8_t *frame, std::size_t size) {
    TraceSink &sink = Sink();
    if (!sink.On()) return;
    link.tracedCommand = size > kPayloadOffset + 1 ? frame[kPayloadOffset + 1] : 0;
    sink.Write(link.port.DeviceName(), "sent    ", CommandName(link.tracedCommand), frame, size,
               "");
}

void TraceReply(const Link &link, Reception reception) {
    TraceSink &sink = Sink();
    if (!sink.On()) return;
    const std::string name = std::string(CommandName(link.tracedCommand)) + " reply";
    if (reception == Reception::Failed) {
        // A silent line sets no code of its own: the code may be an older failure's.
        sink.Write(link.port.DeviceName(), "received", name, nullptr, 0,
                   "no reply (last error code " + std::to_string(link.lastErrorCode) + ")");
        return;
    }
    const int32_t n = link.currentLength;
    std::vector<uint8_t> frame = {kStx, uint8_t(n >> 8), uint8_t(n & 0xFF)};
    frame.insert(frame.end(), link.rcvBuffer, link.rcvBuffer + n + 2);
    sink.Write(link.port.DeviceName(), "received", name, frame.data(), frame.size(),
               reception == Reception::ErrorReply
                   ? "printer error " + std::to_string(link.lastErrorCode)
                   : "");
}

void TraceLineSent(const Link &link, std::string_view bytes) { TraceLine(link, "sent    ", bytes); }

void TraceLineReceived(const Link &link, std::string_view bytes) {
    TraceLine(link, "received", bytes);
}
