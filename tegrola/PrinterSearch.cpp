#include "PrinterSearch.h"

#include <zarelcom/zarelcom.h>

#include <algorithm>
#include <array>

namespace {

// The port rate codes of the printer baud indexes 0-4, the order the search tries them in.
constexpr std::array<int32_t, 5> kSearchRates = {ZC_BR9600, ZC_BR19200, ZC_BR38400, ZC_BR57600,
                                                 ZC_BR115200};
// Anything that answers with a model number up to this is not a printer.
constexpr int32_t kHighestNonPrinterModel = 100;

} // namespace

bool TPrinterSearch::Run(int32_t *list) {
    for (int32_t i = 1; i < list[0]; ++i) {
        if (!OpenUnlessStopped(list[i])) return false;
        for (std::size_t j = 0; j < kSearchRates.size() && !Stopped(); ++j) {
            SystemInfo info{};
            if (SetBaudRate(kSearchRates[j]) && GetSysInfo(&info) &&
                info.ModelNo > kHighestNonPrinterModel) {
                if (Stopped()) return false;
                list[0] = i;
                list[1] = int32_t(j);
                return true;
            }
        }
    }
    return false;
}

void TPrinterSearch::Stop() {
    const std::lock_guard<std::mutex> hold(FLock);
    FStopped = true;
    // A try waiting for a silent printer finds the port closed and gives up.
    CloseComPort();
}

bool TPrinterSearch::OpenUnlessStopped(int32_t port) {
    const std::lock_guard<std::mutex> hold(FLock);
    if (FStopped) return false;
    // A number no port has (-1 for a list text without one) is refused without a reason.
    const bool tried = std::any_of(FRefusals.begin(), FRefusals.end(),
                                   [port](const auto &refusal) { return refusal.first == port; });
    if (!OpenComPort(port) && port > 0 && !tried) FRefusals.emplace_back(port, GetLastPortError());
    return true;
}

bool TPrinterSearch::Stopped() {
    const std::lock_guard<std::mutex> hold(FLock);
    return FStopped;
}
