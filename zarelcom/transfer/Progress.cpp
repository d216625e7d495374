#include "transfer/Progress.h"

#include <zarelcom/zarelcom.h>

#include "link/CountedText.h"
#include "link/Library.h"

namespace {
int64_t BytesDone(int32_t n) { return static_cast<int64_t>(n) * ZC_BLOCK_SIZE; }
} // namespace

std::string ProgressLine(std::string_view name, int32_t total, int32_t n, int32_t retries) {
    const int64_t done = BytesDone(n);
    std::string line;
    if (total != 0) {
        int64_t percent = done * 100 / total;
        if (percent >= 100) percent = 100;
        line.append(name);
        line += "  ";
        line += (std::to_string(percent) + "%  ").substr(0, 4);
        line += std::to_string(done) + " / " + std::to_string(total) + " Bytes";
    } else {
        line = std::to_string(done) + " / 0";
    }
    if (retries > 0) line += "  Retry count:" + std::to_string(retries);
    return line;
}

void ReportProgress(const Link &link, std::string_view name, int32_t total, int32_t n) {
    if (link.messageCallback == nullptr && link.progressCallback == nullptr) return;
    const std::string line = ProgressLine(name, total, n, link.retryCount);
    // Taken before the first call: a callback may register another.
    const zc_progress_callback progress = link.progressCallback;
    void *const context = link.progressContext;
    if (link.messageCallback) link.messageCallback(line.c_str());
    if (progress) progress(BytesDone(n), total, line.c_str(), context);
}

extern "C" ZARELCOM_API void ZARELCOM_CALL ShowTxRxInfo(zc_text name, int32_t total, int32_t n) {
    const TextArgument line(name);
    GuardExport([&](Link &link) { ReportProgress(link, line.View(), total, n); });
}
