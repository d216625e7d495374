#include "comm/NetworkDevice.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <thread>

#include "comm/NetworkPortName.h"
#include "comm/Socket.h"
#include "comm/Telnet.h"

namespace {
using Clock = std::chrono::steady_clock;
using Lock = std::unique_lock<std::mutex>;

constexpr uint32_t kConnectMs = 5000;     // host name lookup and connection
constexpr uint32_t kAnswerMs = 2000;      // the server's answer to the option, a setting, a purge
constexpr size_t kInputLimit = 64 * 1024; // the local receive buffer; beyond it bytes are lost

enum Setting { Rate, DataSize, Parity, StopSize, SettingCount };

// The flags whose bits are set in a notification's value, by (bit, flag) pairs.
uint32_t Flags(uint8_t value, std::initializer_list<std::pair<uint8_t, uint32_t>> map) {
    uint32_t flags = 0;
    for (const auto& [bit, flag] : map)
        if (value & bit) flags |= flag;
    return flags;
}

uint32_t BigEndian(const std::string& bytes) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4 && i < bytes.size(); ++i)
        value = value << 8 | static_cast<uint8_t>(bytes[i]);
    return value;
}

// The COM port option's value of each setting.
std::array<uint32_t, SettingCount> OptionValues(const LineSettings& settings) {
    static const uint8_t stopSizes[] = {1, 3, 2}; // one, one and a half, two
    return {settings.BaudRate, settings.ByteSize, uint32_t(settings.Parity) + 1,
            settings.StopBits < 3 ? uint32_t(stopSizes[settings.StopBits]) : 0u};
}

std::string SettingText(Setting setting, uint32_t value) {
    static const char* const parities[] = {"no", "odd", "even", "mark", "space"};
    switch (setting) {
    case Rate:
        return std::to_string(value) + " bit/s";
    case DataSize:
        return std::to_string(value) + " data bits";
    case Parity:
        return std::string(value >= 1 && value <= 5 ? parities[value - 1] : "unknown") + " parity";
    default:
        return value == 3 ? "one and a half stop bits" : std::to_string(value) + " stop bits";
    }
}

class NetworkDevice final : public Device, private telnet::Receiver {
public:
    NetworkDevice(std::unique_ptr<Socket> socket, const NetworkPortName& name)
        : socket_(std::move(socket)), name_(name) {
        comPort_ = name.rfc2217 ? ComPort::Asked : ComPort::Refused;
        applied_.BaudRate = name.baud;
        reader_ = std::thread([this] { ReceiveLoop(); });
    }

    ~NetworkDevice() override {
        socket_->Shutdown();
        reader_.join();
    }

    // Agrees the telnet options with an rfc2217:// server and reads its line rate; false with
    // attempt filled when the connection ends first (a port in use at the server).
    bool Negotiate(OpenAttempt& attempt) {
        std::string offer;
        telnet::AppendNegotiation(offer, telnet::WILL, telnet::Binary);
        telnet::AppendNegotiation(offer, telnet::DO, telnet::Binary);
        telnet::AppendNegotiation(offer, telnet::WILL, telnet::ComPort);
        {
            const Lock lock(mutex_);
            options_[telnet::Binary].askedUs = options_[telnet::Binary].askedHim = true;
            options_[telnet::ComPort].askedUs = true;
        }
        Send(offer);
        Lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(kAnswerMs),
                          [this] { return comPort_ != ComPort::Asked || lost_; });
        if (comPort_ == ComPort::Asked) comPort_ = ComPort::Refused; // a server that never answers
        if (comPort_ == ComPort::Accepted && !lost_) {
            // A query of the rate, so that a server that turns the client away has done so.
            acked_[Rate].reset();
            std::string query;
            telnet::AppendComPort(query, telnet::SetBaudRate, std::string(4, '\0'));
            lock.unlock();
            Send(query);
            lock.lock();
            changed_.wait_for(lock, std::chrono::milliseconds(kAnswerMs),
                              [this] { return acked_[Rate].has_value() || lost_; });
            if (acked_[Rate]) applied_.BaudRate = *acked_[Rate];
        }
        if (!lost_) return true;
        const bool busy = Heard("in use");
        attempt.refused = busy ? OpenRefused::Busy : OpenRefused::Other;
        attempt.error = busy ? EBUSY : lostCode_;
        attempt.reason =
            busy ? "the device server says the port is in use by another client" : reason_;
        return false;
    }

    bool IsSerialDevice() override { return true; }
    int SetupQueues(uint32_t, uint32_t) override { return 0; }

    int GetLineSettings(LineSettings& settings) override {
        const Lock lock(mutex_);
        settings = applied_;
        return lost_ ? lostCode_ : 0;
    }

    int SetLineSettings(const LineSettings& settings) override {
        Lock lock(mutex_);
        if (lost_) return lostCode_;
        if (comPort_ != ComPort::Accepted) return SetRawLine(settings);
        const auto wanted = OptionValues(settings), current = OptionValues(applied_);
        std::string request;
        std::array<bool, SettingCount> sent{};
        for (int s = 0; s < SettingCount; ++s) {
            if (appliedOnce_ && wanted[s] == current[s]) continue;
            sent[s] = true;
            acked_[s].reset();
            std::string value;
            if (s == Rate)
                for (int shift = 24; shift >= 0; shift -= 8)
                    value.push_back(static_cast<char>(wanted[s] >> shift));
            else
                value.push_back(static_cast<char>(wanted[s]));
            telnet::AppendComPort(request, static_cast<uint8_t>(telnet::SetBaudRate + s), value);
        }
        if (!request.empty()) {
            lock.unlock();
            if (int code = Send(request)) return code;
            lock.lock();
            changed_.wait_for(lock, std::chrono::milliseconds(kAnswerMs), [&] {
                for (int s = 0; s < SettingCount; ++s)
                    if (sent[s] && !acked_[s]) return lost_;
                return true;
            });
            if (lost_) return lostCode_;
            for (int s = 0; s < SettingCount; ++s) {
                if (!sent[s]) continue;
                const std::string what = SettingText(Setting(s), wanted[s]);
                if (!acked_[s]) {
                    reason_ = "the device server did not acknowledge " + what + " within " +
                              std::to_string(kAnswerMs / 1000) + " s";
                    return ETIMEDOUT;
                }
                if (*acked_[s] != wanted[s]) {
                    reason_ = "the device server did not accept " + what;
                    return EINVAL;
                }
            }
        }
        applied_ = settings;
        appliedOnce_ = true;
        return 0;
    }

    int SetTimeouts(const CommTimeouts& timeouts) override {
        const Lock lock(mutex_);
        timeouts_ = timeouts;
        return 0;
    }

    int Read(void* buffer, uint32_t count, uint32_t& transferred) override {
        transferred = 0;
        Lock lock(mutex_);
        if (lost_) return lostCode_;
        if (count == 0) return 0;
        const CommTimeouts timeouts = timeouts_;
        const uint64_t total = uint64_t(timeouts.ReadTotalTimeoutMultiplier) * count +
                               timeouts.ReadTotalTimeoutConstant;
        const bool returnWhatWaits = timeouts.ReadIntervalTimeout == CommTimeouts::NoInterval &&
                                     timeouts.ReadTotalTimeoutMultiplier == 0;
        const uint64_t purges = purges_;
        const auto ready = [&] {
            return input_.size() >= count || (returnWhatWaits && !input_.empty()) || lost_ ||
                   purges_ != purges;
        };
        if (total == 0 && !returnWhatWaits)
            changed_.wait(lock, ready);
        else if (total > 0)
            changed_.wait_for(lock, std::chrono::milliseconds(total), ready);
        if (purges_ != purges) return ECANCELED;
        if (lost_) return lostCode_;
        transferred = static_cast<uint32_t>(std::min<size_t>(count, input_.size()));
        std::copy_n(input_.begin(), transferred, static_cast<uint8_t*>(buffer));
        input_.erase(input_.begin(), input_.begin() + transferred);
        return 0;
    }

    int Write(const void* buffer, uint32_t count, uint32_t& transferred) override {
        transferred = 0;
        if (count == 0) return 0;
        {
            const Lock lock(mutex_);
            if (lost_) return lostCode_;
        }
        std::string bytes;
        if (name_.rfc2217)
            telnet::AppendData(bytes, buffer, count);
        else
            bytes.assign(static_cast<const char*>(buffer), count);
        if (int code = Send(bytes)) return code;
        transferred = count;
        Raise(evbTxEmpty); // on its way: the server's line is no nearer to be seen from here
        return 0;
    }

    int ClearError(uint32_t& errors, CommStatus& status) override {
        const Lock lock(mutex_);
        errors = errors_;
        errors_ = 0;
        status = CommStatus();
        status.InQue = static_cast<uint32_t>(input_.size());
        return lost_ ? lostCode_ : 0;
    }

    int Purge(uint32_t flags) override {
        std::string request;
        {
            const Lock lock(mutex_);
            if (flags & purgeRxAbort) ++purges_;
            if (flags & purgeRxClear) {
                // Bytes were coming: more of them may be on the way from the server's buffer.
                const bool stale = !input_.empty() || Dropping();
                input_.clear();
                if (stale && comPort_ == ComPort::Accepted && !lost_) {
                    dropUntil_ = Clock::now() + std::chrono::milliseconds(kAnswerMs);
                    telnet::AppendComPort(request, telnet::PurgeData, std::string(1, '\1'));
                }
            }
        }
        changed_.notify_all();
        return request.empty() ? 0 : Send(request);
    }

    int Escape(uint32_t code) override {
        uint8_t control = 0;
        switch (code) {
        case escSetBreak:
            control = 5;
            break;
        case escClrBreak:
            control = 6;
            break;
        case escSetDtr:
            control = 8;
            break;
        case escClrDtr:
            control = 9;
            break;
        case escSetRts:
            control = 11;
            break;
        case escClrRts:
            control = 12;
            break;
        case escSetXon:
        case escSetXoff:
            break; // the server's own flow; nothing to drive
        default:
            return EINVAL;
        }
        bool send = false;
        {
            const Lock lock(mutex_);
            if (lost_) return lostCode_;
            send = control != 0 && comPort_ == ComPort::Accepted;
        }
        if (!send) return 0;
        std::string request;
        telnet::AppendComPort(request, telnet::SetControl,
                              std::string(1, static_cast<char>(control)));
        return Send(request); // unanswered or answered wrongly by some servers: not awaited
    }

    int GetModemStatus(uint32_t& lines) override {
        const Lock lock(mutex_);
        lines = modemLines_;
        return lost_ ? lostCode_ : 0;
    }

    int SetEventMask(uint32_t mask) override {
        {
            const Lock lock(mutex_);
            eventMask_ = mask;
            events_ &= mask;
        }
        changed_.notify_all();
        return 0;
    }

    // A lost connection raises no event: the wait goes on until it is cancelled.
    int WaitEvent(uint32_t& events) override {
        events = 0;
        Lock lock(mutex_);
        changed_.wait(lock, [this] { return cancelWait_ || (events_ & eventMask_) != 0; });
        if (cancelWait_) {
            cancelWait_ = false;
            return ECANCELED;
        }
        events = events_ & eventMask_;
        events_ = 0;
        return 0;
    }

    void CancelWait() override {
        {
            const Lock lock(mutex_);
            cancelWait_ = true;
        }
        changed_.notify_all();
    }

    int WaitInput(uint32_t count, uint32_t ms, uint32_t& queued) override {
        Lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(ms),
                          [&] { return input_.size() >= count || lost_; });
        queued = static_cast<uint32_t>(input_.size());
        return lost_ ? lostCode_ : 0;
    }

    int WaitOutputEmpty(uint32_t, uint32_t& unsent) override {
        unsent = 0;
        const Lock lock(mutex_);
        return lost_ ? lostCode_ : 0;
    }

    std::string Reason() const override {
        const Lock lock(mutex_);
        return reason_;
    }

    bool Lost() const override {
        const Lock lock(mutex_);
        return lost_;
    }

    uint32_t FixedRate() const override { return name_.rfc2217 ? 0 : name_.baud; }

private:
    enum class ComPort { Asked, Accepted, Refused };
    struct Option {
        bool us = false, him = false;               // in force on our side / the server's
        bool askedUs = false, askedHim = false;     // our request is open
        bool refusedUs = false, refusedHim = false; // refused once: never again
    };

    static bool WantedHere(uint8_t option) {
        return option == telnet::Binary || option == telnet::SuppressGoAhead ||
               option == telnet::ComPort;
    }
    static bool WantedThere(uint8_t option) {
        return option == telnet::Binary || option == telnet::SuppressGoAhead;
    }

    int Send(const std::string& bytes) {
        const std::lock_guard<std::mutex> lock(sendMutex_);
        return socket_->Send(bytes.data(), bytes.size());
    }

    void Raise(uint32_t event) {
        {
            const Lock lock(mutex_);
            if (!(eventMask_ & event)) return;
            events_ |= event;
        }
        changed_.notify_all();
    }

    // Under mutex_.
    bool Dropping() const { return dropUntil_ && Clock::now() < *dropUntil_; }
    bool Heard(const char* words) const {
        const std::string heard(input_.begin(), input_.end());
        return heard.find(words) != std::string::npos;
    }

    // Under mutex_: a raw line cannot be set; the server's rate is accepted, or without a known
    // rate only the one the port opened with.
    int SetRawLine(const LineSettings& settings) {
        const uint32_t known = FixedRate();
        const bool accepted = known ? settings.BaudRate == known
                                    : !appliedOnce_ || settings.BaudRate == lastAskedRate_;
        lastAskedRate_ = settings.BaudRate;
        if (!accepted) {
            const std::string asked = SettingText(Rate, settings.BaudRate);
            if (known)
                reason_ = "the device server's line is set to " + SettingText(Rate, known) +
                          ", and a raw TCP port cannot change it to " + asked;
            else if (name_.rfc2217)
                reason_ = "the device server refused the COM port option, so it cannot be set to " +
                          asked;
            else
                reason_ = "a raw TCP port cannot change the line rate to " + asked +
                          ": state the device server's rate in the port name, "
                          "socket://host:port?baud=RATE";
            return EINVAL;
        }
        applied_ = settings;
        appliedOnce_ = true;
        return 0;
    }

    void ReceiveLoop() {
        uint8_t chunk[4096];
        for (;;) {
            size_t got = 0;
            const int code = socket_->Receive(chunk, sizeof chunk, got);
            if (code != 0 || got == 0) {
                MarkLost(code);
                return;
            }
            if (name_.rfc2217) socket_->AcknowledgeNow();
            std::string replies;
            {
                const Lock lock(mutex_);
                if (name_.rfc2217)
                    decoder_.Feed(chunk, got, *this);
                else
                    Data(chunk, got);
                replies.swap(replies_);
            }
            changed_.notify_all();
            if (!replies.empty()) Send(replies);
        }
    }

    void MarkLost(int code) {
        {
            const Lock lock(mutex_);
            lost_ = true;
            lostCode_ = code != 0 ? code : ECONNRESET;
            reason_ = code != 0
                          ? "the connection to the device server failed: " + SocketErrorText(code)
                          : "the device server ended the connection";
            if (Heard("in use")) reason_ = "the device server says the port is in use";
            reason_ += "; open the port to connect again";
        }
        changed_.notify_all();
    }

    // telnet::Receiver, on the receiving thread under mutex_.
    void Data(const uint8_t* bytes, size_t count) override {
        if (Dropping()) return;
        const size_t room = kInputLimit - std::min(kInputLimit, input_.size());
        if (count > room) errors_ |= ceRxOver;
        input_.insert(input_.end(), bytes, bytes + std::min(count, room));
        if (eventMask_ & evbRxChar) events_ |= evbRxChar;
    }

    void Negotiation(uint8_t verb, uint8_t option) override {
        Option& state = options_[option];
        const auto reply = [this, option](uint8_t answer) {
            telnet::AppendNegotiation(replies_, answer, option);
        };
        switch (verb) {
        case telnet::WILL:
            if (!WantedThere(option)) {
                if (!state.refusedHim) reply(telnet::DONT);
                state.refusedHim = true;
            } else if (!state.him) {
                state.him = true;
                if (!state.askedHim) reply(telnet::DO);
            }
            state.askedHim = false;
            break;
        case telnet::WONT:
            if (state.him && !state.askedHim) reply(telnet::DONT);
            state.him = state.askedHim = false;
            break;
        case telnet::DO:
            if (!WantedHere(option)) {
                if (!state.refusedUs) reply(telnet::WONT);
                state.refusedUs = true;
            } else if (!state.us) {
                state.us = true;
                if (!state.askedUs) reply(telnet::WILL);
            }
            state.askedUs = false;
            if (option == telnet::ComPort && comPort_ == ComPort::Asked)
                comPort_ = ComPort::Accepted;
            break;
        case telnet::DONT:
            if (state.us && !state.askedUs) reply(telnet::WONT);
            state.us = state.askedUs = false;
            if (option == telnet::ComPort) comPort_ = ComPort::Refused;
            break;
        }
    }

    void Subnegotiation(uint8_t option, const std::string& body) override {
        if (option != telnet::ComPort || body.size() < 2) return;
        const uint8_t command = static_cast<uint8_t>(body[0]) - telnet::ServerReply;
        const std::string value = body.substr(1);
        const uint8_t first = static_cast<uint8_t>(value[0]);
        switch (command) {
        case telnet::SetBaudRate:
            if (value.size() == 4) acked_[Rate] = BigEndian(value);
            break;
        case telnet::SetDataSize:
        case telnet::SetParity:
        case telnet::SetStopSize:
            acked_[command - telnet::SetBaudRate] = first;
            break;
        case telnet::NotifyLineState:
            errors_ |= Flags(
                first, {{0x02, ceOverrun}, {0x04, ceRxParity}, {0x08, ceFrame}, {0x10, ceBreak}});
            events_ |= eventMask_ & Flags(first, {{0x10, evbBreak}, {0x0E, evbErr}});
            break;
        case telnet::NotifyModemState:
            // The line bits are those of the modem status; the low four tell what changed.
            modemLines_ = first & (msCtsOn | msDsrOn | msRingOn | msRlsdOn);
            events_ |=
                eventMask_ &
                Flags(first, {{0x01, evbCts}, {0x02, evbDsr}, {0x04, evbRing}, {0x08, evbRlsd}});
            break;
        case telnet::PurgeData:
            if (first == 1 || first == 3) dropUntil_.reset();
            break;
        }
    }

    const std::unique_ptr<Socket> socket_;
    const NetworkPortName name_;
    std::mutex sendMutex_; // one writer on the socket at a time
    std::thread reader_;
    telnet::Decoder decoder_; // the receiving thread's

    mutable std::mutex mutex_; // guards everything below
    std::condition_variable changed_;
    std::deque<uint8_t> input_;
    std::string replies_; // negotiation answers, sent once the received bytes are handled
    std::array<Option, 256> options_{};
    ComPort comPort_;
    std::array<std::optional<uint32_t>, SettingCount> acked_{};
    LineSettings applied_;
    bool appliedOnce_ = false;
    uint32_t lastAskedRate_ = 0;
    CommTimeouts timeouts_;
    std::optional<Clock::time_point> dropUntil_; // stale bytes are dropped until the purge answer
    uint64_t purges_ = 0;
    uint32_t errors_ = 0, modemLines_ = 0;
    uint32_t eventMask_ = 0, events_ = 0;
    bool cancelWait_ = false;
    bool lost_ = false;
    int lostCode_ = 0;
    std::string reason_;
};
} // namespace

std::unique_ptr<Device> OpenNetworkDevice(const std::string& name, OpenAttempt& attempt) {
    attempt = OpenAttempt();
    attempt.device = name;
    NetworkPortName parsed;
    std::string error;
    if (!ParseNetworkPortName(name, parsed, error)) {
        attempt.refused = OpenRefused::Missing;
        attempt.error = EINVAL;
        attempt.reason = error;
        return nullptr;
    }
    std::unique_ptr<Socket> socket = Socket::Connect(parsed.host, parsed.port, kConnectMs, attempt);
    if (!socket) {
        attempt.refused = OpenRefused::Other;
        return nullptr;
    }
    auto device = std::make_unique<NetworkDevice>(std::move(socket), parsed);
    if (parsed.rfc2217 && !device->Negotiate(attempt)) return nullptr;
    return device;
}
