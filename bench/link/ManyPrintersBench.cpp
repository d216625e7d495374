// Exchanges per second with one, two and four printers driven at once from one process, each
// printer a simulator on its own pseudo-terminal (unthrottled) and each driven from its own thread
// on its own link, beside the floor: N times what one printer alone gives.
//   bench_link_many_printers [seconds per round, default 3]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <stdlib.h>
#include <unistd.h>

#include <zarelcom/zarelcom.hpp>
#include <zarelsim/Simulator.h>

namespace {

constexpr int kFirstPort = 61;

struct Round {
    long exchanges = 0;
    long failures = 0;
    double seconds = 0;
};

// Every printer's thread exchanges GetPrintStatus on its own link until the time is up.
Round Drive(int printers, double seconds, const std::string &portDirectory) {
    std::vector<std::unique_ptr<zarelsim::Simulator>> simulators;
    for (int i = 0; i < printers; ++i) {
        zarelsim::Options options;
        options.comNumber = kFirstPort + i;
        options.portDirectory = portDirectory;
        simulators.push_back(std::make_unique<zarelsim::Simulator>(options));
        simulators.back()->Start();
    }
    std::atomic<long> exchanges{0}, failures{0};
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    std::vector<std::thread> threads;
    for (int i = 0; i < printers; ++i) {
        threads.emplace_back([&, port = kFirstPort + i] {
            zarelcom::Link link;
            const auto selected = link.Select();
            if (!OpenComPort(port)) {
                ++failures;
                return;
            }
            while (std::chrono::steady_clock::now() < end)
                ++(GetPrintStatus() >= 0 ? exchanges : failures);
            CloseComPort();
        });
    }
    for (auto &thread : threads) thread.join();
    return {exchanges, failures,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
}

} // namespace

int main(int argc, char **argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    char folder[] = "/tmp/zarelcom-bench-ports-XXXXXX";
    if (!mkdtemp(folder)) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("ZARELCOM_PORT_DIR", folder, 1);
    std::printf("Exchanges (GetPrintStatus) per second, each printer a simulator on its own thread "
                "and link,\n"
                "%.0f s a round; floor: N x the rate of one printer alone\n\n",
                seconds);
    std::printf("%9s %14s %14s %10s %9s\n", "printers", "exchanges/s", "floor", "of floor",
                "failed");
    double single = 0;
    for (int printers : {1, 2, 4}) {
        const Round round = Drive(printers, seconds, folder);
        const double rate = round.exchanges / round.seconds;
        if (printers == 1) single = rate;
        const double floor = single * printers;
        std::printf("%9d %14.1f %14.1f %9.0f%% %9ld\n", printers, rate, floor, 100 * rate / floor,
                    round.failures);
    }
    rmdir(folder);
    return 0;
}
