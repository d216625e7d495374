// Polled and events pacing side by side against zarel-sim throttled to the line rate in both
// directions: one exchange, user-string updates, a 16000-byte logo and a file each way, at 19200
// and 115200 bit/s and unthrottled, each beside the wire-time limit (the bytes both ways at 10
// bits a byte) and, for polled pacing, the floor its mandated sleeps set.
//
//   pacing_bench [--sim PATH] [--lines 19200,115200,0] [--exchanges 50] [--strings 100]
//                [--file-kib 32,128,256]
//
// --file-kib gives the file's size for each line in --lines' order (0 is the unthrottled line);
// the defaults keep the whole run to a few minutes. Wall and wire time grow with the file's
// blocks alike, so the ratio of a smaller file holds for 1 MiB.
#include <zarelcom/zarelcom.h>

#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "CountedSleeps.h"
#include "ExchangeFloor.h"
#include "SimulatorProcess.h"
#include "TransferSetup.h"
#include "link/Library.h"

namespace {

constexpr int kCom = 58;

struct Options {
    std::string simulator = ZARELSIM_PROGRAM;
    std::vector<uint32_t> lines{19200, 115200, 0};
    std::vector<uint32_t> fileKiB{32, 128, 256};
    int exchanges = 50;
    int strings = 100;
};

struct Run {
    double wallMs;
    double cpuMs;
    uint64_t lineBytes;
};

CountedSleeps platform;

// CPU time of the calling thread, the one the exchanges run on (the port's event thread, which
// wakes for arriving bytes in either pacing, is left out).
double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Runs the step `times` times; exits when one fails.
Run Measure(const char *what, int times, const std::function<bool()> &step) {
    platform.TakeLineBytes();
    const double cpu = CpuMs();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < times; ++i) {
        if (!step()) {
            std::fprintf(stderr, "%s failed (last error %d)\n", what, GetCurrErrCode());
            std::exit(1);
        }
    }
    const double wall =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return {wall, CpuMs() - cpu, platform.TakeLineBytes()};
}

// One row: the wall time beside the wire time of the same bytes and, where given, the polled floor.
void Row(uint32_t baud, const char *pacing, const std::string &what, const Run &run, int items,
         double floorMs, const std::string &note) {
    const LineTiming timing{baud, 0};
    const std::string line = baud == 0 ? "unthrottled" : std::to_string(baud);
    const double wire = WireMs(run.lineBytes, timing);
    char ratio[16] = "-", floor[16] = "-";
    if (wire > 0) std::snprintf(ratio, sizeof ratio, "%.2fx", run.wallMs / wire);
    if (floorMs > 0)
        std::snprintf(floor, sizeof floor, "%+.1f%%", (run.wallMs / floorMs - 1) * 100);
    std::printf("%-11s %-7s %-22s %10.1f %10.1f %8s %8s %8.2f  %s\n", line.c_str(), pacing,
                what.c_str(), run.wallMs / items, wire / items, ratio, floor, run.cpuMs / items,
                note.c_str());
    std::fflush(stdout);
}

void RunLine(const Options &options, uint32_t baud, uint32_t fileKiB, double sleepOverrunMs,
             const std::string &folder) {
    const uint32_t printerBaud = baud == 0 ? 115200 : baud;
    SimulatorProcess printer(options.simulator, kCom, printerBaud, baud != 0);
    SetBaudRate(zarelcom::RateOrdinal(printerBaud));
    if (!OpenComPort(kCom)) {
        std::fprintf(stderr, "cannot open com%d: %s\n", kCom, GetLastPortError());
        std::exit(1);
    }
    const LineTiming timing{baud, sleepOverrunMs};
    const uint32_t fileBytes = fileKiB * 1024;
    const std::string logo = folder + "/logo.bmp", file = folder + "/file.bin",
                      back = folder + "/back.bin";
    WritePattern(logo, kLogoBytes);
    WritePattern(file, fileBytes);
    const uint32_t logoBlocks = (kLogoBytes + ZC_BLOCK_SIZE - 1) / ZC_BLOCK_SIZE,
                   fileBlocks = (fileBytes + ZC_BLOCK_SIZE - 1) / ZC_BLOCK_SIZE;
    Counted logoPath(logo), filePath(file), backPath(back), name("BENCH.BIN"),
        text("LOT 2026-12-07 000123");

    for (const auto &[pacing, label] :
         {std::pair{ZC_PACING_POLLED, "polled"}, {ZC_PACING_EVENTS, "events"}}) {
        zc_set_pacing(pacing);
        const bool polled = pacing == ZC_PACING_POLLED;
        // A transfer's floor, in polled pacing only.
        const auto floorOf = [&](const Run &run, uint32_t announceReply, uint32_t blocks,
                                 uint32_t request, uint32_t reply) {
            return polled ? TransferFloorMs(run.lineBytes, announceReply, blocks, request, reply,
                                            timing)
                          : 0.0;
        };

        const Run exchange =
            Measure("exchange", options.exchanges, [] { return GetPrintStatus() >= 0; });
        const auto exchangeBytes = static_cast<uint32_t>(exchange.lineBytes / options.exchanges);
        Row(baud, label, "one exchange", exchange, options.exchanges,
            polled ? options.exchanges * ExchangeFloorMs(7, exchangeBytes - 7, timing) : 0, "");

        int number = 0;
        const Run strings = Measure("user string", options.strings,
                                    [&] { return StxSdString(text.text, 1 + number++ % 10) != 0; });
        const auto stringBytes = static_cast<uint32_t>(strings.lineBytes / options.strings);
        char rate[64];
        std::snprintf(rate, sizeof rate, "%.0f updates/s", options.strings * 1000 / strings.wallMs);
        Row(baud, label, "user-string update", strings, options.strings,
            polled ? options.strings * ExchangeFloorMs(stringBytes - kAckReply, kAckReply, timing)
                   : 0,
            rate);

        const Run logoSend =
            Measure("logo send", 1, [&] { return StxSendLogo(logoPath.text, 1) != 0; });
        Row(baud, label, "16000-byte logo send", logoSend, 1,
            floorOf(logoSend, kAckReply, logoBlocks, kBlockFrame, kAckReply), "");
        const Run logoFetch =
            Measure("logo fetch", 1, [&] { return BackUpLogo(backPath.text, 1) != 0; });
        Row(baud, label, "16000-byte logo fetch", logoFetch, 1,
            floorOf(logoFetch, kLengthReply, logoBlocks, kBlockRequest, kBlockReply), "");

        const std::string size = std::to_string(fileKiB) + " KiB file";
        const Run fileSend =
            Measure("file send", 1, [&] { return StxDownLoadFile(filePath.text, name.text) != 0; });
        Row(baud, label, size + " send", fileSend, 1,
            floorOf(fileSend, kAckReply, fileBlocks, kBlockFrame, kAckReply), "");
        const Run fileFetch =
            Measure("file fetch", 1, [&] { return StxUpLoadFile(backPath.text, name.text) != 0; });
        Row(baud, label, size + " fetch", fileFetch, 1,
            floorOf(fileFetch, kLengthReply, fileBlocks, kBlockRequest, kBlockReply), "");
    }
    zc_set_pacing(ZC_PACING_POLLED);
    CloseComPort();
}

std::vector<uint32_t> NumberList(const std::string &text) {
    std::vector<uint32_t> numbers;
    std::stringstream list(text);
    for (std::string item; std::getline(list, item, ',');)
        numbers.push_back(static_cast<uint32_t>(std::stoul(item)));
    return numbers;
}

Options ParseOptions(int argc, char **argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i], value = argv[i + 1];
        if (flag == "--sim")
            options.simulator = value;
        else if (flag == "--lines")
            options.lines = NumberList(value);
        else if (flag == "--file-kib")
            options.fileKiB = NumberList(value);
        else if (flag == "--exchanges")
            options.exchanges = std::stoi(value);
        else if (flag == "--strings")
            options.strings = std::stoi(value);
        else {
            std::fprintf(stderr,
                         "unknown option %s; see the comment at the top of PacingBench.cpp\n",
                         flag.c_str());
            std::exit(2);
        }
    }
    if (options.fileKiB.size() < options.lines.size()) {
        std::fprintf(stderr, "--file-kib needs a size for each line of --lines\n");
        std::exit(2);
    }
    return options;
}

} // namespace

int main(int argc, char **argv) {
    const Options options = ParseOptions(argc, argv);
    char folderTemplate[] = "/tmp/zarelcom-pacing-XXXXXX";
    const std::string folder = mkdtemp(folderTemplate);
    ProcessLink().port.UsePlatform(platform);
    const double sleepOverrunMs = MeasureSleepOverrunMs();
    std::printf("Per item: wall ms, wire ms (the bytes both ways at 10 bits a byte), wall / wire, "
                "polled wall over\n"
                "the floor of its mandated sleeps (each %.3f ms longer here than asked), CPU ms of "
                "the thread that\n"
                "runs the exchanges.\n\n",
                sleepOverrunMs);
    std::printf("%-11s %-7s %-22s %10s %10s %8s %8s %8s\n", "line", "pacing", "what", "wall ms",
                "wire ms", "wall/wire", "floor", "cpu ms");
    for (size_t i = 0; i < options.lines.size(); ++i)
        RunLine(options, options.lines[i], options.fileKiB[i], sleepOverrunMs, folder);
    std::filesystem::remove_all(folder);
}
