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

class PacedTerminal : public InBothPacings<TerminalTest> {};
INSTANTIATE_IN_BOTH_PACINGS(PacedTerminal);

TEST_P(PacedTerminal, EchoOfTheLineWithoutItsLastTwoCharacters) {
    PrinterIs([](const Bytes &) { return ToBytes("\r\nSEND.LOGO LOGO01.BMP 100\r\n"); });
    EXPECT_TRUE(TypeLine("SEND.LOGO LOGO01.BMP 1000\r"));
    EXPECT_EQ(Written(), ToBytes("SEND.LOGO LOGO01.BMP 1000\r"));
}

TEST_P(PacedTerminal, ProbeIsCaseSensitive) {
    PrinterIs([](const Bytes &) { return ToBytes("upload.paramete....."); });
    EXPECT_FALSE(TypeLine("UPLOAD.PARAMETER\r"));
}

TEST_P(PacedTerminal, AckOrNakCountsAsTheAnswer) {
    PrinterIs([](const Bytes &) { return Bytes(20, 0x06); });
    EXPECT_TRUE(TypeLine("UPLOAD.PARAMETER\r"));
    PrinterIs([](const Bytes &) {
        Bytes answer(20, '?');
        answer[7] = 0x15;
        return answer;
    });
    EXPECT_TRUE(TypeLine("UPLOAD.PARAMETER\r"));
}

TEST_P(PacedTerminal, ShortExpectedTextMatchesOnlyThroughAckOrNak) {
    Arrive(ToBytes("xyxyxy"));
    EXPECT_FALSE(Answered("xy"));
    Arrive(ToBytes("xy\x06"));
    EXPECT_TRUE(Answered("xy"));
}

TEST_P(PacedTerminal, FewerBytesThanExpectedFailAndStayQueued) {
    Arrive(ToBytes("CMD"));
    EXPECT_FALSE(Answered("CMD: "));
    EXPECT_EQ(Queued(), 3);
}

TEST_P(PacedTerminal, AnswerWaitPacing) {
    EXPECT_FALSE(Answered("CMD: "));
    // 100 ms, then 39 looks 100 ms apart: about 4 s of nothing, slept or waited on the line.
    EXPECT_EQ(Polled() ? Sleeps() : Waits(), std::vector<uint32_t>(40, 100));
    EXPECT_EQ(Now(), 4000u);
}

TEST_P(PacedTerminal, AnswerSettlesUntilTheCountStandsStill) {
    Arrive(ToBytes("CM"), 150);
    Arrive(ToBytes("D: "), 250);
    EXPECT_TRUE(Answered("CMD: "));
    // Polled: looks at 100 and 200 ms, settles at 300 (grew) and 400 (still). On the line: the
    // first byte at 150, the count grew by 250 and stood still for 100 ms after.
    EXPECT_EQ(Now(), Polled() ? 400u : 350u);
}

TEST_P(PacedTerminal, TerminalAnswerLongerThanTheBufferIsCutToIt) {
    Bytes answer = ToBytes("CMD: ");
    answer.resize(1500, '.');
    Arrive(answer);
    EXPECT_TRUE(Answered("CMD: "));
    EXPECT_EQ(Queued(), 1500 - 1024);
}

TEST_P(PacedTerminal, CommandLineAttemptsAreTwoSecondsApart) {
    EXPECT_FALSE(TypeLine("ZAREL.PROGRAM.UPGRAD 10\r"));
    const Bytes line = ToBytes("ZAREL.PROGRAM.UPGRAD 10\r");
    Bytes thrice;
    for (int i = 0; i < 3; ++i) thrice.insert(thrice.end(), line.begin(), line.end());
    EXPECT_EQ(Written(), thrice);
    const auto sleeps = Sleeps();
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 2000u), 3);
    EXPECT_EQ(sleeps.back(), 2000u) << "the pause follows the third attempt too";
    if (!Polled()) {
        EXPECT_EQ(sleeps, std::vector<uint32_t>(3, 2000))
            << "the only pauses left waiting on the line";
    }
}

TEST_P(PacedTerminal, ReadinessStatuses) {
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

TEST_P(PacedTerminal, ReadinessDiscardsMoreThanEightQueuedBytes) {
    Arrive(ToBytes("CCCCCCCCC"));
    EXPECT_FALSE(RcvCmdPack(ProcessLink().rcvBuffer));
    EXPECT_EQ(ProcessLink().terminalStatus, 2);
    Arrive(ToBytes("CCCCCCCCC"));
    Arrive(ToBytes("C"), 1000);
    EXPECT_TRUE(RcvCmdPack(ProcessLink().rcvBuffer)) << "a C arriving after the discard is found";
}

TEST_P(PacedTerminal, ClosedPortEndsTheAnswerWait) {
    CloseComPort();
    EXPECT_FALSE(Answered("CMD: ")) << "no output queue to wait for";
    EXPECT_FALSE(TypeLine("SEND.DOS A.TXT 10\r"));
}

TEST_P(PacedTerminal, RawWriteNeedsAnOpenPort) {
    const zc_text text = NewText("abc");
    EXPECT_TRUE(StringSend(text));
    EXPECT_EQ(Written(), ToBytes("abc"));
    CloseComPort();
    EXPECT_FALSE(StringSend(text));
    ReleaseText(text);
}

} // namespace
