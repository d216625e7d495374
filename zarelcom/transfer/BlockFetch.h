// The receive half of every transfer: blocks asked for one at a time and written straight from
// the receive buffer into the new version of the local file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "transfer/Announce.h"

// The exchange that starts a fetch: the length the printer will deliver, nullopt when it refused.
using FetchRequest = std::function<std::optional<int32_t>()>;

// Prepares the new version of the local file (nothing goes on the wire when it cannot be
// created), runs the request, then asks for blocks 1 .. BlockCount(length) and writes their 512
// bytes each, reporting progress under the path after each block. The local file is replaced only
// when every block arrived and was written, and then holds exactly block count x 512 bytes.
// False, with the file as it was, when the request is refused, the length is 0 or below, the
// file cannot be made or written (a local failure: GetLastPortError says why), or a block is
// not delivered.
bool FetchToFile(Link &link, std::string_view pathText, const FetchRequest &request);

// FetchToFile after the request frame, whose good reply with the code expectedReply carries the
// length in reply data bytes 0 to 3 (another code: see WrongReplyCode).
bool FetchRequested(Link &link, std::string_view pathText, uint8_t *request, uint8_t expectedReply,
                    WrongReplyCode onWrongCode);
