// What the simulator adds to an exchange beyond the wire (floor: 1 ms), what it costs while it
// waits (floor: nothing), and how fast a throttled one takes the host's blocks (floor: the wire).
// On a pseudo-terminal without --throttle the wire itself costs practically nothing, so the round
// trip is the simulator's own cost plus the pty's hand-over.
#include "RawHost.h"

#include <zarelsim/Simulator.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

namespace {

using zarelsim::Bytes;

double ProcessCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

// CPU of both ends (the bare host and the printer's thread) per exchange.
void CountCpu(benchmark::State& run, double cpuBefore) {
    run.counters["both_ends_cpu_us"] =
        (ProcessCpuMicroseconds() - cpuBefore) / double(run.iterations());
    run.counters["floor_ms"] = 1.0;
}

void RoundTrip(benchmark::State& run, const Bytes& payload, size_t replySize) {
    zarelsim::Simulator printer;
    printer.Start();
    zarelsim::test::RawHost host(printer.SlavePath(), 19200);
    const double cpu = ProcessCpuMicroseconds();
    for (auto _ : run) {
        if (host.Exchange(payload).size() != replySize)
            run.SkipWithError("the printer did not answer");
    }
    CountCpu(run, cpu);
}

void BM_SystemInformationExchange(benchmark::State& run) { RoundTrip(run, {'0', 'B'}, 27); }

void BM_BlockRequestExchange(benchmark::State& run) {
    zarelsim::Simulator printer;
    printer.Update([](zarelsim::PrinterState& s) { s.files["big"] = Bytes(512 * 255, 0x55); });
    printer.Start();
    zarelsim::test::RawHost host(printer.SlavePath(), 19200);
    Bytes request(26, ' ');
    request[0] = '0', request[1] = 'w', request[2] = 'b', request[3] = 'i', request[4] = 'g';
    host.Exchange(request);
    uint8_t block = 1;
    const double cpu = ProcessCpuMicroseconds();
    for (auto _ : run) {
        if (host.Exchange({'0', '}', block, uint8_t(~block)}).size() != 521)
            run.SkipWithError("no block");
        if (block < 255) ++block; // past the last block the same one is repeated
    }
    CountCpu(run, cpu);
}

// A throttled printer takes the host's blocks no faster than the line carries them (floor: the wire
// time of a block's 521-byte frame and its 7-byte answer, 275 ms at 19200 bit/s).
void BM_ThrottledBlockSend(benchmark::State& run) {
    zarelsim::Options options;
    options.throttle = true;
    zarelsim::Simulator printer(options);
    printer.Start();
    zarelsim::test::RawHost host(printer.SlavePath(), 19200);
    Bytes announcement(2 + 29, ' '); // a file of 255 blocks, named "big"
    announcement[0] = '0', announcement[1] = 'x';
    announcement[2] = 0x00, announcement[3] = 0xFE, announcement[4] = 0x01, announcement[5] = 0x00,
    announcement[6] = 3;
    announcement[7] = 'b', announcement[8] = 'i', announcement[9] = 'g';
    if (host.Exchange(announcement).size() != 7)
        run.SkipWithError("the announcement was not answered");
    uint8_t block = 1;
    for (auto _ : run) {
        Bytes frame{'0', '~', block, uint8_t(~block)};
        frame.resize(516, 0x55);
        if (host.Exchange(frame).size() != 7) run.SkipWithError("a block was not answered");
        if (block < 255) ++block; // past the last block the same one is repeated
    }
    run.counters["host_bytes_per_s"] =
        benchmark::Counter(521.0 * double(run.iterations()), benchmark::Counter::kIsRate);
    run.counters["floor_ms"] = (521 + 7) * 10.0 / 19200 * 1e3;
}

// CPU time the printer spends in two idle seconds.
void BM_IdleCpu(benchmark::State& run) {
    for (auto _ : run) {
        zarelsim::Simulator printer;
        printer.Start();
        const double before = ProcessCpuMicroseconds();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        run.counters["idle_cpu_ms"] = (ProcessCpuMicroseconds() - before) / 1e3;
        run.counters["floor_ms"] = 0.0;
    }
}

} // namespace

BENCHMARK(BM_SystemInformationExchange)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlockRequestExchange)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ThrottledBlockSend)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(BM_IdleCpu)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
