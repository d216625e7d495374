#include "VirtualPlatform.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

// One open device on the virtual line; every operation goes to the platform's state.
class VirtualPlatform::VirtualDevice : public Device {
public:
    VirtualDevice(VirtualPlatform& line, bool serial) : line_(line), serial_(serial) {}
    ~VirtualDevice() override {
        std::lock_guard<std::mutex> guard(line_.mutex_);
        line_.open_ = false;
    }

    bool IsSerialDevice() override { return serial_; }

    int SetupQueues(uint32_t, uint32_t) override {
        std::lock_guard<std::mutex> guard(line_.mutex_);
        return line_.TakeFailure(Operation::SetupQueues);
    }

    int GetLineSettings(LineSettings& settings) override {
        std::lock_guard<std::mutex> guard(line_.mutex_);
        if (int error = line_.TakeFailure(Operation::GetLineSettings)) return error;
        settings = line_.line_;
        return 0;
    }

    int SetLineSettings(const LineSettings& settings) override {
        std::lock_guard<std::mutex> guard(line_.mutex_);
        if (int error = line_.TakeFailure(Operation::SetLineSettings)) return error;
        line_.line_ = settings;
        ++line_.lineWrites_;
        return 0;
    }

    int SetTimeouts(const CommTimeouts& timeouts) override {
        std::lock_guard<std::mutex> guard(line_.mutex_);
        if (int error = line_.TakeFailure(Operation::SetTimeouts)) return error;
        line_.timeouts_ = timeouts;
        return 0;
    }

    int Read(void* buffer, uint32_t count, uint32_t& transferred) override {
        std::lock_guard<std::mutex> guard(line_.mutex_);
        transferred = 0;
        if (count == 0) return 0;
        const CommTimeouts& timeouts = line_.timeouts_;
        const bool immediate = timeouts.ReadIntervalTimeout == CommTimeouts::NoInterval &&
                               timeouts.ReadTotalTimeoutMultiplier == 0;
        const uint64_t total = uint64_t(timeouts.ReadTotalTimeoutMultiplier) * count +
                               timeouts.ReadTotalTimeoutConstant;
        const uint32_t due = line_.DueCount();
        if (!(immediate && (due > 0 || total == 0))) {
            // Wait until count bytes are there, or until the time-out.
            const auto& input = line_.input_;
            if (input.size() >= count && input[count - 1].at <= line_.now_ + total)
                line_.now_ = std::max(line_.now_, input[count - 1].at);
            else
                line_.now_ += total;
        }
        auto* bytes = static_cast<uint8_t*>(buffer);
        while (transferred < count && !line_.input_.empty() &&
               line_.input_.front().at <= line_.now_) {
            bytes[transferred++] = line_.input_.front().byte;
            line_.input_.pop_front();
        }
        return 0;
    }

    int Write(const void* buffer, uint32_t count, uint32_t& transferred) override {
        transferred = 0;
        if (count == 0) return 0;
        std::vector<uint8_t> block(static_cast<const uint8_t*>(buffer),
                                   static_cast<const uint8_t*>(buffer) + count);
        uint64_t now = 0;
        Peer peer;
        {
            std::lock_guard<std::mutex> guard(line_.mutex_);
            if (line_.stallWrites_) {
                line_.now_ += uint64_t(line_.timeouts_.WriteTotalTimeoutMultiplier) * count +
                              line_.timeouts_.WriteTotalTimeoutConstant;
                return 0;
            }
            if (line_.sendAtLineRate_) {
                const uint64_t byteUs = WireMicroseconds(line_.line_, 1);
                uint64_t sentUs =
                    std::max(line_.now_ * 1000,
                             line_.unsentUntilUs_.empty() ? 0 : line_.unsentUntilUs_.back());
                for (uint32_t i = 0; i < count; ++i)
                    line_.unsentUntilUs_.push_back(sentUs += byteUs);
            }
            line_.written_.insert(line_.written_.end(), block.begin(), block.end());
            line_.blocks_.push_back({line_.now_, block});
            transferred = count;
            now = line_.now_;
            peer = line_.peer_;
        }
        if (peer) peer(line_, block, now);
        return 0;
    }

    int ClearError(uint32_t& errors, CommStatus& status) override {
        std::lock_guard<std::mutex> guard(line_.mutex_);
        errors = line_.errors_;
        line_.errors_ = 0;
        status = line_.status_;
        status.InQue = line_.DueCount();
        if (line_.sendAtLineRate_) status.OutQue = line_.UnsentCount();
        return 0;
    }

    int Purge(uint32_t flags) override {
        std::lock_guard<std::mutex> guard(line_.mutex_);
        line_.purges_.push_back(flags);
        if (flags & purgeRxClear) {
            auto& input = line_.input_;
            while (!input.empty() && input.front().at <= line_.now_) input.pop_front();
        }
        if (flags & purgeTxClear) {
            line_.status_.OutQue = 0;
            line_.purgedUnsent_ += line_.UnsentCount();
            line_.unsentUntilUs_.clear();
        }
        return 0;
    }

    int Escape(uint32_t code) override {
        std::lock_guard<std::mutex> guard(line_.mutex_);
        if (int error = line_.TakeFailure(Operation::Escape)) return error;
        line_.escapes_.push_back(code);
        return 0;
    }

    int GetModemStatus(uint32_t& lines) override {
        std::lock_guard<std::mutex> guard(line_.mutex_);
        lines = line_.modemLines_;
        return 0;
    }

    int SetEventMask(uint32_t mask) override {
        std::lock_guard<std::mutex> guard(line_.mutex_);
        line_.eventMask_ = mask;
        return 0;
    }

    int WaitEvent(uint32_t& events) override {
        std::unique_lock<std::mutex> lock(line_.mutex_);
        line_.eventRaised_.wait(lock, [this] {
            return line_.cancelWait_ || (line_.raisedEvents_ & line_.eventMask_) != 0;
        });
        if (line_.cancelWait_) {
            line_.cancelWait_ = false;
            return ECANCELED;
        }
        events = line_.raisedEvents_ & line_.eventMask_;
        line_.raisedEvents_ = 0;
        return 0;
    }

    void CancelWait() override {
        {
            std::lock_guard<std::mutex> guard(line_.mutex_);
            line_.cancelWait_ = true;
        }
        line_.eventRaised_.notify_all();
    }

    int WaitInput(uint32_t count, uint32_t ms, uint32_t& queued) override {
        std::lock_guard<std::mutex> guard(line_.mutex_);
        line_.waits_.push_back(ms);
        const auto& input = line_.input_;
        if (line_.DueCount() < count) {
            if (input.size() >= count && input[count - 1].at <= line_.now_ + ms)
                line_.now_ = input[count - 1].at;
            else
                line_.now_ += ms;
        }
        queued = line_.DueCount();
        return 0;
    }

    int WaitOutputEmpty(uint32_t ms, uint32_t& unsent) override {
        std::lock_guard<std::mutex> guard(line_.mutex_);
        line_.waits_.push_back(ms);
        if (line_.sendAtLineRate_) {
            if (line_.UnsentCount() > 0)
                line_.now_ = std::min(line_.now_ + ms, (line_.unsentUntilUs_.back() + 999) / 1000);
            unsent = line_.UnsentCount();
            return 0;
        }
        // The output queue holds what SetStatus put there until a purge: it never drains by itself.
        if (line_.status_.OutQue > 0) line_.now_ += ms;
        unsent = line_.status_.OutQue;
        return 0;
    }

private:
    VirtualPlatform& line_;
    const bool serial_;
};

VirtualPlatform::VirtualPlatform() = default;
VirtualPlatform::~VirtualPlatform() = default;

int VirtualPlatform::TakeFailure(Operation operation) {
    const auto failure = failures_.find(operation);
    if (failure == failures_.end()) return 0;
    const int error = failure->second.error;
    if (--failure->second.times <= 0) failures_.erase(failure);
    return error;
}

uint32_t VirtualPlatform::DueCount() const {
    uint32_t due = 0;
    for (const Arrival& arrival : input_) {
        if (arrival.at > now_) break;
        ++due;
    }
    return due;
}

void VirtualPlatform::AddDevice(const std::string& name, Kind kind) {
    std::lock_guard<std::mutex> guard(mutex_);
    names_[name] = kind;
}

std::unique_ptr<Device> VirtualPlatform::OpenDevice(const std::string& name, OpenAttempt& attempt) {
    std::lock_guard<std::mutex> guard(mutex_);
    const auto entry = names_.find(name);
    attempt = OpenAttempt();
    attempt.device = name;
    if (entry == names_.end() || open_) {
        attempt.error = open_ ? EBUSY : ENOENT;
        attempt.refused = open_ ? OpenRefused::Busy : OpenRefused::Missing;
        attempt.reason = std::strerror(attempt.error);
        return nullptr;
    }
    open_ = true;
    ++openCount_;
    cancelWait_ = false;
    raisedEvents_ = 0;
    return std::make_unique<VirtualDevice>(*this, entry->second == Kind::Serial);
}

bool VirtualPlatform::IsOpen() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return open_;
}

int VirtualPlatform::OpenCount() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return openCount_;
}

uint64_t VirtualPlatform::Now() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return now_;
}

void VirtualPlatform::Sleep(uint32_t ms) {
    std::lock_guard<std::mutex> guard(mutex_);
    sleeps_.push_back(ms);
    now_ += ms;
}

std::vector<uint32_t> VirtualPlatform::Sleeps() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return sleeps_;
}

std::vector<uint32_t> VirtualPlatform::Waits() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return waits_;
}

void VirtualPlatform::SetPeer(Peer peer) {
    std::lock_guard<std::mutex> guard(mutex_);
    peer_ = std::move(peer);
}

void VirtualPlatform::Arrive(const std::vector<uint8_t>& bytes, uint64_t afterMs) {
    std::lock_guard<std::mutex> guard(mutex_);
    const uint64_t at = now_ + afterMs;
    auto position = std::find_if(input_.begin(), input_.end(),
                                 [at](const Arrival& arrival) { return arrival.at > at; });
    for (uint8_t byte : bytes) position = std::next(input_.insert(position, {at, byte}));
}

std::vector<uint8_t> VirtualPlatform::Written() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return written_;
}

std::vector<VirtualPlatform::WriteBlock> VirtualPlatform::WriteBlocks() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return blocks_;
}

uint32_t VirtualPlatform::InQueue() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return DueCount();
}

void VirtualPlatform::FailNext(Operation operation, int error, int times) {
    std::lock_guard<std::mutex> guard(mutex_);
    failures_[operation] = {error, times};
}

void VirtualPlatform::StallWrites(bool on) {
    std::lock_guard<std::mutex> guard(mutex_);
    stallWrites_ = on;
}

void VirtualPlatform::SetLine(const LineSettings& settings) {
    std::lock_guard<std::mutex> guard(mutex_);
    line_ = settings;
}

void VirtualPlatform::SetModemLines(uint32_t lines) {
    std::lock_guard<std::mutex> guard(mutex_);
    modemLines_ = lines;
}

void VirtualPlatform::SetErrors(uint32_t flags) {
    std::lock_guard<std::mutex> guard(mutex_);
    errors_ = flags;
}

void VirtualPlatform::SetStatus(const CommStatus& status) {
    std::lock_guard<std::mutex> guard(mutex_);
    status_ = status;
}

void VirtualPlatform::SendAtLineRate() {
    std::lock_guard<std::mutex> guard(mutex_);
    sendAtLineRate_ = true;
}

uint32_t VirtualPlatform::PurgedUnsent() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return purgedUnsent_;
}

uint32_t VirtualPlatform::UnsentCount() {
    while (!unsentUntilUs_.empty() && unsentUntilUs_.front() <= now_ * 1000)
        unsentUntilUs_.pop_front();
    return static_cast<uint32_t>(unsentUntilUs_.size());
}

void VirtualPlatform::RaiseEvent(uint32_t bits) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        raisedEvents_ |= bits;
    }
    eventRaised_.notify_all();
}

LineSettings VirtualPlatform::Line() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return line_;
}

int VirtualPlatform::LineWrites() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return lineWrites_;
}

CommTimeouts VirtualPlatform::Timeouts() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return timeouts_;
}

std::vector<uint32_t> VirtualPlatform::Escapes() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return escapes_;
}

std::vector<uint32_t> VirtualPlatform::Purges() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return purges_;
}

uint32_t VirtualPlatform::EventMask() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return eventMask_;
}
