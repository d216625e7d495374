// The exported exchanges. The buffer arguments of the reception functions are always the receive
// buffer: they are read into the library's own and never written.
#include <zarelcom/zarelcom.h>

#include "link/CountedText.h"
#include "link/Exchange.h"
#include "link/Library.h"

extern "C" {

ZARELCOM_API zc_bool ZARELCOM_CALL SendPackToZarel(uint8_t *frame) {
    return GuardExport<zc_bool>(false, [&](Link &link) { return frame && Exchange(link, frame); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SendPackToZarel2(uint8_t *frame) {
    return GuardExport<zc_bool>(
        false, [&](Link &link) { return frame && ExchangePacket(link, frame, Retries::AllThree); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL RcvPack(uint8_t *) {
    return GuardExport<zc_bool>(false,
                                [](Link &link) { return ReceiveReply(link) == Reception::Good; });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SendTermCmd(zc_text line) {
    return GuardExport<zc_bool>(
        false, [&](Link &link) { return SendCommandLine(link, TextArgument(line).View()); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL RcvCmdPack1(zc_text expected, uint8_t *) {
    return GuardExport<zc_bool>(
        false, [&](Link &link) { return AwaitAnswer(link, TextArgument(expected).View()); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL RcvCmdPack(uint8_t *) {
    return GuardExport<zc_bool>(false, [](Link &link) { return AwaitReady(link); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL StringSend(zc_text text) {
    return GuardExport<zc_bool>(
        false, [&](Link &link) { return SendRaw(link, TextArgument(text).View()); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL zc_set_pacing(int32_t pacing) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (pacing != ZC_PACING_POLLED && pacing != ZC_PACING_EVENTS) return false;
        link.pacing = pacing == ZC_PACING_EVENTS ? Pacing::Events : Pacing::Polled;
        return true;
    });
}

} // extern "C"
