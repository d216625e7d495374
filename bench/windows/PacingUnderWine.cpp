// Polled and events pacing side by side under Wine, against the Linux simulator that
// scripts/windows starts on the given COM port, throttled to the given rate (0: not throttled,
// at 115200 bit/s): the rows of bench/transfer/PacingRows.h, less the file rows.
//   pacing_under_wine COM-NUMBER BAUD
#include <zarelcom/zarelcom.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ExchangeFloor.h"
#include "PacingRows.h"
#include "link/Library.h"

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pacing_under_wine COM-NUMBER BAUD\n");
        return 2;
    }
    const int com = std::atoi(argv[1]);
    const auto baud = static_cast<uint32_t>(std::atoi(argv[2]));
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "zarelcom-pacing-under-wine";
    std::filesystem::create_directories(folder);
    ProcessLink().port.UsePlatform(PacingPlatform());
    SetBaudRate(zarelcom::RateOrdinal(baud == 0 ? 115200 : baud));
    if (!OpenComPort(com)) {
        std::fprintf(stderr, "cannot open COM%d: %s\n", com, GetLastPortError());
        return 1;
    }
    const double sleepOverrunMs = MeasureSleepOverrunMs();
    PrintPacingHead(sleepOverrunMs);
    PrintPacingRows(baud, sleepOverrunMs, {20, 50, 0}, folder.generic_string());
    CloseComPort();
    std::filesystem::remove_all(folder);
}
