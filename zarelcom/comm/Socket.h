// A TCP connection to a device server, the one piece of the network ports that differs between
// Linux and Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "comm/Device.h"

class Socket {
public:
    virtual ~Socket() = default;
    // Resolves host (within the time allowed: a name server that does not answer is no reason
    // to hang) and connects within ms in all, trying each address. Nagle's delay is off and
    // keep-alive probes find a dead peer within about ten seconds. Null with attempt's error and
    // reason filled when no address connects.
    static std::unique_ptr<Socket> Connect(const std::string& host, uint16_t port, uint32_t ms,
                                           OpenAttempt& attempt);

    // Sends every byte; 0, or the system's error number.
    virtual int Send(const void* bytes, size_t count) = 0;
    // Blocks until bytes come; got 0 at the end of the stream. 0, or the system's error number.
    virtual int Receive(void* bytes, size_t capacity, size_t& got) = 0;
    // Acknowledges what came at once rather than after the delayed-acknowledgement pause, so that
    // a server that holds its next small segment until then (Nagle's rule) is not held.
    virtual void AcknowledgeNow() = 0;
    // Ends both directions: a Receive that blocks returns.
    virtual void Shutdown() = 0;
};

// The system's text for one of its socket error numbers.
std::string SocketErrorText(int error);
