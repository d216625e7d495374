// Logos into the printer's numbered slots, and the empty callback export kept for callers.
#include <zarelcom/zarelcom.h>

#include "link/Library.h"
#include "transfer/BlockSend.h"
#include "transfer/Frames.h"
#include "transfer/TextArgs.h"

extern "C" ZARELCOM_API zc_bool StxSendLogo(zc_text path, int32_t slot)
{
    return Guarded<zc_bool>(false, [&] {
        return AnnounceAndSend(TextBytes(path), [slot](int32_t size) { return LogoAnnouncement(size, slot); });
    });
}

extern "C" ZARELCOM_API void xCallback(int32_t, int32_t, int32_t, int32_t)
{
}
