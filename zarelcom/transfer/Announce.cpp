#include "transfer/Announce.h"

#include <zarelcom/zarelcom.h>

#include "link/Library.h"
#include "link/Reply.h"

bool AnnounceTransfer(uint8_t *frame, uint8_t expectedReply, WrongReplyCode onWrongCode)
{
    if (!SendPackToZarel(frame))
        return false;
    if (ReplyCode() == expectedReply)
        return true;
    if (onWrongCode == WrongReplyCode::SetsError200)
        LastErrorCode = ZC_ERR_UNEXPECTED_REPLY;
    return false;
}

std::optional<int32_t> RepliedLength()
{
    if (!ReplyCarries(4))
        return std::nullopt;
    if (!ReplyFrameIntact()) {
        LastErrorCode = ZC_ERR_BAD_REPLY;
        return std::nullopt;
    }
    return ReplyLe32(0);
}
