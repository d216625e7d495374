// The product's platform on Windows: COM ports opened exclusively for overlapped I/O, real sleeps.
#include <windows.h>

#include "comm/Device.h"
#include "comm/PortNames.h"
#include "comm/Win32Device.h"

namespace {
class Win32Platform : public Platform {
public:
    std::unique_ptr<Device> OpenDevice(const std::string& name) override {
        const std::string path = ResolvePortName(name);
        if (path.empty()) return nullptr;
        // No sharing: the port is this program's alone while open.
        const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return nullptr;
        return Win32Device::Adopt(handle);
    }

    void Sleep(uint32_t ms) override { ::Sleep(ms); }
    uint64_t Now() const override { return ::GetTickCount64(); }
};
}  // namespace

Platform& SystemPlatform() {
    static Win32Platform platform;
    return platform;
}
