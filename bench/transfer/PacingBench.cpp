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
#include <zarelcom/zarelcom.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "ExchangeFloor.h"
#include "PacingRows.h"
#include "SimulatorProcess.h"
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

void RunLine(const Options &options, uint32_t baud, uint32_t fileKiB, double sleepOverrunMs,
             const std::string &folder) {
    const uint32_t printerBaud = baud == 0 ? 115200 : baud;
    SimulatorProcess printer(options.simulator, kCom, printerBaud, baud != 0);
    SetBaudRate(zarelcom::RateOrdinal(printerBaud));
    if (!OpenComPort(kCom)) {
        std::fprintf(stderr, "cannot open com%d: %s\n", kCom, GetLastPortError());
        std::exit(1);
    }
    PrintPacingRows(baud, sleepOverrunMs, {options.exchanges, options.strings, fileKiB}, folder);
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
    ProcessLink().port.UsePlatform(PacingPlatform());
    const double sleepOverrunMs = MeasureSleepOverrunMs();
    PrintPacingHead(sleepOverrunMs);
    for (size_t i = 0; i < options.lines.size(); ++i)
        RunLine(options, options.lines[i], options.fileKiB[i], sleepOverrunMs, folder);
    std::filesystem::remove_all(folder);
}
