// The one exception the serial port object raises.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// A port failure. what() is the port's fixed message with the code filled in, e.g.
// "Port already assigned (open) (Error: -1)"; Code() is the operating-system error number, or
// -1 where the failure is the port's own.
class ECommError : public std::runtime_error {
public:
    // format holds one "%d", which receives code.
    ECommError(const char* format, int32_t code);
    // The same with the device's reason before the code, when there is one:
    // "Error updating DataControlBlock: the device server did not accept 38400 bit/s (Error: 22)".
    ECommError(const char* format, int32_t code, const std::string& reason);
    int32_t Code() const { return code_; }

private:
    int32_t code_;
};

// The port's failure messages.
namespace CommMessage {
constexpr const char* AlreadyOpen = "Port already assigned (open) (Error: %d)";
constexpr const char* Buffers = "Error initializing Read/Write Buffers (Error: %d)";
constexpr const char* Timeouts = "Error updating CommTimeouts (Error: %d)";
constexpr const char* DataControlBlock = "Error updating DataControlBlock (Error: %d)";
constexpr const char* Escape = "EscapeCommFunction failure (Error: %d)";
constexpr const char* NotOpen = "Port not open (Error: %d)";
constexpr const char* Lost = "Port connection lost (Error: %d)";
} // namespace CommMessage
