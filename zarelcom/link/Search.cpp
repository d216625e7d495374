// The printer search: every port of the caller's list at the five line rates, until a printer
// answers with its system information; the caller may be asked before each try.
#include <zarelcom/zarelcom.h>

#include "link/Library.h"
#include "link/Printer.h"

namespace {

constexpr int32_t kSearchRates[ZC_SEARCH_RATE_COUNT] = ZC_SEARCH_RATES;
// Anything that answers "B" with a model number up to this is not a printer.
constexpr int32_t kHighestNonPrinterModel = 100;

enum class Outcome { Found, NotFound, Stopped };

Outcome FindPrinter(Link &link, int32_t *list, zc_search_callback onTry, void *context) {
    for (int32_t i = 1; i < list[0]; ++i) {
        for (int32_t j = 0; j < ZC_SEARCH_RATE_COUNT; ++j) {
            if (onTry && !onTry(list[i], kSearchRates[j], context)) return Outcome::Stopped;
            // A port that did not open is passed over: the one left open is not this entry's. A
            // port error on one port or rate (a device refusing a rate, say) does not end the
            // search; its message is kept all the same.
            if (j == 0 && !KeepingErrors(link, false, [&] { return OpenPort(link, list[i]); }))
                break;
            SystemInfo info{};
            const bool answered = KeepingErrors(link, false, [&] {
                return SetPortRate(link, kSearchRates[j]) && GetSystemInfo(link, info);
            });
            if (answered && info.ModelNo > kHighestNonPrinterModel) {
                list[0] = i;
                list[1] = j;
                return Outcome::Found;
            }
        }
    }
    return Outcome::NotFound;
}

bool Search(Link &link, int32_t *list, zc_search_callback onTry, void *context) {
    if (!list) return false;
    switch (FindPrinter(link, list, onTry, context)) {
    case Outcome::Found:
        return true;
    case Outcome::Stopped:
        link.port.Close();
        return false;
    case Outcome::NotFound:
        // Every rate of the list was set in turn, also on ports that did not open: the next open
        // uses the last.
        if (list[0] > 1)
            KeepingErrors(link, false, [&] {
                return SetPortRate(link, kSearchRates[ZC_SEARCH_RATE_COUNT - 1]);
            });
        return false;
    }
    return false;
}

} // namespace

extern "C" {

ZARELCOM_API zc_bool ZARELCOM_CALL AutoConnect(int32_t *list) {
    return GuardExport<zc_bool>(false,
                                [&](Link &link) { return Search(link, list, nullptr, nullptr); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL zc_search(int32_t *list, zc_search_callback on_try,
                                             void *context) {
    return GuardExport<zc_bool>(false,
                                [&](Link &link) { return Search(link, list, on_try, context); });
}

} // extern "C"
