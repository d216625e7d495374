#include <zarelsim/Simulator.h>

#include "Bitmap.h"
#include "FaultPlan.h"
#include "Frame.h"
#include "Printer.h"
#include "PtyLine.h"
#include "StateStore.h"
#include "Terminal.h"
#include "WireLog.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <mutex>
#include <poll.h>
#include <random>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace zarelsim {
namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr auto kFrameGap = std::chrono::milliseconds(1000); // a frame quiet this long is dropped

struct Transmission {
    Bytes bytes;
    uint32_t delayMs = 0;
    uint32_t dripMs = 0;
};

// A byte's time on the wire: ten bits (start bit, eight data bits, stop bit) at the line rate.
SteadyClock::duration ByteTime(uint32_t baud) {
    return std::chrono::duration_cast<SteadyClock::duration>(
        std::chrono::nanoseconds(10'000'000'000LL / baud));
}

constexpr std::chrono::microseconds kPaceStep{250};

int MillisecondsUntil(SteadyClock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
    return left < 0 ? 0 : int(left);
}

std::string SlotFileName(int slot, const char* extension) {
    char name[32];
    std::snprintf(name, sizeof name, "LOGO%02d.%s", slot, extension);
    return name;
}

} // namespace

struct Simulator::Impl {
    explicit Impl(Options o) : options(std::move(o)), log(options.logFile) {}

    Options options;
    PtyLine line;
    std::unique_ptr<PortRegistration> registration;
    std::unique_ptr<StateStore> store;
    WireLog log;
    int wake[2] = {-1, -1};
    std::atomic<bool> stopping{false};
    std::thread thread;

    // Guarded by mutex: everything below.
    mutable std::mutex mutex;
    PrinterState state;
    Printer printer{state};
    FaultPlan faults;
    Statistics stats;
    LinkMode mode = LinkMode::Packet;
    uint32_t baud = 19200;
    FrameReader reader;
    Terminal terminal;
    SteadyClock::time_point deafUntil{};
    SteadyClock::time_point lastByte{};
    SteadyClock::time_point
        hostLineBusyUntil{}; // throttled: when the host's bytes so far are across
    bool saveFailed = false;
    std::mt19937 noise{options.noiseSeed}; // used by the answering thread only

    void AddNoise(uint8_t* bytes, size_t count);

    void Loop();
    void Hear(const uint8_t* data, size_t count);
    void Deliver(const uint8_t* data, size_t count, SteadyClock::time_point at);
    std::vector<Transmission> Take(const uint8_t* data, size_t count, SteadyClock::time_point now);
    void Answer(const Bytes& payload, std::vector<Transmission>& out);
    void Changed();
    void LogoArrived(int slot);
    bool Wait(int ms); // false when asked to stop
    // The same until the time, but at least kPaceStep: a throttled line at 115200 bit/s carries a
    // byte in 87 us, which whole milliseconds would slow and a wake-up per byte would crowd.
    bool WaitUntil(SteadyClock::time_point until);
    void Send(const Transmission& t);
    void WritePaced(const Bytes& bytes);
};

void Simulator::Impl::AddNoise(uint8_t* bytes, size_t count) {
    if (options.noisePerMillion == 0) return;
    std::uniform_int_distribution<uint32_t> perMillion(0, 999999), change(1, 255);
    for (size_t i = 0; i < count; ++i)
        if (perMillion(noise) < options.noisePerMillion) bytes[i] ^= uint8_t(change(noise));
}

bool Simulator::Impl::Wait(int ms) {
    pollfd fd{wake[0], POLLIN, 0};
    poll(&fd, 1, ms);
    return !stopping;
}

bool Simulator::Impl::WaitUntil(SteadyClock::time_point until) {
    const auto left = std::max<int64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(until - SteadyClock::now()).count(),
        std::chrono::nanoseconds(kPaceStep).count());
    pollfd fd{wake[0], POLLIN, 0};
    const timespec pause{time_t(left / 1'000'000'000), long(left % 1'000'000'000)};
    ppoll(&fd, 1, &pause, nullptr);
    return !stopping;
}

void Simulator::Impl::Changed() {
    if (!store) return;
    try {
        store->Save(state);
    } catch (const std::exception& e) {
        if (!saveFailed)
            std::cerr << "zarel-sim: " << e.what() << "; later changes may not be kept either\n";
        saveFailed = true;
    }
}

void Simulator::Impl::LogoArrived(int slot) {
    const Bytes& logo = state.logos[slot - 1];
    const std::optional<MonoImage> image = ReadMonoBmp(logo);
    if (options.logoArt) {
        if (image)
            *options.logoArt << "Logo slot " << slot << " (" << image->width << " x "
                             << image->height << " dots)\n"
                             << TextArt(*image) << std::flush;
        else
            *options.logoArt << "Logo slot " << slot << ": " << logo.size()
                             << " bytes, not a one-bit bitmap\n"
                             << std::flush;
    }
    if (!options.dumpDirectory.empty()) {
        const std::string path =
            options.dumpDirectory + "/" + SlotFileName(slot, image ? "BMP" : "bin");
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(logo.data(), 1, logo.size(), file) != logo.size())
            std::cerr << "zarel-sim: cannot write " << path << ": " << std::strerror(errno) << "\n";
        if (file) std::fclose(file);
    }
}

void Simulator::Impl::Answer(const Bytes& payload, std::vector<Transmission>& out) {
    ++stats.requests;
    const uint8_t command = payload[1];
    const Strike strike = faults.For(command, Printer::StartsTransfer(command));
    const Outcome o =
        strike.errorNumber ? printer.Refuse(*strike.errorNumber) : printer.Handle(payload);
    if (strike.hangUpAfter && printer.TransferActive()) printer.HangUpAfter(*strike.hangUpAfter);
    if (o.answer && command == '~' && o.code == 'O') ++stats.blocksReceived;
    if (o.answer && command == '}' && o.code == '}') ++stats.blocksSent;
    if (o.logoStored) LogoArrived(*o.logoStored);
    switch (o.after) {
    case Outcome::ToTerminalMode:
        mode = LinkMode::Terminal;
        terminal.Reset();
        break;
    case Outcome::Reboot:
        ++state.reboots;
        printer.Restart();
        state.printOn = 0;
        deafUntil = SteadyClock::now() + std::chrono::milliseconds(options.rebootMs);
        break;
    case Outcome::ChangeBaud:
        baud = state.BaudRate();
        break;
    case Outcome::Nothing:
        break;
    }
    if (o.changed) Changed();
    if (!o.answer || strike.silence) return;
    Bytes frame =
        BuildReply(strike.wrongCode && o.code != kErrorCode ? *strike.wrongCode : o.code, o.data);
    if (strike.keepBytes)
        frame.resize(*strike.keepBytes == 0 ? frame.size() / 2
                                            : std::min<size_t>(*strike.keepBytes, frame.size()));
    frame.insert(frame.begin(), strike.strayBytes, 0xFF);
    out.push_back({std::move(frame), strike.delayMs, strike.dripMs});
}

std::vector<Transmission> Simulator::Impl::Take(const uint8_t* data, size_t count,
                                                SteadyClock::time_point now) {
    std::vector<Transmission> out;
    stats.bytesHeard += count;
    const uint32_t hostRate = line.HostRate();
    if (now < deafUntil || hostRate != baud) {
        // Restarting, or the host talks at another rate: what arrives is noise to the printer.
        log.Note(now < deafUntil
                     ? "ignored: restarting"
                     : "ignored: the host is at " + std::to_string(hostRate) + " bit/s");
        stats.ignoredBytes += count;
        reader.Reset();
        return out;
    }
    size_t at = 0;
    while (at < count && now >= deafUntil) {
        if (mode == LinkMode::Terminal) {
            Terminal::Output echo;
            at += terminal.Feed(data + at, count - at, echo);
            if (!echo.toHost.empty()) out.push_back({std::move(echo.toHost)});
            std::vector<std::string>& kept = state.terminalAnnouncements;
            for (std::string& line : echo.announcements) kept.push_back(std::move(line));
            if (kept.size() > size_t(kKeptAnnouncements))
                kept.erase(kept.begin(), kept.end() - kKeptAnnouncements);
            if (!echo.announcements.empty()) Changed();
            if (echo.toPacketMode) {
                mode = LinkMode::Packet;
                reader.Reset();
            }
            continue;
        }
        const uint64_t skippedBefore = reader.SkippedBytes();
        FrameReader::Result frame;
        at += reader.Feed(data + at, count - at, frame);
        stats.ignoredBytes += reader.SkippedBytes() - skippedBefore;
        if (frame.kind == FrameReader::Result::BadFrame) {
            ++stats.badFrames;
            out.push_back({BuildErrorReply(frame.error)});
        } else if (frame.kind == FrameReader::Result::Frame) {
            Answer(frame.payload, out);
        }
    }
    if (at < count) stats.ignoredBytes += count - at; // arrived after a restart command
    return out;
}

void Simulator::Impl::WritePaced(const Bytes& bytes) {
    if (!options.throttle) {
        line.Write(bytes.data(), bytes.size());
        return;
    }
    const auto byteTime = ByteTime(baud);
    const auto start = SteadyClock::now();
    size_t sent = 0;
    while (sent < bytes.size() && !stopping) {
        const size_t due =
            std::min(bytes.size(), size_t((SteadyClock::now() - start) / byteTime) + 1);
        if (due > sent) {
            line.Write(bytes.data() + sent, due - sent);
            sent = due;
            continue;
        }
        WaitUntil(start + byteTime * int64_t(sent));
    }
}

// With --throttle the printer hears each of the host's bytes only once it has had its time on the
// wire after the one before, however fast the pseudo-terminal handed them over.
void Simulator::Impl::Hear(const uint8_t* data, size_t count) {
    if (!options.throttle) {
        Deliver(data, count, SteadyClock::now());
        return;
    }
    auto across = std::max(SteadyClock::now(), hostLineBusyUntil); // the wire time of what is heard
    size_t heard = 0;
    while (heard < count && !stopping) {
        const auto byteTime = ByteTime(baud); // "R" changes the rate between two frames
        const auto now = SteadyClock::now();
        const size_t due = now < across + byteTime
                               ? 0
                               : std::min(count - heard, size_t((now - across) / byteTime));
        if (due == 0) {
            WaitUntil(across + byteTime);
            continue;
        }
        across += byteTime * int64_t(due);
        Deliver(data + heard, due, across);
        heard += due;
    }
    hostLineBusyUntil = across;
}

void Simulator::Impl::Deliver(const uint8_t* data, size_t count, SteadyClock::time_point at) {
    std::vector<Transmission> replies;
    {
        std::lock_guard<std::mutex> lock(mutex);
        lastByte = at;
        replies = Take(data, count, at);
    }
    for (const Transmission& t : replies) Send(t);
}

void Simulator::Impl::Send(const Transmission& t) {
    if (t.delayMs && !Wait(int(t.delayMs))) return;
    Bytes bytes = t.bytes;
    AddNoise(bytes.data(), bytes.size());
    if (t.dripMs == 0) {
        WritePaced(bytes);
    } else {
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (i > 0 && !Wait(int(t.dripMs))) return;
            line.Write(&bytes[i], 1);
        }
    }
    log.Sent(bytes.data(), bytes.size());
    std::lock_guard<std::mutex> lock(mutex);
    ++stats.repliesSent;
}

void Simulator::Impl::Loop() {
    uint8_t buffer[4096];
    while (!stopping) {
        int timeout = -1;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (mode == LinkMode::Packet && reader.InFrame())
                timeout = MillisecondsUntil(lastByte + kFrameGap);
        }
        pollfd fds[2] = {{line.Fd(), POLLIN, 0}, {wake[0], POLLIN, 0}};
        if (poll(fds, 2, timeout) < 0 && errno != EINTR)
            throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
        if (stopping) break;
        if (fds[1].revents & POLLIN) {
            char drain[64];
            while (read(wake[0], drain, sizeof drain) > 0) {}
        }
        const auto now = SteadyClock::now();
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (reader.InFrame() && now - lastByte >= kFrameGap) {
                reader.Reset(); // the rest of that frame never came
                log.Note("incomplete frame dropped");
            }
        }
        if (!(fds[0].revents & POLLIN)) continue;
        const size_t n = line.Read(buffer, sizeof buffer);
        if (n == 0) continue;
        AddNoise(buffer, n);
        log.Received(buffer, n);
        Hear(buffer, n);
    }
}

Simulator::Simulator(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {
    Impl& s = *impl_;
    const auto rate = std::find(kPrinterBaudRates.begin(), kPrinterBaudRates.end(), s.options.baud);
    if (rate == kPrinterBaudRates.end())
        throw std::runtime_error(
            "the printer's line rate must be 9600, 19200, 38400, 57600 or 115200, not " +
            std::to_string(s.options.baud));
    if (!s.options.stateDirectory.empty()) {
        s.store = std::make_unique<StateStore>(s.options.stateDirectory);
        s.store->Load(s.state);
    }
    s.state.baudIndex = uint8_t(rate - kPrinterBaudRates.begin());
    s.baud = s.options.baud;
    for (const Fault& fault : s.options.faults) s.faults.Add(fault);
    if (pipe(s.wake) != 0)
        throw std::runtime_error(std::string("cannot make a pipe: ") + std::strerror(errno));
    for (int fd : s.wake) fcntl(fd, F_SETFL, O_NONBLOCK), fcntl(fd, F_SETFD, FD_CLOEXEC);
    if (s.options.comNumber > 0)
        s.registration = std::make_unique<PortRegistration>(
            s.options.portDirectory.empty() ? PortRegistration::DefaultDirectory()
                                            : s.options.portDirectory,
            s.options.comNumber, s.line.SlavePath());
    s.log.Note("printer on " + s.line.SlavePath() + " at " + std::to_string(s.baud) + " bit/s");
}

Simulator::~Simulator() {
    Stop();
    close(impl_->wake[0]);
    close(impl_->wake[1]);
}

const std::string& Simulator::SlavePath() const { return impl_->line.SlavePath(); }
std::string Simulator::ComEntry() const {
    return impl_->registration ? impl_->registration->Path() : std::string();
}

void Simulator::Start() {
    if (impl_->thread.joinable()) return;
    impl_->stopping = false;
    impl_->thread = std::thread([this] { impl_->Loop(); });
}

void Simulator::Run() { impl_->Loop(); }

void Simulator::RequestStop() {
    impl_->stopping = true;
    const char byte = 1;
    [[maybe_unused]] ssize_t n = write(impl_->wake[1], &byte, 1);
}

void Simulator::Stop() {
    RequestStop();
    if (impl_->thread.joinable()) impl_->thread.join();
}

void Simulator::AddFault(const Fault& fault) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->faults.Add(fault);
}

void Simulator::ClearFaults() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->faults.Clear();
}

PrinterState Simulator::State() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->state;
}

void Simulator::Update(const std::function<void(PrinterState&)>& change) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    change(impl_->state);
    impl_->Changed();
}

LinkMode Simulator::Mode() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->mode;
}

uint32_t Simulator::Baud() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->baud;
}

Statistics Simulator::Stats() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->stats;
}

} // namespace zarelsim
