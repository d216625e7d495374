// The request/reply exchange of packet mode and the command-line exchange of terminal mode, with
// their polls, sleeps, retries and error codes, each on the link it is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/Link.h"
#include "link/ReplyReader.h"

// The printer's error number that ends the retries of a command exchange.
constexpr int32_t kErrorStopsRetries = 16;

enum class Retries { StopOnError16, AllThree };

// Receives one reply frame into the link's receive buffer. The reception's own failures set the
// ZC_ERR_* codes of the reception. It lasts at most kReceptionMs plus the wire time of the reply,
// however slowly the printer sends.
Reception ReceiveReply(Link &link);
constexpr uint32_t kReceptionMs = 3200;

// Sends the request frame (its checksum byte is filled in) and receives a good reply, up to three
// attempts. True when a good reply is in the link's receive buffer.
bool ExchangePacket(Link &link, uint8_t *frame, Retries retries);

// Packet exchange of a command: stops the retries on the printer's error 16.
inline bool Exchange(Link &link, uint8_t *frame) {
    return ExchangePacket(link, frame, Retries::StopOnError16);
}

// Terminal mode. Waits for the answer to a command line: its echo (the expected text without its
// last two characters), an ACK or a NAK. The answer is read into the link's receive buffer.
bool AwaitAnswer(Link &link, std::string_view expected);
// Waits for the readiness character "C"; sets the link's terminal status on failure.
bool AwaitReady(Link &link);
// Types the command line, up to three attempts, 2 s apart.
bool SendCommandLine(Link &link, std::string_view line);
// Writes the bytes as they are; true when the port took every one.
bool SendRaw(Link &link, std::string_view bytes);
