// The request/reply exchange of packet mode and the command-line exchange of terminal mode, with
// their polls, sleeps, retries and error codes, and the process-wide state they share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr std::size_t kRcvBufferSize = 1024;

// The last reply, from its lead byte on (reply code at byte 1, reply data byte k at byte 2 + k),
// followed by its checksum and ETX; terminal answers from byte 0.
extern uint8_t RcvBuffer[kRcvBufferSize];
// N of the request being sent, then N of the reply being received.
extern int32_t CurrentLength;
// The attempt (0, 1, 2) of the running packet exchange; 3 after three failed attempts.
extern int32_t RetryCount;
// The outcome of the last readiness wait: 0 nothing arrived, 1 fewer than 8 bytes, 2 no "C".
extern int32_t TerminalStatus;

// How the exchanges wait for the printer. Polled: sleeps between looks at the port, poll for
// poll as the printer's pacing has it. Events: waits on the line for the same conditions, with
// the same deadlines and outcomes, and goes on the moment a condition holds.
enum class Pacing { Polled, Events };
extern Pacing LinkPacing;
// Events when the environment variable ZARELCOM_PACING is "events", else polled.
Pacing InitialPacing();

// The printer's error number that ends the retries of a command exchange.
constexpr int32_t kErrorStopsRetries = 16;

enum class Reception { Good, ErrorReply, Failed };

enum class Retries { StopOnError16, AllThree };

// Stores the checksum of a frame whose payload length is CurrentLength.
void SetPackChecksum(uint8_t *frame);

// Receives one reply frame into RcvBuffer. The reception's own failures set the ZC_ERR_* codes of
// the reception. It lasts at most kReceptionMs plus the wire time of the reply, however slowly
// the printer sends.
Reception ReceiveReply();
constexpr uint32_t kReceptionMs = 3200;

// Sends the request frame (its checksum byte is filled in) and receives a good reply, up to three
// attempts. True when a good reply is in RcvBuffer.
bool ExchangePacket(uint8_t *frame, Retries retries);

// Packet exchange of a command: stops the retries on the printer's error 16.
inline bool Exchange(uint8_t *frame) { return ExchangePacket(frame, Retries::StopOnError16); }

// Terminal mode. Waits for the answer to a command line: its echo (the expected text without its
// last two characters), an ACK or a NAK. The answer is read into RcvBuffer.
bool AwaitAnswer(std::string_view expected);
// Waits for the readiness character "C"; sets TerminalStatus on failure.
bool AwaitReady();
// Types the command line, up to three attempts, 2 s apart.
bool SendCommandLine(std::string_view line);
// Writes the bytes as they are; true when the port took every one.
bool SendRaw(std::string_view bytes);
