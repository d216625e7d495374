// The rows both pacing benchmarks print (Linux: PacingBench.cpp; Windows under Wine:
// bench/windows/PacingUnderWine.cpp): on a port already open to the printer, in polled and then
// events pacing, one exchange, user-string updates, a logo each way and a file each way, each
// beside the wire time of its bytes and, for polled pacing, the floor of its mandated sleeps.
#pragma once

#include <cstdint>
#include <string>

#include "CountedSleeps.h"

struct PacingItems {
    int exchanges = 50;
    int strings = 100;
    uint32_t fileKiB = 32; // 0: no file rows
};

// The platform the rows count on: the port must have been opened through it.
CountedSleeps &PacingPlatform();

// The table's head, naming the sleep overrun measured here.
void PrintPacingHead(double sleepOverrunMs);

// The rows of one line (baud 0: unthrottled) in both pacings; work files go into folder. Exits
// when an item fails. Leaves polled pacing set.
void PrintPacingRows(uint32_t baud, double sleepOverrunMs, const PacingItems &items,
                     const std::string &folder);
