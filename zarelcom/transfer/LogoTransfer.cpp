// Logos into the printer's numbered slots, and the empty callback export kept for callers.
#include <zarelcom/zarelcom.h>

#include "link/CountedText.h"
#include "link/Library.h"
#include "transfer/BlockSend.h"
#include "transfer/Frames.h"

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL StxSendLogo(zc_text pathText, int32_t slot) {
    const TextArgument path(pathText);
    return GuardExport<zc_bool>(false, [&](Link &link) {
        return AnnounceAndSend(link, path.View(),
                               [slot](int32_t size) { return LogoAnnouncement(size, slot); });
    });
}

extern "C" ZARELCOM_API void ZARELCOM_CALL xCallback(int32_t, int32_t, int32_t, int32_t) {}
