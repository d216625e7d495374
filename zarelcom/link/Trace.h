// The wire trace: with ZARELCOM_TRACE set to "stderr" or to a file's path, every frame and
// terminal line the library sends and receives is written as one line with the time, the port,
// the direction, the command's name and the bytes in hex. Unset, each call costs one test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/Exchange.h"
#include "link/Link.h"

// The time a line begins with, "2026-12-07 19:14:17.123" in local time, of a moment in
// milliseconds since 1970 (UTC).
std::string TraceTimestamp(int64_t ms);

// Every line names the link's port. A request frame as it went out (its name from its command
// byte, which the link keeps to name the reply).
void TraceFrameSent(Link &link, const uint8_t *frame, std::size_t size);
// The reply to the link's last request, told from the reception's outcome: the frame in the
// receive buffer, or why none came.
void TraceReply(const Link &link, Reception reception);
// Bytes of terminal mode, or raw bytes of the port exports, as they went out or came in.
void TraceLineSent(const Link &link, std::string_view bytes);
void TraceLineReceived(const Link &link, std::string_view bytes);
