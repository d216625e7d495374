// The wire trace: with ZARELCOM_TRACE set to "stderr" or to a file's path, every frame and
// terminal line the library sends and receives is written as one line with the time, the
// direction, the command's name and the bytes in hex. Unset, each call costs one test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/Exchange.h"

// A request frame as it went out (its name from its command byte).
void TraceFrameSent(const uint8_t *frame, std::size_t size);
// The reply to the last request, told from the reception's outcome: the frame whose payload of
// length n (then checksum and ETX) is in payload, or why none came.
void TraceReply(Reception reception, const uint8_t *payload, int32_t n, int32_t errorCode);
// Bytes of terminal mode, or raw bytes of the port exports, as they went out or came in.
void TraceLineSent(std::string_view bytes);
void TraceLineReceived(std::string_view bytes);
