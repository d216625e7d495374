// Network port names and the telnet layer of RFC 2217, without a network.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comm/NetworkPortName.h"
#include "comm/Telnet.h"

namespace {

TEST(NetworkPortName, Parses) {
    const struct {
        const char* name;
        bool valid, rfc2217;
        const char* host;
        uint16_t port;
        uint32_t baud;
    } cases[] = {
        {"rfc2217://10.0.4.17:4001", true, true, "10.0.4.17", 4001, 0},
        {"RFC2217://printer-7.plant:2001", true, true, "printer-7.plant", 2001, 0},
        {"rfc2217://[fe80::1]:4001", true, true, "fe80::1", 4001, 0},
        {"socket://127.0.0.1:7000?baud=19200", true, false, "127.0.0.1", 7000, 19200},
        {"socket://127.0.0.1:7000", true, false, "127.0.0.1", 7000, 0},
        {"rfc2217://host", false, false, "", 0, 0},
        {"rfc2217://host:0", false, false, "", 0, 0},
        {"rfc2217://host:65536", false, false, "", 0, 0},
        {"rfc2217://:4001", false, false, "", 0, 0},
        {"rfc2217://[::1]4001", false, false, "", 0, 0},
        {"rfc2217://host:4001?baud=19200", false, false, "", 0, 0}, // it sets the rate itself
        {"socket://host:4001?baud=fast", false, false, "", 0, 0},
        {"socket://host:4001?parity=even", false, false, "", 0, 0},
    };
    for (const auto& c : cases) {
        NetworkPortName parsed;
        std::string error;
        EXPECT_TRUE(IsNetworkPortName(c.name)) << c.name;
        ASSERT_EQ(ParseNetworkPortName(c.name, parsed, error), c.valid) << c.name << ": " << error;
        if (!c.valid) {
            EXPECT_FALSE(error.empty()) << c.name;
            continue;
        }
        EXPECT_EQ(parsed.rfc2217, c.rfc2217) << c.name;
        EXPECT_EQ(parsed.host, c.host) << c.name;
        EXPECT_EQ(parsed.port, c.port) << c.name;
        EXPECT_EQ(parsed.baud, c.baud) << c.name;
    }
    EXPECT_FALSE(IsNetworkPortName("/dev/ttyUSB0"));
    EXPECT_FALSE(IsNetworkPortName("Com3"));
}

// What the decoder found, written out: data as it is, commands in brackets.
class Transcript : public telnet::Receiver {
public:
    void Data(const uint8_t* bytes, size_t count) override { text.append(bytes, bytes + count); }
    void Negotiation(uint8_t verb, uint8_t option) override {
        text += "[" + std::to_string(verb) + " " + std::to_string(option) + "]";
    }
    void Subnegotiation(uint8_t option, const std::string& body) override {
        text += "[sb " + std::to_string(option);
        for (unsigned char c : body) text += " " + std::to_string(c);
        text += "]";
    }
    std::string text;
};

TEST(Telnet, DecodesDataAndCommandsInAnyPieces) {
    const struct {
        std::vector<uint8_t> stream;
        const char* found;
    } cases[] = {
        {{'a', 0xFF, 0xFF, 'b'},
         "a\xFF"
         "b"},                                // a doubled 0xFF is one data byte
        {{'a', 0xFF, 'x', 'b'}, "ab"},        // an undoubled one swallows the next
        {{0xFF, 0xFB, 44, 'c'}, "[251 44]c"}, // WILL COM-PORT-OPTION
        {{0xFF, 0xF1, 'd'}, "d"},             // NOP
        {{0xFF, 0xFA, 44, 101, 0, 0, 0x96, 0, 0xFF, 0xF0}, "[sb 44 101 0 0 150 0]"},
        {{0xFF, 0xFA, 44, 112, 0xFF, 0xFF, 0xFF, 0xF0}, "[sb 44 112 255]"}, // 0xFF in a value
        {{0xFF, 0xFA, 44, 107, 0xFF, 0x01, 'e'}, "e"}, // a broken sub-negotiation is dropped
    };
    for (const auto& c : cases) {
        // Whole, and one byte at a time: a command split across reads is the same command.
        for (size_t piece : {c.stream.size(), size_t(1)}) {
            telnet::Decoder decoder;
            Transcript transcript;
            for (size_t at = 0; at < c.stream.size(); at += piece)
                decoder.Feed(c.stream.data() + at, std::min(piece, c.stream.size() - at),
                             transcript);
            EXPECT_EQ(transcript.text, c.found) << "in pieces of " << piece;
        }
    }
}

TEST(Telnet, EncodesDataAndComPortRequests) {
    std::string out;
    const uint8_t data[] = {1, 0xFF, 2};
    telnet::AppendData(out, data, sizeof data);
    telnet::AppendComPort(out, telnet::PurgeData, std::string(1, '\xFF'));
    EXPECT_EQ(out, std::string("\x01\xFF\xFF\x02\xFF\xFA\x2C\x0C\xFF\xFF\xFF\xF0", 12));
}

} // namespace
