#include "transfer/Announce.h"

#include "link/Exchange.h"
#include "link/Reply.h"

namespace {
constexpr int32_t UnexpectedReplyCode = 200;
}

bool AnnounceTransfer(Link &link, uint8_t *frame, uint8_t expectedReply, WrongReplyCode onWrongCode)
{
    if (!Exchange(link, frame))
        return false;
    if (ReplyCode(link) == expectedReply)
        return true;
    if (onWrongCode == WrongReplyCode::SetsError200)
        link.lastErrorCode = UnexpectedReplyCode;
    return false;
}

int32_t RepliedLength(const Link &link)
{
    return ReplyLe32(link, 0);
}
