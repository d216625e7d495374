#include "comm/Telnet.h"

namespace telnet {

void AppendData(std::string& out, const void* bytes, size_t count) {
    const auto* data = static_cast<const uint8_t*>(bytes);
    for (size_t i = 0; i < count; ++i) {
        out.push_back(static_cast<char>(data[i]));
        if (data[i] == IAC) out.push_back(static_cast<char>(IAC));
    }
}

void AppendNegotiation(std::string& out, uint8_t verb, uint8_t option) {
    out += {static_cast<char>(IAC), static_cast<char>(verb), static_cast<char>(option)};
}

void AppendComPort(std::string& out, uint8_t command, const std::string& value) {
    out += {static_cast<char>(IAC), static_cast<char>(SB), static_cast<char>(ComPort),
            static_cast<char>(command)};
    AppendData(out, value.data(), value.size());
    out += {static_cast<char>(IAC), static_cast<char>(SE)};
}

void Decoder::Feed(const uint8_t* bytes, size_t count, Receiver& receiver) {
    size_t run = 0; // start of the data bytes not yet handed on
    for (size_t i = 0; i < count; ++i) {
        const uint8_t byte = bytes[i];
        switch (state_) {
        case State::Data:
            if (byte != IAC) continue;
            if (i > run) receiver.Data(bytes + run, i - run);
            state_ = State::Command;
            break;
        case State::Command:
            if (byte == IAC) {
                receiver.Data(&byte, 1);
                state_ = State::Data;
            } else if (byte >= WILL && byte <= DONT) {
                verb_ = byte;
                state_ = State::Option;
            } else if (byte == SB) {
                sub_.clear();
                state_ = State::Sub;
            } else {
                state_ = State::Data; // a command without an option, or a swallowed byte
            }
            break;
        case State::Option:
            receiver.Negotiation(verb_, byte);
            state_ = State::Data;
            break;
        case State::Sub:
            if (byte == IAC)
                state_ = State::SubCommand;
            else if (sub_.size() < kLongestSubnegotiation)
                sub_.push_back(static_cast<char>(byte));
            break;
        case State::SubCommand:
            if (byte == IAC) {
                if (sub_.size() < kLongestSubnegotiation) sub_.push_back(static_cast<char>(byte));
                state_ = State::Sub;
                break;
            }
            if (byte == SE && !sub_.empty())
                receiver.Subnegotiation(static_cast<uint8_t>(sub_[0]), sub_.substr(1));
            state_ = State::Data;
            break;
        }
        run = i + 1;
    }
    if (state_ == State::Data && count > run) receiver.Data(bytes + run, count - run);
}

} // namespace telnet
