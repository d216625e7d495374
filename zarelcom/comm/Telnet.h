// The telnet layer of a connection to a device server: data with 0xFF doubled, option
// negotiation, and the sub-negotiations of the COM port option.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace telnet {
constexpr uint8_t IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240;
constexpr uint8_t Binary = 0, Echo = 1, SuppressGoAhead = 3, ComPort = 44;

// Commands of the COM port option from client to server; the server answers command c as
// c + ServerReply.
enum ComPortCommand : uint8_t {
    SetBaudRate = 1,
    SetDataSize = 2,
    SetParity = 3,
    SetStopSize = 4,
    SetControl = 5,
    NotifyLineState = 6,
    NotifyModemState = 7,
    PurgeData = 12
};
constexpr uint8_t ServerReply = 100;

// Appends count data bytes to out, each 0xFF doubled.
void AppendData(std::string& out, const void* bytes, size_t count);
// Appends IAC verb option.
void AppendNegotiation(std::string& out, uint8_t verb, uint8_t option);
// Appends IAC SB COM-PORT-OPTION command value IAC SE, the value's 0xFF doubled.
void AppendComPort(std::string& out, uint8_t command, const std::string& value);

// What the decoder finds in the server's stream.
class Receiver {
public:
    virtual ~Receiver() = default;
    virtual void Data(const uint8_t* bytes, size_t count) = 0;
    virtual void Negotiation(uint8_t verb, uint8_t option) = 0;
    // The bytes between IAC SB option and IAC SE, 0xFF undoubled.
    virtual void Subnegotiation(uint8_t option, const std::string& body) = 0;
};

// Splits the server's stream into data and commands; bytes may come in any pieces. An IAC that
// is neither doubled nor a command takes the byte after it with it, as telnet has it.
class Decoder {
public:
    void Feed(const uint8_t* bytes, size_t count, Receiver& receiver);

private:
    // A sub-negotiation longer than this is none of the COM port option's: the rest is dropped.
    static constexpr size_t kLongestSubnegotiation = 64;
    enum class State { Data, Command, Option, Sub, SubCommand } state_ = State::Data;
    uint8_t verb_ = 0;
    std::string sub_;
};
} // namespace telnet
