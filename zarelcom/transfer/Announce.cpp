#include "transfer/Announce.h"

#include "link/Exchange.h"
#include "link/Reply.h"

bool AnnounceTransfer(Link &link, uint8_t *frame, uint8_t expectedReply,
                      WrongReplyCode onWrongCode) {
    if (!Exchange(link, frame)) return false;
    if (ReplyCode(link) == expectedReply) return true;
    if (onWrongCode == WrongReplyCode::SetsError200) link.lastErrorCode = ZC_ERR_UNEXPECTED_REPLY;
    return false;
}

std::optional<int32_t> RepliedLength(Link &link) {
    if (!ReplyCarries(link, 4)) return std::nullopt;
    if (!ReplyFrameIntact(link)) {
        link.lastErrorCode = ZC_ERR_BAD_REPLY;
        return std::nullopt;
    }
    return ReplyLe32(link, 0);
}
