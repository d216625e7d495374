// Logo and file transfers over a pseudo-terminal against zarel-sim, unthrottled and throttled to
// 115200 and 19200 bit/s: wall time beside the floor that the wire and the exchange's mandated
// sleeps set, CPU time of the library's process, and the peak memory of a fetch by its size.
//
//   transfer_bench [--sim PATH] [--lines 0,115200,19200] [--file-kib 1024] [--memory-mib 100]
//
// 0 in --lines is the unthrottled line. --memory-mib 0 leaves the memory figures out; a 100 MiB
// fetch takes about 1 h 45 min on an unthrottled line (30 ms of sleeps a block).
#include <zarelcom/zarelcom.h>
#include <zarelsim/Simulator.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "CountedSleeps.h"
#include "ExchangeFloor.h"
#include "link/Library.h"
#include "SimulatorProcess.h"
#include "TransferSetup.h"

namespace {

constexpr int kCom = 57;

struct Options {
    std::string simulator = ZARELSIM_PROGRAM;
    std::vector<uint32_t> lines{0, 115200, 19200};
    uint32_t fileKiB = 1024;
    uint32_t memoryMiB = 100;
    std::string fetchPeakState; // set in the child that measures one fetch
};

struct Usage {
    double wallS;
    double sleptS; // in the exchange's own sleeps
    double cpuS;
    uint64_t lineBytes; // both ways
};

CountedSleeps sleeps;

double CpuSeconds() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

Usage Measure(const std::function<bool()> &transfer, const char *what) {
    const double cpu = CpuSeconds();
    sleeps.TakeSleptSeconds();
    sleeps.TakeLineBytes();
    const auto start = std::chrono::steady_clock::now();
    if (!transfer()) {
        std::fprintf(stderr, "%s failed (last error %d); is the simulator at the same rate?\n",
                     what, GetCurrErrCode());
        std::exit(1);
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {wall, sleeps.TakeSleptSeconds(), CpuSeconds() - cpu, sleeps.TakeLineBytes()};
}

void PrintRow(const char *what, uint32_t bytes, uint32_t baud, Usage usage, double floorMs) {
    const std::string line = baud == 0 ? "unthrottled" : std::to_string(baud);
    std::printf("%-11s %9u  %-11s %8.2f %8.2f %+7.1f%% %8.2f %8.2f %8.3f %6.2f%%\n", what, bytes,
                line.c_str(), usage.wallS, floorMs / 1000, (usage.wallS * 1000 / floorMs - 1) * 100,
                usage.sleptS, usage.wallS - usage.sleptS, usage.cpuS,
                usage.cpuS / usage.wallS * 100);
    std::fflush(stdout);
}

void RunLine(const Options &options, uint32_t baud, double sleepOverrunMs,
             const std::string &folder) {
    // The unthrottled printer still keeps to its line rate for the host's setting; use 115200.
    const uint32_t printerBaud = baud == 0 ? 115200 : baud;
    SimulatorProcess printer(options.simulator, kCom, printerBaud, baud != 0);
    SetBaudRate(zarelcom::RateOrdinal(printerBaud));
    if (!OpenComPort(kCom)) {
        std::fprintf(stderr, "cannot open com%d: %s\n", kCom, GetLastPortError());
        std::exit(1);
    }
    const LineTiming timing{baud, sleepOverrunMs};
    const uint32_t fileBytes = options.fileKiB * 1024;
    const std::string logo = folder + "/logo.bmp", file = folder + "/file.bin",
                      back = folder + "/back.bin";
    WritePattern(logo, kLogoBytes);
    WritePattern(file, fileBytes);
    const uint32_t logoBlocks = (kLogoBytes + ZC_BLOCK_SIZE - 1) / ZC_BLOCK_SIZE,
                   fileBlocks = (fileBytes + ZC_BLOCK_SIZE - 1) / ZC_BLOCK_SIZE;

    Counted logoPath(logo), filePath(file), backPath(back), name("BENCH.BIN");
    const auto row = [&](const char *what, uint32_t bytes, const std::function<bool()> &transfer,
                         uint32_t announceReply, uint32_t blocks, uint32_t blockRequest,
                         uint32_t blockReply) {
        const Usage usage = Measure(transfer, what);
        PrintRow(what, bytes, baud, usage,
                 TransferFloorMs(usage.lineBytes, announceReply, blocks, blockRequest, blockReply,
                                 timing));
    };
    row(
        "logo send", kLogoBytes, [&] { return StxSendLogo(logoPath.text, 1) != 0; }, kAckReply,
        logoBlocks, kBlockFrame, kAckReply);
    row(
        "logo fetch", kLogoBytes, [&] { return BackUpLogo(backPath.text, 1) != 0; }, kLengthReply,
        logoBlocks, kBlockRequest, kBlockReply);
    row(
        "file send", fileBytes, [&] { return StxDownLoadFile(filePath.text, name.text) != 0; },
        kAckReply, fileBlocks, kBlockFrame, kAckReply);
    row(
        "file fetch", fileBytes, [&] { return StxUpLoadFile(backPath.text, name.text) != 0; },
        kLengthReply, fileBlocks, kBlockRequest, kBlockReply);
    CloseComPort();
}

// A printer state folder holding a file of the given size (made in a child process, so that its
// bytes never count towards this process's memory).
std::string StateWithFile(const std::string &folder, uint32_t bytes) {
    const std::string state = folder + "/state-" + std::to_string(bytes);
    const pid_t child = fork();
    if (child == 0) {
        zarelsim::Options options;
        options.stateDirectory = state;
        zarelsim::Simulator printer(options);
        printer.Update([bytes](zarelsim::PrinterState &s) {
            s.diskCapacity = bytes + (8u << 20);
            zarelsim::Bytes &content = s.files["BIG.BIN"];
            content.resize(bytes);
            for (uint32_t i = 0; i < bytes; ++i) content[i] = static_cast<uint8_t>(i % 251);
        });
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return state;
}

// In a process of its own (--fetch-peak STATE): fetches "BIG.BIN" from a printer with that state
// and prints the process's peak resident memory in KiB.
int FetchAndPrintPeak(const Options &options, const std::string &state, const std::string &folder) {
    SimulatorProcess printer(options.simulator, kCom, 115200, false, state);
    SetBaudRate(ZC_BR115200);
    Counted back(folder + "/big.back"), name("BIG.BIN");
    if (!OpenComPort(kCom) || !StxUpLoadFile(back.text, name.text)) return 1;
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}

// Peak resident memory (KiB) of a fresh process that fetches a file of the given size.
std::string FetchPeakKiB(const Options &options, const std::string &folder, uint32_t bytes) {
    const std::string state = StateWithFile(folder, bytes);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string command =
        "'" + self + "' --sim '" + options.simulator + "' --fetch-peak '" + state + "'";
    FILE *child = popen(command.c_str(), "r");
    char line[128] = "failed\n";
    if (child != nullptr) {
        if (std::fgets(line, sizeof line, child) == nullptr) std::strcpy(line, "failed\n");
        pclose(child);
    }
    std::filesystem::remove_all(state);
    std::filesystem::remove(folder + "/big.back");
    line[std::strcspn(line, "\n")] = '\0';
    return line;
}

Options ParseOptions(int argc, char **argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i], value = argv[i + 1];
        if (flag == "--sim") {
            options.simulator = value;
        } else if (flag == "--lines") {
            options.lines.clear();
            std::stringstream list(value);
            for (std::string item; std::getline(list, item, ',');)
                options.lines.push_back(static_cast<uint32_t>(std::stoul(item)));
        } else if (flag == "--file-kib") {
            options.fileKiB = static_cast<uint32_t>(std::stoul(value));
        } else if (flag == "--fetch-peak") {
            options.fetchPeakState = value;
        } else if (flag == "--memory-mib") {
            options.memoryMiB = static_cast<uint32_t>(std::stoul(value));
        } else {
            std::fprintf(stderr,
                         "unknown option %s; see the comment at the top of TransferBench.cpp\n",
                         flag.c_str());
            std::exit(2);
        }
    }
    return options;
}

} // namespace

int main(int argc, char **argv) {
    const Options options = ParseOptions(argc, argv);
    char folderTemplate[] = "/tmp/zarelcom-bench-XXXXXX";
    if (!options.fetchPeakState.empty())
        return FetchAndPrintPeak(options, options.fetchPeakState,
                                 std::filesystem::path(options.fetchPeakState).parent_path());
    const std::string folder = mkdtemp(folderTemplate);
    ProcessLink().port.UsePlatform(sleeps);

    const double sleepOverrunMs = MeasureSleepOverrunMs();
    if (!options.lines.empty()) {
        std::printf(
            "Floor: the bytes both ways on the wire (10 bits a byte) plus the exchange's sleeps:\n"
            "20 ms polls for the first byte, 10 ms before the STX, 30 ms settle polls "
            "(ExchangeFloor.h),\n"
            "each as long as a sleep lasts here (%.3f ms over what is asked), assuming the "
            "printer's\n"
            "answer is not there at the look right after the write (on a pseudo-terminal it "
            "sometimes is,\n"
            "and the wall time can come in under the floor). slept: time in the exchange's own "
            "sleeps;\n"
            "rest: everything else (waiting for bytes, the printer's reaction, the library's "
            "work).\n\n",
            sleepOverrunMs);
        std::printf("%-11s %9s  %-11s %8s %8s %8s %8s %8s %8s %7s\n", "transfer", "bytes", "line",
                    "wall s", "floor s", "over", "slept s", "rest s", "cpu s", "cpu");
    }
    for (uint32_t baud : options.lines) RunLine(options, baud, sleepOverrunMs, folder);

    if (options.memoryMiB > 0) {
        std::printf("\nPeak resident memory of a process fetching a file (unthrottled line):\n");
        for (uint32_t mib : {1u, options.memoryMiB})
            std::printf("  %4u MiB fetch: %s KiB\n", mib,
                        FetchPeakKiB(options, folder, mib << 20).c_str());
    }
    std::filesystem::remove_all(folder);
}
