// Shows the library's per-block progress while a transfer runs: a bar drawn from its figures that
// redraws itself on a terminal, the library's own line, one per block, anywhere else (a log, a
// pipe, a CI job).
#pragma once

#include <cstdio>
#include <string>

namespace zarelctl {

struct TransferPosition {
    long long done = 0;  // bytes done (whole blocks, so it may pass the total on the last block)
    long long total = 0; // bytes announced; 0 when the transfer announced none
};

// The bar for a position, e.g. "[#######-------------]  34%  512 / 1500 bytes  2.1 kB/s  0:01 left",
// width in marks. The last block counts whole in the library's figures: the bar stops at the
// file's size. The rate and the time left are shown once bytesPerSecond is known (above 0).
std::string ProgressBar(const TransferPosition &position, int width, double bytesPerSecond = 0);

// Registers the library's progress callback; lines go to out, as a bar when asBar is true.
void ShowProgressOn(FILE *out, bool asBar);
// Ends a bar that is still on screen with a line break; nothing in the plain form.
void FinishProgress();

} // namespace zarelctl
