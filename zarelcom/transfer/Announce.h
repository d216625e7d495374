// One announcement or request exchange of a transfer, with the check of the printer's reply code.
#pragma once

#include <cstdint>
#include <optional>

#include "link/Link.h"

// What a good reply with the wrong code leaves in the link's error code: file transfers and restores set
// 200, backups leave the code as it was.
enum class WrongReplyCode { SetsError200, LeavesErrorCode };

// Exchanges frame as a command; true when a good reply with the expected reply code came.
bool AnnounceTransfer(Link &link, uint8_t *frame, uint8_t expectedReply,
                      WrongReplyCode onWrongCode);

// Reply data bytes 0 to 3 of the last reply: the length a request or backup was answered with.
// A length changed on the line, or one the reply does not carry whole, would fetch the wrong number
// of blocks: nullopt then, with the link's error code ZC_ERR_BAD_REPLY.
std::optional<int32_t> RepliedLength(Link &link);
