#include "comm/NetworkPortName.h"

#include <cctype>

namespace {
constexpr const char* kRfc2217Scheme = "rfc2217://";
constexpr const char* kSocketScheme = "socket://";

bool StartsWith(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

// A decimal number from 1 to limit, digits only.
bool ParseNumber(const std::string& text, uint32_t limit, uint32_t& value) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t number = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        number = number * 10 + uint64_t(c - '0');
    }
    if (number < 1 || number > limit) return false;
    value = static_cast<uint32_t>(number);
    return true;
}
} // namespace

bool IsNetworkPortName(const std::string& name) {
    return StartsWith(name, kRfc2217Scheme) || StartsWith(name, kSocketScheme);
}

bool ParseNetworkPortName(const std::string& name, NetworkPortName& parsed, std::string& error) {
    parsed = NetworkPortName();
    parsed.rfc2217 = StartsWith(name, kRfc2217Scheme);
    if (!parsed.rfc2217 && !StartsWith(name, kSocketScheme)) {
        error = "a network port name begins with rfc2217:// or socket://";
        return false;
    }
    std::string rest = name.substr(parsed.rfc2217 ? 10 : 9);
    std::string query;
    if (const size_t mark = rest.find('?'); mark != std::string::npos) {
        query = rest.substr(mark + 1);
        rest.erase(mark);
    }
    size_t colon = std::string::npos;
    if (!rest.empty() && rest[0] == '[') {
        const size_t close = rest.find(']');
        if (close == std::string::npos || close + 1 >= rest.size() || rest[close + 1] != ':') {
            error = "an IPv6 address goes in brackets before the port: rfc2217://[::1]:4001";
            return false;
        }
        parsed.host = rest.substr(1, close - 1);
        colon = close + 1;
    } else {
        colon = rest.rfind(':');
        if (colon != std::string::npos) parsed.host = rest.substr(0, colon);
    }
    uint32_t port = 0;
    if (colon == std::string::npos || !ParseNumber(rest.substr(colon + 1), 65535, port)) {
        error = "no port number (1 to 65535) after the host in " + name;
        return false;
    }
    parsed.port = static_cast<uint16_t>(port);
    if (parsed.host.empty() || parsed.host.find_first_of("/@ ") != std::string::npos) {
        error = "no host name or address before the port in " + name;
        return false;
    }
    if (query.empty()) return true;
    if (parsed.rfc2217 || query.compare(0, 5, "baud=") != 0 ||
        !ParseNumber(query.substr(5), 4000000, parsed.baud)) {
        error = parsed.rfc2217 ? "an rfc2217:// port takes no options: it sets the rate itself"
                               : "the only option of a socket:// port is ?baud=RATE, the device "
                                 "server's line rate in bit/s";
        return false;
    }
    return true;
}
