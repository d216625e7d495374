// The printer search: every port of the caller's list at five line rates, until a printer
// answers with its system information.
#include <array>

#include <zarelcom/zarelcom.h>

#include "link/Library.h"
#include "link/Printer.h"

namespace {

constexpr std::array<int32_t, 5> kSearchRates = {ZC_BR9600, ZC_BR19200, ZC_BR38400, ZC_BR57600,
                                                 ZC_BR115200};
// Anything that answers "B" with a model number up to this is not a printer.
constexpr int32_t kHighestNonPrinterModel = 100;

bool FindPrinter(Link &link, int32_t *list) {
    for (int32_t i = 1; i < list[0]; ++i) {
        // A port that did not open is passed over: the one left open is not this entry's. A port
        // error on one port or rate (a device refusing a rate, say) does not end the search; its
        // message is kept all the same.
        if (!KeepingErrors(link, false, [&] { return OpenPort(link, list[i]); })) continue;
        for (std::size_t j = 0; j < kSearchRates.size(); ++j) {
            SystemInfo info{};
            const bool answered = KeepingErrors(link, false, [&] {
                return SetPortRate(link, kSearchRates[j]) && GetSystemInfo(link, info);
            });
            if (answered && info.ModelNo > kHighestNonPrinterModel) {
                list[0] = i;
                list[1] = static_cast<int32_t>(j);
                return true;
            }
        }
    }
    return false;
}

} // namespace

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL AutoConnect(int32_t *list) {
    return GuardExport<zc_bool>(false, [&](Link &link) { return list && FindPrinter(link, list); });
}
