// Terminal mode as the host's mode switches and command lines meet it.
#include "Terminal.h"

#include <gtest/gtest.h>

namespace zarelsim {
namespace {

struct Typed {
    std::string echo;
    bool toPacket = false;
    size_t taken = 0;
    std::vector<std::string> announcements;
};

Typed Type(Terminal& terminal, const std::string& text) {
    Terminal::Output out;
    Typed t;
    t.taken = terminal.Feed(reinterpret_cast<const uint8_t*>(text.data()), text.size(), out);
    t.echo.assign(out.toHost.begin(), out.toHost.end());
    t.toPacket = out.toPacketMode;
    t.announcements = out.announcements;
    return t;
}

TEST(TerminalTest, ACarriageReturnBringsThePrompt) {
    Terminal terminal;
    EXPECT_EQ(Type(terminal, "\r").echo, "\r\nCMD: ");
    EXPECT_EQ(Type(terminal, "HELLO\r").echo, "HELLO\r\n?\r\nCMD: ");
}

TEST(TerminalTest, CommandLinesAreEchoedAndRecorded) {
    Terminal terminal;
    for (const std::string line : {"SEND.LOGO LOGO07.BMP 3000", "SEND.DOS prog.bin4096",
                                   "ZAREL.PROGRAM.UPGRAD 2048", "UPLOAD.PARAMETER"}) {
        const Typed t = Type(terminal, line + "\r");
        EXPECT_EQ(t.echo, line + "\r\nCMD: ");
        ASSERT_EQ(t.announcements.size(), 1u);
        EXPECT_EQ(t.announcements[0], line);
    }
}

TEST(TerminalTest, StxProtocolSwitchesBackInSilence) {
    Terminal terminal;
    const std::string line = std::string("STX.PROTOCOL\r") + '\0';
    const Typed t = Type(terminal, line);
    EXPECT_TRUE(t.toPacket);
    EXPECT_EQ(t.echo, "");
    EXPECT_EQ(t.taken, line.size() - 1); // the zero byte is left to packet mode
}

TEST(TerminalTest, HeldEchoComesOutOnceTheLineIsNotTheSwitch) {
    Terminal terminal;
    EXPECT_EQ(Type(terminal, "STX.").echo, "");
    EXPECT_EQ(Type(terminal, "Q").echo, "STX.Q");
    EXPECT_EQ(Type(terminal, "\b").echo, "\b \b");
    EXPECT_EQ(Type(terminal, "\r").echo, "\r\n?\r\nCMD: ");
    EXPECT_EQ(Type(terminal, "S").echo, "");
    EXPECT_EQ(Type(terminal, "E").echo, "SE");
}

TEST(TerminalTest, APacketSentInTerminalModeIsIgnored) {
    Terminal terminal;
    const std::string packet("\x02\x00\x02\x30\x80\xB2\x03", 7);
    EXPECT_EQ(Type(terminal, std::string(packet.data(), 7) + "\r").echo, "\r\nCMD: ");
}

} // namespace
} // namespace zarelsim
