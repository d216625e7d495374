// Printers on device servers: one exchange over RFC 2217 through ser2net in both pacings beside
// the same on the simulator's pseudo-terminal; then a plant of 32 printers, each a simulator
// throttled to 115200 bit/s behind its own ser2net port, driven from this process in events
// pacing with one thread and link each: exchanges a second beside 32 times one printer alone,
// and this process's CPU per printer. The simulators and ser2net are processes of their own, so
// the CPU is the library's.
//   bench_network [seconds per plant round, default 5] [printers, default 32]
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <zarelcom/zarelcom.hpp>

#include "../transfer/SimulatorProcess.h"
#include "Ser2net.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kFirstCom = 80;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The pseudo-terminal behind the simulator registered as com<n> in the current port directory.
std::string LineOf(int com) {
    const std::string entry =
        std::string(std::getenv("ZARELCOM_PORT_DIR")) + "/com" + std::to_string(com);
    char target[PATH_MAX];
    const ssize_t length = readlink(entry.c_str(), target, sizeof target - 1);
    if (length <= 0) {
        std::fprintf(stderr, "no simulator on com%d\n", com);
        std::exit(1);
    }
    return std::string(target, size_t(length));
}

// Mean milliseconds of one GetPrintStatus on the open port.
double ExchangeMs(int times) {
    const auto start = Clock::now();
    for (int i = 0; i < times; ++i)
        if (GetPrintStatus() < 0) {
            std::fprintf(stderr, "an exchange failed: %s\n", GetLastPortError());
            std::exit(1);
        }
    return Seconds(start) * 1000 / times;
}

void OneExchange(const std::string& simulator) {
    std::printf("One exchange (GetPrintStatus), mean of many, simulator unthrottled and at 115200 "
                "bit/s:\n");
    std::printf("  %-8s %-8s %12s %12s %12s\n", "line", "pacing", "pty ms", "rfc2217 ms",
                "difference");
    for (bool throttle : {false, true}) {
        SimulatorProcess printer(simulator, kFirstCom, 115200, throttle);
        Ser2net server(LineOf(kFirstCom), Ser2net::Kind::Rfc2217);
        SetBaudRate(ZC_BR115200);
        for (int32_t pacing : {ZC_PACING_POLLED, ZC_PACING_EVENTS}) {
            zc_set_pacing(pacing);
            const int times = pacing == ZC_PACING_POLLED ? 40 : 400;
            if (!OpenComPort(kFirstCom)) std::exit(1);
            const double pty = ExchangeMs(times);
            if (!zc_open_port_device(server.Url().c_str())) {
                std::fprintf(stderr, "cannot open %s: %s\n", server.Url().c_str(),
                             GetLastPortError());
                std::exit(1);
            }
            const double network = ExchangeMs(times);
            CloseComPort();
            std::printf("  %-8s %-8s %12.2f %12.2f %+11.2f\n", throttle ? "115200" : "none",
                        pacing == ZC_PACING_POLLED ? "polled" : "events", pty, network,
                        network - pty);
        }
    }
    zc_set_pacing(ZC_PACING_POLLED);
}

struct Round {
    long exchanges = 0, failures = 0;
    double seconds = 0, cpuSeconds = 0;
};

// Every printer's thread exchanges GetPrintStatus on its own link in events pacing until the
// time is up.
Round Drive(const Ser2net& server, int printers, double seconds) {
    std::atomic<long> exchanges{0}, failures{0};
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    Clock::time_point start;
    std::vector<std::thread> threads;
    for (int i = 0; i < printers; ++i) {
        threads.emplace_back([&, url = server.Url(size_t(i))] {
            zarelcom::Link link;
            const auto selected = link.Select();
            zc_set_pacing(ZC_PACING_EVENTS);
            SetBaudRate(ZC_BR115200);
            const bool opened = zc_open_port_device(url.c_str());
            ++ready;
            while (!go) std::this_thread::yield();
            if (!opened) {
                ++failures;
                return;
            }
            const auto end = start + std::chrono::duration<double>(seconds);
            while (Clock::now() < end) (GetPrintStatus() >= 0 ? exchanges : failures)++;
            CloseComPort();
        });
    }
    while (ready < printers) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    start = Clock::now();
    const double cpuAtStart = ProcessCpuSeconds();
    go = true;
    for (auto& thread : threads) thread.join();
    Round round;
    round.seconds = Seconds(start);
    round.cpuSeconds = ProcessCpuSeconds() - cpuAtStart;
    round.exchanges = exchanges;
    round.failures = failures;
    return round;
}

void Plant(const std::string& simulator, int printers, double seconds) {
    std::vector<std::unique_ptr<SimulatorProcess>> simulators;
    std::vector<std::string> lines;
    for (int i = 0; i < printers; ++i) {
        simulators.push_back(
            std::make_unique<SimulatorProcess>(simulator, kFirstCom + i, 115200, true));
        lines.push_back(LineOf(kFirstCom + i));
    }
    Ser2net server(lines, Ser2net::Kind::Rfc2217);
    const Round one = Drive(server, 1, seconds);
    const Round all = Drive(server, printers, seconds);
    const double oneRate = one.exchanges / one.seconds, allRate = all.exchanges / all.seconds;
    std::printf(
        "\nA plant: %d printers at 115200 bit/s, each behind its own ser2net port, one thread and "
        "link each, events pacing, %.0f s a round:\n",
        printers, seconds);
    std::printf("  one printer alone   %8.1f exchanges/s  (%ld failed)\n", oneRate, one.failures);
    std::printf("  %d printers at once %8.1f exchanges/s  (%ld failed)  = %.1f %% of %d x one "
                "(aim: 95 %%)\n",
                printers, allRate, all.failures, 100 * allRate / (printers * oneRate), printers);
    std::printf("  CPU of this process %8.2f %% of a core per printer (aim: under 1 %%)\n",
                100 * all.cpuSeconds / all.seconds / printers);
}
} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5;
    const int printers = argc > 2 ? std::atoi(argv[2]) : 32;
    OneExchange(ZARELSIM_PROGRAM);
    Plant(ZARELSIM_PROGRAM, printers, seconds);
}
