#include "transfer/Progress.h"

#include <zarelcom/zarelcom.h>

#include "link/CountedText.h"
#include "link/Library.h"

std::string ProgressLine(std::string_view name, int32_t total, int32_t n, int32_t retries) {
    const int64_t done = static_cast<int64_t>(n) * 512;
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
    if (link.messageCallback == nullptr) return;
    const std::string line = ProgressLine(name, total, n, link.retryCount);
    link.messageCallback(line.c_str());
}

extern "C" ZARELCOM_API void ZARELCOM_CALL ShowTxRxInfo(zc_text name, int32_t total, int32_t n) {
    const TextArgument line(name);
    GuardExport([&](Link &link) { ReportProgress(link, line.View(), total, n); });
}
