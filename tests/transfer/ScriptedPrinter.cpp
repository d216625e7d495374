#include "ScriptedPrinter.h"

#include <poll.h>
#include <unistd.h>

#include <sstream>
#include <stdexcept>

Bytes Frame(const Bytes &payload) {
    Bytes frame{0x02, static_cast<uint8_t>(payload.size() >> 8),
                static_cast<uint8_t>(payload.size())};
    frame.insert(frame.end(), payload.begin(), payload.end());
    uint8_t sum = 0;
    for (size_t i = 1; i < frame.size(); ++i) sum = static_cast<uint8_t>(sum + frame[i]);
    frame.push_back(sum);
    frame.push_back(0x03);
    return frame;
}

Bytes Hex(const std::string &text) {
    Bytes bytes;
    std::istringstream in(text);
    std::string pair;
    while (in >> pair) bytes.push_back(static_cast<uint8_t>(std::stoul(pair, nullptr, 16)));
    return bytes;
}

std::optional<Bytes> Ok() { return Bytes{'O'}; }

ScriptedPrinter::ScriptedPrinter(int comNumber, Mode mode, Script script)
    : port_(comNumber), mode_(mode), script_(std::move(script)) {
    if (pipe(wake_) != 0) throw std::runtime_error("cannot make the printer's wake-up pipe");
    thread_ = std::thread([this] { Serve(); });
}

ScriptedPrinter::~ScriptedPrinter() {
    (void)!write(wake_[1], "x", 1);
    thread_.join();
    close(wake_[0]);
    close(wake_[1]);
}

std::vector<Bytes> ScriptedPrinter::Frames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
}

std::string ScriptedPrinter::Typed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return typed_;
}

void ScriptedPrinter::Serve() {
    pollfd fds[2] = {{port_.Master(), POLLIN, 0}, {wake_[0], POLLIN, 0}};
    uint8_t chunk[4096];
    while (poll(fds, 2, -1) >= 0 && !(fds[1].revents & POLLIN)) {
        if (!(fds[0].revents & POLLIN)) continue;
        const ssize_t got = read(port_.Master(), chunk, sizeof chunk);
        if (got <= 0) continue;
        if (mode_ == Mode::Terminal) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                typed_.append(reinterpret_cast<char *>(chunk), static_cast<size_t>(got));
            }
            port_.Send(Bytes(chunk, chunk + got));
            continue;
        }
        pending_.insert(pending_.end(), chunk, chunk + got);
        HandlePacketBytes();
    }
}

void ScriptedPrinter::HandlePacketBytes() {
    for (;;) {
        while (!pending_.empty() && pending_[0] != 0x02) pending_.erase(pending_.begin());
        if (pending_.size() < 3) return;
        const size_t length = static_cast<size_t>(pending_[1]) << 8 | pending_[2];
        if (pending_.size() < length + 5) return;
        const Bytes frame(pending_.begin(), pending_.begin() + static_cast<long>(length + 5));
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(length + 5));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            frames_.push_back(frame);
        }
        const std::optional<Bytes> reply = script_ ? script_(frame) : Ok();
        if (!reply) continue;
        Bytes payload{'0'};
        payload.insert(payload.end(), reply->begin(), reply->end());
        port_.Send(Frame(payload));
    }
}
