// The product's platform on Windows: COM ports opened exclusively for overlapped I/O, real sleeps.
#include <windows.h>

#include "comm/Device.h"
#include "comm/NetworkDevice.h"
#include "comm/NetworkPortName.h"
#include "comm/PortNames.h"
#include "comm/Win32Device.h"

namespace {
OpenRefused RefusalOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
        return OpenRefused::Missing;
    // Windows answers a COM port that another program has open with "access denied"; a port
    // the user may not open at all is not known there.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return OpenRefused::Busy;
    default:
        return OpenRefused::Other;
    }
}

// The system's error code and its English text, without the line break Windows ends it with.
std::unique_ptr<Device> Refused(OpenAttempt& attempt, DWORD error) {
    attempt.error = int(error);
    attempt.refused = RefusalOf(error);
    char text[256] = "";
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                         MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), text, sizeof text, nullptr);
    attempt.reason.assign(text, length);
    while (!attempt.reason.empty() &&
           (attempt.reason.back() == '\n' || attempt.reason.back() == '\r' ||
            attempt.reason.back() == '.'))
        attempt.reason.pop_back();
    return nullptr;
}

class Win32Platform : public Platform {
public:
    std::unique_ptr<Device> OpenDevice(const std::string& name, OpenAttempt& attempt) override {
        const std::string path = ResolvePortName(name);
        attempt = OpenAttempt();
        attempt.device = path;
        if (path.empty()) return Refused(attempt, ERROR_FILE_NOT_FOUND);
        if (IsNetworkPortName(path)) return OpenNetworkDevice(path, attempt);
        // No sharing: the port is this program's alone while open.
        const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return Refused(attempt, ::GetLastError());
        return Win32Device::Adopt(handle);
    }

    void Sleep(uint32_t ms) override { ::Sleep(ms); }
    uint64_t Now() const override { return ::GetTickCount64(); }
};
} // namespace

Platform& SystemPlatform() {
    static Win32Platform platform;
    return platform;
}
