// Terminal mode on the virtual-time device: echoes, ACK and NAK, the readiness character and the
// pacing of the command-line attempts.
#include <algorithm>

#include <zarelcom/zarelcom.h>

#include "LinkTest.h"
#include "link/CountedText.h"
#include "link/Exchange.h"
#include "link/Library.h"

namespace {

class TerminalTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        ProcessLink().lastErrorCode = 42;
    }
    void TearDown() override {
        EXPECT_EQ(ProcessLink().lastErrorCode, 42) << "terminal mode never sets the error code";
        LinkTest::TearDown();
    }
    bool TypeLine(const std::string &line) {
        const zc_text text = NewText(line);
        const bool echoed = SendTermCmd(text);
        ReleaseText(text);
        return echoed;
    }
    bool Answered(const std::string &expected) {
        const zc_text text = NewText(expected);
        const bool answered = RcvCmdPack1(text, ProcessLink().rcvBuffer);
        ReleaseText(text);
        return answered;
    }
};

TEST_F(TerminalTest, EchoOfTheLineWithoutItsLastTwoCharacters) {
    PrinterIs([](const Bytes &) { return ToBytes("\r\nSEND.LOGO LOGO01.BMP 100\r\n"); });
    EXPECT_TRUE(TypeLine("SEND.LOGO LOGO01.BMP 1000\r"));
    EXPECT_EQ(Written(), ToBytes("SEND.LOGO LOGO01.BMP 1000\r"));
}

TEST_F(TerminalTest, ProbeIsCaseSensitive) {
    PrinterIs([](const Bytes &) { return ToBytes("upload.paramete....."); });
    EXPECT_FALSE(TypeLine("UPLOAD.PARAMETER\r"));
}

TEST_F(TerminalTest, AckOrNakCountsAsTheAnswer) {
    PrinterIs([](const Bytes &) { return Bytes(20, 0x06); });
    EXPECT_TRUE(TypeLine("UPLOAD.PARAMETER\r"));
    PrinterIs([](const Bytes &) {
        Bytes answer(20, '?');
        answer[7] = 0x15;
        return answer;
    });
    EXPECT_TRUE(TypeLine("UPLOAD.PARAMETER\r"));
}

TEST_F(TerminalTest, ShortExpectedTextMatchesOnlyThroughAckOrNak) {
    Arrive(ToBytes("xyxyxy"));
    EXPECT_FALSE(Answered("xy"));
    Arrive(ToBytes("xy\x06"));
    EXPECT_TRUE(Answered("xy"));
}

TEST_F(TerminalTest, FewerBytesThanExpectedFailAndStayQueued) {
    Arrive(ToBytes("CMD"));
    EXPECT_FALSE(Answered("CMD: "));
    EXPECT_EQ(Queued(), 3);
}

TEST_F(TerminalTest, AnswerWaitPacing) {
    EXPECT_FALSE(Answered("CMD: "));
    // 100 ms, then 39 looks 100 ms apart: about 4 s of nothing.
    EXPECT_EQ(Sleeps(), std::vector<uint32_t>(40, 100));
    EXPECT_EQ(Now(), 4000u);
}

TEST_F(TerminalTest, AnswerSettlesUntilTheCountStandsStill) {
    Arrive(ToBytes("CM"), 150);
    Arrive(ToBytes("D: "), 250);
    EXPECT_TRUE(Answered("CMD: "));
    EXPECT_EQ(Now(), 400u) << "polls at 100 and 200 ms, settles at 300 (grew) and 400 (still)";
}

TEST_F(TerminalTest, TerminalAnswerLongerThanTheBufferIsCutToIt) {
    Bytes answer = ToBytes("CMD: ");
    answer.resize(1500, '.');
    Arrive(answer);
    EXPECT_TRUE(Answered("CMD: "));
    EXPECT_EQ(Queued(), 1500 - 1024);
}

TEST_F(TerminalTest, CommandLineAttemptsAreTwoSecondsApart) {
    EXPECT_FALSE(TypeLine("ZAREL.PROGRAM.UPGRAD 10\r"));
    const Bytes line = ToBytes("ZAREL.PROGRAM.UPGRAD 10\r");
    Bytes thrice;
    for (int i = 0; i < 3; ++i) thrice.insert(thrice.end(), line.begin(), line.end());
    EXPECT_EQ(Written(), thrice);
    const auto sleeps = Sleeps();
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 2000u), 3);
    EXPECT_EQ(sleeps.back(), 2000u) << "the pause follows the third attempt too";
}

TEST_F(TerminalTest, ReadinessStatuses) {
    EXPECT_FALSE(RcvCmdPack(ProcessLink().rcvBuffer));
    EXPECT_EQ(ProcessLink().terminalStatus, 0);

    Arrive(ToBytes("C...."));
    EXPECT_FALSE(RcvCmdPack(ProcessLink().rcvBuffer));
    EXPECT_EQ(ProcessLink().terminalStatus, 1);
    ClearFiFo();

    Arrive(ToBytes("........"));
    EXPECT_FALSE(RcvCmdPack(ProcessLink().rcvBuffer));
    EXPECT_EQ(ProcessLink().terminalStatus, 2);

    Arrive(ToBytes(".....C.."));
    EXPECT_TRUE(RcvCmdPack(ProcessLink().rcvBuffer));
}

TEST_F(TerminalTest, ReadinessDiscardsMoreThanEightQueuedBytes) {
    Arrive(ToBytes("CCCCCCCCC"));
    EXPECT_FALSE(RcvCmdPack(ProcessLink().rcvBuffer));
    EXPECT_EQ(ProcessLink().terminalStatus, 2);
    Arrive(ToBytes("CCCCCCCCC"));
    Arrive(ToBytes("C"), 1000);
    EXPECT_TRUE(RcvCmdPack(ProcessLink().rcvBuffer)) << "a C arriving after the discard is found";
}

TEST_F(TerminalTest, ClosedPortEndsTheAnswerWait) {
    CloseComPort();
    EXPECT_FALSE(Answered("CMD: ")) << "no output queue to wait for";
    EXPECT_FALSE(TypeLine("SEND.DOS A.TXT 10\r"));
}

TEST_F(TerminalTest, RawWriteNeedsAnOpenPort) {
    const zc_text text = NewText("abc");
    EXPECT_TRUE(StringSend(text));
    EXPECT_EQ(Written(), ToBytes("abc"));
    CloseComPort();
    EXPECT_FALSE(StringSend(text));
    ReleaseText(text);
}

} // namespace
