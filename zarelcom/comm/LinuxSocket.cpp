// The device server's connection on Linux: BSD sockets.
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "comm/HostLookup.h"
#include "comm/LinuxDescriptors.h"
#include "comm/Socket.h"

namespace {
using Clock = std::chrono::steady_clock;

class LinuxSocket : public Socket {
public:
    explicit LinuxSocket(int fd) : fd_(fd) {}
    ~LinuxSocket() override { ::close(fd_); }

    int Send(const void* bytes, size_t count) override {
        const auto* data = static_cast<const char*>(bytes);
        while (count > 0) {
            const ssize_t sent = ::send(fd_, data, count, MSG_NOSIGNAL);
            if (sent < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            data += sent;
            count -= size_t(sent);
        }
        return 0;
    }

    int Receive(void* bytes, size_t capacity, size_t& got) override {
        got = 0;
        for (;;) {
            const ssize_t received = ::recv(fd_, bytes, capacity, 0);
            if (received >= 0) {
                got = size_t(received);
                return 0;
            }
            if (errno != EINTR) return errno;
        }
    }

    void AcknowledgeNow() override {
        // The kernel leaves quick-acknowledgement mode by itself: set it again after each read.
        const int on = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
    }

    void Shutdown() override { ::shutdown(fd_, SHUT_RDWR); }

private:
    const int fd_;
};

void SetOption(int fd, int level, int name, int value) {
    ::setsockopt(fd, level, name, &value, sizeof value);
}

// Connects fd within the deadline; 0 or the error number.
int ConnectWithin(int fd, const addrinfo& address, Clock::time_point deadline) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    if (::connect(fd, address.ai_addr, address.ai_addrlen) < 0 && errno != EINPROGRESS)
        return errno;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return ETIMEDOUT;
        pollfd watch{fd, POLLOUT, 0};
        const int ready = ::poll(&watch, 1, int(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return errno;
        if (ready == 0) return ETIMEDOUT;
        int error = 0;
        socklen_t size = sizeof error;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
        if (error != 0) return error;
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return 0;
    }
}
} // namespace

std::string SocketErrorText(int error) { return std::strerror(error); }

std::unique_ptr<Socket> Socket::Connect(const std::string& host, uint16_t port, uint32_t ms,
                                        OpenAttempt& attempt) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
    const std::optional<HostLookup> resolved = LookUpHost(host, port, ms);
    if (!resolved || resolved->status != 0) {
        attempt.error = resolved ? EHOSTUNREACH : ETIMEDOUT;
        attempt.reason = "cannot find the host " + host + ": " +
                         (resolved ? ::gai_strerror(resolved->status) : "no answer in time");
        return nullptr;
    }
    int error = EHOSTUNREACH;
    for (const addrinfo* address = resolved->addresses.get(); address; address = address->ai_next) {
        const int fd = AboveStandardStreams(::socket(
            address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol));
        if (fd < 0) {
            error = errno;
            continue;
        }
        error = ConnectWithin(fd, *address, deadline);
        if (error != 0) {
            ::close(fd);
            continue;
        }
        SetOption(fd, IPPROTO_TCP, TCP_NODELAY, 1);
        SetOption(fd, SOL_SOCKET, SO_KEEPALIVE, 1);
        SetOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, 4);
        SetOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, 2);
        SetOption(fd, IPPROTO_TCP, TCP_KEEPCNT, 3);
        SetOption(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, 10000); // unacknowledged data: dead peer
        return std::make_unique<LinuxSocket>(fd);
    }
    attempt.error = error;
    attempt.reason = SocketErrorText(error);
    return nullptr;
}
