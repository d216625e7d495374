// The device server's connection on Windows: Winsock.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <mstcpip.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <memory>

#include "comm/HostLookup.h"
#include "comm/Socket.h"

namespace {
using Clock = std::chrono::steady_clock;

// Winsock is started once for the process and left running.
bool WinsockStarted() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

class Win32Socket : public Socket {
public:
    explicit Win32Socket(SOCKET socket) : socket_(socket) {}
    ~Win32Socket() override {
        if (!closed_.exchange(true)) ::closesocket(socket_);
    }

    int Send(const void* bytes, size_t count) override {
        const auto* data = static_cast<const char*>(bytes);
        while (count > 0) {
            const int sent = ::send(socket_, data, int(count > 1 << 30 ? 1 << 30 : count), 0);
            if (sent == SOCKET_ERROR) return ::WSAGetLastError();
            data += sent;
            count -= size_t(sent);
        }
        return 0;
    }

    int Receive(void* bytes, size_t capacity, size_t& got) override {
        got = 0;
        const int received = ::recv(socket_, static_cast<char*>(bytes), int(capacity), 0);
        if (received == SOCKET_ERROR) return ::WSAGetLastError();
        got = size_t(received);
        return 0;
    }

    // Windows has no per-read quick acknowledgement; its delayed acknowledgement is 200 ms at
    // most and ends at the second segment, which the next request is.
    void AcknowledgeNow() override {}

    // Closing is what cancels a blocking receive on Windows; the shutdown before it ends the
    // stream in order.
    void Shutdown() override {
        ::shutdown(socket_, SD_BOTH);
        if (!closed_.exchange(true)) ::closesocket(socket_);
    }

private:
    const SOCKET socket_;
    std::atomic<bool> closed_{false};
};

// Connects within the deadline; 0 or the error number.
int ConnectWithin(SOCKET socket, const addrinfo& address, Clock::time_point deadline) {
    u_long nonBlocking = 1;
    ::ioctlsocket(socket, FIONBIO, &nonBlocking);
    if (::connect(socket, address.ai_addr, int(address.ai_addrlen)) == SOCKET_ERROR &&
        ::WSAGetLastError() != WSAEWOULDBLOCK)
        return ::WSAGetLastError();
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return WSAETIMEDOUT;
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket, &writable);
    FD_SET(socket, &failed);
    timeval wait{long(left / 1000), long(left % 1000 * 1000)};
    const int ready = ::select(0, nullptr, &writable, &failed, &wait);
    if (ready == SOCKET_ERROR) return ::WSAGetLastError();
    if (ready == 0) return WSAETIMEDOUT;
    int error = 0;
    int size = sizeof error;
    ::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
    if (error != 0) return error;
    if (!FD_ISSET(socket, &writable)) return WSAECONNREFUSED;
    nonBlocking = 0;
    ::ioctlsocket(socket, FIONBIO, &nonBlocking);
    return 0;
}

void Configure(SOCKET socket) {
    const BOOL on = TRUE;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    ::setsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on), sizeof on);
    tcp_keepalive probes{1, 4000, 2000};
    DWORD returned = 0;
    ::WSAIoctl(socket, SIO_KEEPALIVE_VALS, &probes, sizeof probes, nullptr, 0, &returned, nullptr,
               nullptr);
}
} // namespace

std::string SocketErrorText(int error) {
    char text[256] = "";
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, DWORD(error),
        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), text, sizeof text, nullptr);
    std::string reason(text, length);
    while (!reason.empty() &&
           (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
        reason.pop_back();
    return reason.empty() ? "socket error " + std::to_string(error) : reason;
}

std::unique_ptr<Socket> Socket::Connect(const std::string& host, uint16_t port, uint32_t ms,
                                        OpenAttempt& attempt) {
    if (!WinsockStarted()) {
        attempt.error = WSASYSNOTREADY;
        attempt.reason = "Windows sockets could not be started";
        return nullptr;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
    const std::optional<HostLookup> resolved = LookUpHost(host, port, ms);
    if (!resolved || resolved->status != 0) {
        attempt.error = resolved ? resolved->status : WSAETIMEDOUT;
        attempt.reason = "cannot find the host " + host + ": " +
                         (resolved ? SocketErrorText(resolved->status) : "no answer in time");
        return nullptr;
    }
    int error = WSAEHOSTUNREACH;
    for (const addrinfo* address = resolved->addresses.get(); address; address = address->ai_next) {
        const SOCKET socket =
            ::socket(address->ai_family, address->ai_socktype, address->ai_protocol);
        if (socket == INVALID_SOCKET) {
            error = ::WSAGetLastError();
            continue;
        }
        error = ConnectWithin(socket, *address, deadline);
        if (error != 0) {
            ::closesocket(socket);
            continue;
        }
        Configure(socket);
        return std::make_unique<Win32Socket>(socket);
    }
    attempt.error = error;
    attempt.reason = SocketErrorText(error);
    return nullptr;
}
