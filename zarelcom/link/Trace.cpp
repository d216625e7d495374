#include "link/Trace.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#include "link/Frame.h"

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

class TraceSink {
public:
    TraceSink() {
        const char *target = std::getenv("ZARELCOM_TRACE");
        if (!target || !*target) return;
        file_ = std::strcmp(target, "stderr") == 0 ? stderr : std::fopen(target, "a");
    }
    bool On() const { return file_ != nullptr; }

    // "2026-12-07 19:14:17.123 sent     GetSysInfo             02 00 02 30 42 74 03  note"
    void Write(const char *direction, const std::string &name, const uint8_t *bytes,
               std::size_t count, const std::string &note) {
        std::string line = Timestamp() + " " + direction + " " + name + " ";
        line.resize(std::max(line.size(), std::size_t(62)), ' ');
        static const char digits[] = "0123456789ABCDEF";
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0) line += ' ';
            line += digits[bytes[i] >> 4];
            line += digits[bytes[i] & 0x0F];
        }
        if (!note.empty()) line += (count ? "  " : "") + note;
        std::lock_guard<std::mutex> guard(mutex_);
        std::fprintf(file_, "%s\n", line.c_str());
        std::fflush(file_);
    }

    // The command of the request most recently sent, which names its reply.
    uint8_t lastCommand = 0;

private:
    static std::string Timestamp() {
        const auto now = std::chrono::system_clock::now();
        const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
        const auto millis =
            std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
            1000;
        std::tm local{};
#ifdef _WIN32
        localtime_s(&local, &seconds);
#else
        localtime_r(&seconds, &local);
#endif
        char text[40];
        const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
        std::snprintf(text + length, sizeof text - length, ".%03d", int(millis));
        return text;
    }

    FILE *file_ = nullptr;
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

void TraceLine(const char *direction, std::string_view bytes) {
    TraceSink &sink = Sink();
    if (!sink.On() || bytes.empty()) return;
    sink.Write(direction,
               "terminal " + Printable(bytes.substr(0, 24)) + (bytes.size() > 24 ? "..." : ""),
               reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size(), "");
}

} // namespace

void TraceFrameSent(const uint8_t *frame, std::size_t size) {
    TraceSink &sink = Sink();
    if (!sink.On()) return;
    sink.lastCommand = size > kPayloadOffset + 1 ? frame[kPayloadOffset + 1] : 0;
    sink.Write("sent    ", CommandName(sink.lastCommand), frame, size, "");
}

void TraceReply(Reception reception, const uint8_t *payload, int32_t n, int32_t errorCode) {
    TraceSink &sink = Sink();
    if (!sink.On()) return;
    const std::string name = std::string(CommandName(sink.lastCommand)) + " reply";
    if (reception == Reception::Failed) {
        // A silent line sets no code of its own: the code may be an older failure's.
        sink.Write("received", name, nullptr, 0,
                   "no reply (last error code " + std::to_string(errorCode) + ")");
        return;
    }
    std::vector<uint8_t> frame = {kStx, uint8_t(n >> 8), uint8_t(n & 0xFF)};
    frame.insert(frame.end(), payload, payload + n + 2);
    sink.Write("received", name, frame.data(), frame.size(),
               reception == Reception::ErrorReply ? "printer error " + std::to_string(errorCode)
                                                  : "");
}

void TraceLineSent(std::string_view bytes) { TraceLine("sent    ", bytes); }

void TraceLineReceived(std::string_view bytes) { TraceLine("received", bytes); }
