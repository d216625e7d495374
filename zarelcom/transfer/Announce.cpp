#include "transfer/Announce.h"

#include "link/Exchange.h"
#include "link/Library.h"

namespace {
constexpr int32_t UnexpectedReplyCode = 200;
}

bool AnnounceTransfer(uint8_t *frame, uint8_t expectedReply, WrongReplyCode onWrongCode)
{
    if (!SendPackToZarel(frame))
        return false;
    if (RcvBuffer[1] == expectedReply)
        return true;
    if (onWrongCode == WrongReplyCode::SetsError200)
        LastErrorCode = UnexpectedReplyCode;
    return false;
}

int32_t RepliedLength()
{
    uint32_t length = 0;
    for (int i = 3; i >= 0; --i)
        length = (length << 8) | RcvBuffer[2 + i];
    return static_cast<int32_t>(length);
}
