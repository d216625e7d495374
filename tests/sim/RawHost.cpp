#include "RawHost.h"

#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace zarelsim::test {

Bytes RequestFrame(const Bytes& payload) {
    Bytes frame{0x02, uint8_t(payload.size() >> 8), uint8_t(payload.size())};
    frame.insert(frame.end(), payload.begin(), payload.end());
    unsigned sum = 0;
    for (size_t i = 1; i < frame.size(); ++i) sum += frame[i];
    frame.push_back(uint8_t(sum));
    frame.push_back(0x03);
    return frame;
}

Bytes Payload(const std::string& text) { return Bytes(text.begin(), text.end()); }

RawHost::RawHost(const std::string& path, uint32_t rate) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd_ < 0) throw std::runtime_error("cannot open " + path);
    SetRate(rate);
}

RawHost::~RawHost() { close(fd_); }

void RawHost::SetRate(uint32_t rate) {
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    const speed_t speed = rate == 9600    ? B9600
                          : rate == 19200 ? B19200
                          : rate == 38400 ? B38400
                          : rate == 57600 ? B57600
                                          : B115200;
    cfsetspeed(&t, speed);
    tcsetattr(fd_, TCSANOW, &t);
}

void RawHost::Send(const Bytes& bytes) {
    if (write(fd_, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
        throw std::runtime_error("short write");
}

Bytes RawHost::Receive(size_t count, int quietMs) {
    Bytes got;
    uint8_t buffer[1024];
    while (got.size() < count) {
        pollfd in{fd_, POLLIN, 0};
        if (poll(&in, 1, quietMs) <= 0) break;
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n <= 0) break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

Bytes RawHost::Exchange(const Bytes& payload) {
    Send(RequestFrame(payload));
    Bytes reply = Receive(3);
    if (reply.size() < 3) return reply;
    const size_t whole = (size_t(reply[1]) << 8 | reply[2]) + 5;
    if (reply.size() < whole) {
        const Bytes rest = Receive(whole - reply.size());
        reply.insert(reply.end(), rest.begin(), rest.end());
    }
    return reply;
}

} // namespace zarelsim::test
