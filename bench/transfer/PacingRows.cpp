#include "PacingRows.h"

#include <zarelcom/zarelcom.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>

#include "ExchangeFloor.h"
#include "TransferSetup.h"

namespace {

struct Run {
    double wallMs;
    double cpuMs;
    uint64_t lineBytes;
};

// CPU time of the calling thread, the one the exchanges run on (the port's event thread, which
// wakes for arriving bytes in either pacing, is left out).
double CpuMs() {
#ifdef _WIN32
    FILETIME created, ended, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &ended, &kernel, &user);
    const auto ms = [](FILETIME time) {
        return double(ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart) / 1e4;
    };
    return ms(kernel) + ms(user);
#else
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
#endif
}

// Runs the step `times` times; exits when one fails.
Run Measure(const char *what, int times, const std::function<bool()> &step) {
    PacingPlatform().TakeLineBytes();
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
    return {wall, CpuMs() - cpu, PacingPlatform().TakeLineBytes()};
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

} // namespace

CountedSleeps &PacingPlatform() {
    static CountedSleeps platform;
    return platform;
}

void PrintPacingHead(double sleepOverrunMs) {
    std::printf("Per item: wall ms, wire ms (the bytes both ways at 10 bits a byte), wall / wire, "
                "polled wall over\n"
                "the floor of its mandated sleeps (each %.3f ms longer here than asked), CPU ms of "
                "the thread that\n"
                "runs the exchanges.\n\n",
                sleepOverrunMs);
    std::printf("%-11s %-7s %-22s %10s %10s %8s %8s %8s\n", "line", "pacing", "what", "wall ms",
                "wire ms", "wall/wire", "floor", "cpu ms");
}

void PrintPacingRows(uint32_t baud, double sleepOverrunMs, const PacingItems &items,
                     const std::string &folder) {
    const LineTiming timing{baud, sleepOverrunMs};
    const uint32_t fileBytes = items.fileKiB * 1024;
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
            Measure("exchange", items.exchanges, [] { return GetPrintStatus() >= 0; });
        const auto exchangeBytes = static_cast<uint32_t>(exchange.lineBytes / items.exchanges);
        Row(baud, label, "one exchange", exchange, items.exchanges,
            polled ? items.exchanges * ExchangeFloorMs(7, exchangeBytes - 7, timing) : 0, "");

        int number = 0;
        const Run strings = Measure("user string", items.strings,
                                    [&] { return StxSdString(text.text, 1 + number++ % 10) != 0; });
        const auto stringBytes = static_cast<uint32_t>(strings.lineBytes / items.strings);
        char rate[64];
        std::snprintf(rate, sizeof rate, "%.0f updates/s", items.strings * 1000 / strings.wallMs);
        Row(baud, label, "user-string update", strings, items.strings,
            polled ? items.strings * ExchangeFloorMs(stringBytes - kAckReply, kAckReply, timing)
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

        if (items.fileKiB == 0) continue;
        const std::string size = std::to_string(items.fileKiB) + " KiB file";
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
}
