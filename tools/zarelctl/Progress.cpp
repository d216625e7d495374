#include "Progress.h"

#include <zarelcom/zarelcom.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace zarelctl {

std::string ProgressBar(const TransferPosition &position, int width, double bytesPerSecond) {
    long long done = position.total > 0 ? std::min(position.done, position.total) : position.done;
    long long percent = position.total > 0 ? done * 100 / position.total : 100;
    int marks = static_cast<int>(percent * width / 100);
    std::string bar = "[" + std::string(marks, '#') + std::string(width - marks, '-') + "] ";
    char figures[128];
    int length = std::snprintf(figures, sizeof figures, "%3lld%%  %lld / %lld bytes", percent, done,
                               position.total);
    if (bytesPerSecond > 0) {
        long long left = static_cast<long long>((position.total - done) / bytesPerSecond + 0.5);
        std::snprintf(figures + length, sizeof figures - length, "  %.1f kB/s  %lld:%02lld left",
                      bytesPerSecond / 1000, left / 60, left % 60);
    }
    return bar + figures;
}

namespace {

FILE *progressOut = stderr;
bool progressAsBar = false;
bool barOnScreen = false;
// The transfer's first progress line, from which the rate is measured.
std::chrono::steady_clock::time_point firstLineAt;
long long firstLineBytes = 0;

double BytesPerSecond(const TransferPosition &position) {
    auto now = std::chrono::steady_clock::now();
    if (!barOnScreen || position.done < firstLineBytes) {
        firstLineAt = now;
        firstLineBytes = position.done;
        return 0;
    }
    double seconds = std::chrono::duration<double>(now - firstLineAt).count();
    return seconds > 0 ? (position.done - firstLineBytes) / seconds : 0;
}

void ZARELCOM_CALL ShowProgress(int64_t done, int64_t total, const char *text, void *) {
    std::string line = text ? text : "";
    if (!progressAsBar) {
        std::fprintf(progressOut, "%s\n", line.c_str());
        std::fflush(progressOut);
        return;
    }
    const TransferPosition position{done, total};
    std::string retry;
    if (size_t note = line.find("Retry count:"); note != std::string::npos)
        retry = "  retry " + line.substr(note + std::strlen("Retry count:"));
    // Clear to the end of the line: a retry note may have made the previous bar longer.
    double rate = BytesPerSecond(position);
    std::fprintf(progressOut, "\r%s%s\033[K", ProgressBar(position, 30, rate).c_str(),
                 retry.c_str());
    std::fflush(progressOut);
    barOnScreen = true;
}

} // namespace

void ShowProgressOn(FILE *out, bool asBar) {
    progressOut = out;
    progressAsBar = asBar;
    zc_set_progress(&ShowProgress, nullptr);
}

void FinishProgress() {
    if (barOnScreen) std::fprintf(progressOut, "\n");
    barOnScreen = false;
}

} // namespace zarelctl
