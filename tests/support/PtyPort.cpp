#include "PtyPort.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {
[[noreturn]] void Fail(const char* what) {
    std::perror(what);
    std::abort();
}

// The process's port directory; its entries go with their ports, the directory at exit.
char portDirectory[] = "/tmp/zarelcom-ports-XXXXXX";
void RemovePortDirectory() { ::rmdir(portDirectory); }
} // namespace

std::string PtyPort::Directory() {
    static const std::string directory = [] {
        if (!::mkdtemp(portDirectory)) Fail("mkdtemp for the port directory");
        std::atexit(RemovePortDirectory);
        ::setenv("ZARELCOM_PORT_DIR", portDirectory, 1);
        return std::string(portDirectory);
    }();
    return directory;
}

PtyPort::PtyPort(int number) : number_(number) {
    char name[128];
    if (::openpty(&master_, &terminal_, name, nullptr, nullptr) < 0) Fail("openpty");
    terminalPath_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    // The terminal side keeps the system's interactive defaults (echo, line editing, XON/XOFF,
    // CR to LF): making the line raw is the library's job, and the tests check that it does.
    const std::string entry = EntryPath();
    ::unlink(entry.c_str());
    if (::symlink(terminalPath_.c_str(), entry.c_str()) < 0) Fail("symlink for the port entry");
}

PtyPort::~PtyPort() {
    ::unlink(EntryPath().c_str());
    ::close(terminal_);
    ::close(master_);
}

std::string PtyPort::EntryPath() const { return Directory() + "/com" + std::to_string(number_); }

void PtyPort::Send(const std::vector<uint8_t>& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t put = ::write(master_, bytes.data() + sent, bytes.size() - sent);
        if (put > 0) {
            sent += size_t(put);
        } else if (put < 0 && errno != EAGAIN && errno != EINTR) {
            Fail("write to the pseudo-terminal master");
        } else {
            pollfd watch{master_, POLLOUT, 0};
            ::poll(&watch, 1, 100);
        }
    }
}

std::vector<uint8_t> PtyPort::Receive(size_t count, int timeoutMs) {
    std::vector<uint8_t> got;
    int waited = 0;
    while (got.size() < count && waited <= timeoutMs) {
        uint8_t buffer[4096];
        const ssize_t read = ::read(master_, buffer, std::min(sizeof buffer, count - got.size()));
        if (read > 0) {
            got.insert(got.end(), buffer, buffer + read);
            continue;
        }
        pollfd watch{master_, POLLIN, 0};
        ::poll(&watch, 1, 10);
        waited += 10;
    }
    return got;
}

std::vector<uint8_t> PtyPort::Drain(int quietMs) { return Receive(SIZE_MAX, quietMs); }
