// The product's platform on Linux: terminals opened exclusively, real sleeps.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "comm/Device.h"
#include "comm/LinuxDescriptors.h"
#include "comm/LinuxDevice.h"
#include "comm/LinuxLineHolder.h"
#include "comm/LinuxPortDirectory.h"
#include "comm/LinuxTerminals.h"
#include "comm/NetworkDevice.h"
#include "comm/NetworkPortName.h"
#include "comm/PortNames.h"

namespace {
OpenRefused RefusalOf(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return OpenRefused::Missing;
    case EACCES:
    case EPERM:
    case EROFS:
        return OpenRefused::Denied;
    case EBUSY:
        return OpenRefused::Busy;
    case ENOTTY:
    case EISDIR:
        return OpenRefused::NotSerial;
    default:
        return OpenRefused::Other;
    }
}

std::unique_ptr<Device> Refused(OpenAttempt& attempt, int error) {
    attempt.error = error;
    attempt.reason = std::strerror(error);
    attempt.refused = RefusalOf(error);
    if (attempt.refused == OpenRefused::Busy) {
        const LineHolder holder = FindLineHolder(attempt.device);
        attempt.holderPid = holder.pid;
        attempt.holder = holder.program;
    }
    return nullptr;
}

class TermiosPlatform : public Platform {
public:
    std::unique_ptr<Device> OpenDevice(const std::string& name, OpenAttempt& attempt) override {
        const std::string path = ResolvePortName(name);
        attempt = OpenAttempt();
        attempt.device = path.empty() ? path : DeviceBehind(path);
        if (path.empty()) return Refused(attempt, ENOENT);
        if (IsNetworkPortName(path)) return OpenNetworkDevice(path, attempt);
        const int fd =
            AboveStandardStreams(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        if (fd < 0) return Refused(attempt, errno == EWOULDBLOCK ? EBUSY : errno);
        struct stat info;
        const bool serial = ::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode) &&
                            IsLineDevice(info.st_rdev) && ::isatty(fd);
        // Exclusive: TIOCEXCL keeps other users out; flock also keeps out root and this
        // process's own second open.
        if (serial && (::flock(fd, LOCK_EX | LOCK_NB) < 0 || ::ioctl(fd, TIOCEXCL) < 0)) {
            const int error = errno == EWOULDBLOCK ? EBUSY : errno;
            ::close(fd);
            return Refused(attempt, error);
        }
        errno = 0;
        std::unique_ptr<Device> device = LinuxDevice::Adopt(fd, serial);
        // Adopt fails only for want of descriptors or memory for the line's waits.
        if (!device) return Refused(attempt, errno ? errno : ENOMEM);
        return device;
    }

    void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    uint64_t Now() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};
} // namespace

Platform& SystemPlatform() {
    static TermiosPlatform platform;
    return platform;
}
