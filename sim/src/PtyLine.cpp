#include "PtyLine.h"

#include "HostLineRate.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace zarelsim {
namespace {

std::runtime_error SystemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

void MakeDirectories(const std::string& path) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            throw SystemError("cannot create the port directory " + part);
    }
}

} // namespace

PtyLine::PtyLine() {
    char name[128];
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw SystemError("cannot open a pseudo-terminal");
    slavePath_ = name;
    // Raw, so that nothing the host has not asked for (echo, line editing) happens on its side.
    termios settings{};
    tcgetattr(slave_, &settings);
    cfmakeraw(&settings);
    tcsetattr(slave_, TCSANOW, &settings);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
}

PtyLine::~PtyLine() {
    close(master_);
    close(slave_);
}

uint32_t PtyLine::HostRate() const { return HostLineRate(master_); }

size_t PtyLine::Read(uint8_t* buffer, size_t size) {
    const ssize_t n = read(master_, buffer, size);
    return n > 0 ? size_t(n) : 0;
}

size_t PtyLine::Write(const uint8_t* data, size_t count, int patienceMs) {
    size_t written = 0;
    while (written < count) {
        const ssize_t n = write(master_, data + written, count - written);
        if (n > 0) {
            written += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) break;
        pollfd out{master_, POLLOUT, 0};
        if (poll(&out, 1, patienceMs) <= 0) break;
    }
    return written;
}

std::string PortRegistration::DefaultDirectory() {
    if (const char* dir = std::getenv("ZARELCOM_PORT_DIR"); dir && *dir) return dir;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/zarelcom/ports";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.config/zarelcom/ports";
}

PortRegistration::PortRegistration(const std::string& directory, int number,
                                   const std::string& target)
    : path_(directory + "/com" + std::to_string(number)), target_(target) {
    MakeDirectories(directory);
    struct stat existing {};
    if (lstat(path_.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode))
            throw std::runtime_error(
                path_ +
                " already exists and is not a link; remove it or choose another port number");
        char old[256] = {};
        readlink(path_.c_str(), old, sizeof old - 1);
        // A link left behind by a simulator that was killed points at nothing: it is replaced.
        struct stat device {};
        if (stat(path_.c_str(), &device) == 0 && S_ISCHR(device.st_mode) && target != old)
            throw std::runtime_error(path_ + " already points at the serial device " + old +
                                     "; remove it or choose another port number");
        unlink(path_.c_str());
    }
    if (symlink(target.c_str(), path_.c_str()) != 0) throw SystemError("cannot register " + path_);
}

PortRegistration::~PortRegistration() {
    char now[256] = {};
    if (readlink(path_.c_str(), now, sizeof now - 1) > 0 && target_ == now) unlink(path_.c_str());
}

} // namespace zarelsim
