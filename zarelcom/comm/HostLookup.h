// The host name lookup of both systems' sockets, bounded in time. Include it after the system's
// socket headers (netdb.h, or ws2tcpip.h on Windows), which declare addrinfo and getaddrinfo.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "comm/BoundedCall.h"

struct HostLookup {
    int status = 0;                      // getaddrinfo's result: 0 when addresses were found
    std::shared_ptr<addrinfo> addresses; // freed also when the lookup ends after its time
};

// The stream addresses of host and port, or nothing when the lookup took longer than ms.
inline std::optional<HostLookup> LookUpHost(const std::string& host, uint16_t port, uint32_t ms) {
    const std::string service = std::to_string(port);
    return CallWithin<HostLookup>(ms, [host, service] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        HostLookup lookup;
        addrinfo* addresses = nullptr;
        lookup.status = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &addresses);
        if (lookup.status == 0) lookup.addresses.reset(addresses, ::freeaddrinfo);
        return lookup;
    });
}
