// The printer search over ports and line rates, and the two link-mode switches.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include <zarelcom/zarelcom.h>

#include "LinkTest.h"
#include "link/Exchange.h"
#include "link/Library.h"

namespace {

Bytes SysInfoReply(int32_t model) {
    Bytes data(20, 0);
    data[4] = static_cast<uint8_t>(model);
    return ReplyFrame('B', data);
}

class SearchTest : public LinkTest {
protected:
    // The printer sits on the line of the open-th successful open, at one line rate.
    void PrinterAt(int open, uint32_t rate, int32_t model = 150) {
        platform.SetPeer([=](VirtualPlatform &line, const Bytes &block, uint64_t) {
            if (line.OpenCount() == open && line.Line().BaudRate == rate && block.at(0) == 0x02)
                line.Arrive(SysInfoReply(model), 1);
        });
    }
};

// Every try the search asks about, answering 0 from the stopAt-th question on.
struct Tries {
    std::vector<std::pair<int32_t, int32_t>> asked;
    size_t stopAt = SIZE_MAX;
};

zc_bool ZARELCOM_CALL Ask(int32_t port, int32_t rateOrdinal, void *context) {
    auto &tries = *static_cast<Tries *>(context);
    tries.asked.emplace_back(port, rateOrdinal);
    return tries.asked.size() < tries.stopAt;
}

TEST_F(SearchTest, AsksBeforeEachPortAndRateAndOnceForAPortThatDoesNotOpen) {
    platform.AddDevice("Com2");
    PrinterAt(2, 38400); // Com9 does not open: Com2's is the second open
    int32_t list[] = {3, 9, 2};
    Tries tries;
    EXPECT_TRUE(zc_search(list, Ask, &tries));
    EXPECT_EQ(tries.asked, (std::vector<std::pair<int32_t, int32_t>>{
                               {9, ZC_BR9600}, {2, ZC_BR9600}, {2, ZC_BR19200}, {2, ZC_BR38400}}));
    EXPECT_EQ(list[0], 2);
    EXPECT_EQ(list[1], 2);
    EXPECT_TRUE(platform.IsOpen());
}

TEST_F(SearchTest, ANoStopsAtOnceWithTheListUnchangedAndThePortClosed) {
    platform.AddDevice("Com2");
    PrinterAt(3, 9600); // on Com2, never reached
    int32_t list[] = {3, 1, 2};
    Tries tries;
    tries.stopAt = 3;
    EXPECT_FALSE(zc_search(list, Ask, &tries));
    EXPECT_EQ(tries.asked.size(), 3u);
    EXPECT_EQ(RequestsWritten(), 2 * 3) << "two silent rates of three attempts, then nothing";
    EXPECT_EQ(list[0], 3);
    EXPECT_EQ(list[1], 1);
    EXPECT_EQ(list[2], 2);
    EXPECT_FALSE(platform.IsOpen());
}

TEST_F(SearchTest, ListWithoutPortsTriesNothing) {
    int32_t list[] = {1, 7};
    EXPECT_FALSE(AutoConnect(list));
    EXPECT_EQ(list[0], 1);
    EXPECT_EQ(list[1], 7);
    EXPECT_TRUE(Written().empty());
    EXPECT_EQ(platform.OpenCount(), 1);
    EXPECT_TRUE(platform.IsOpen());
    int32_t none[] = {0};
    EXPECT_FALSE(AutoConnect(none));
    EXPECT_FALSE(AutoConnect(nullptr));
}

TEST_F(SearchTest, SecondPortAnsweringAt38400) {
    platform.AddDevice("Com5");
    platform.AddDevice("Com2");
    PrinterAt(3, 38400); // after the fixture's own open and the one of Com5
    int32_t list[] = {3, 5, 2, 99};
    EXPECT_TRUE(AutoConnect(list));
    EXPECT_EQ(list[0], 2);
    EXPECT_EQ(list[1], 2);
    EXPECT_EQ(list[2], 2);
    EXPECT_EQ(list[3], 99);
    EXPECT_TRUE(platform.IsOpen());
    EXPECT_EQ(platform.Line().BaudRate, 38400u);
    // Com5: five silent rates of three attempts; Com2: two silent rates, then the answer.
    EXPECT_EQ(RequestsWritten(), 5 * 3 + 2 * 3 + 1);
}

TEST_F(SearchTest, ModelNumberMustExceed100) {
    PrinterAt(2, 9600, 100);
    int32_t list[] = {2, 1};
    EXPECT_FALSE(AutoConnect(list));
    EXPECT_EQ(list[0], 2);
    EXPECT_EQ(list[1], 1);
    EXPECT_EQ(platform.Line().BaudRate, 115200u) << "left at the last rate tried";
    EXPECT_TRUE(platform.IsOpen());

    PrinterAt(3, 9600, 101);
    EXPECT_TRUE(AutoConnect(list));
    EXPECT_EQ(list[0], 1);
    EXPECT_EQ(list[1], 0);
}

TEST_F(SearchTest, PortErrorIsKeptAndTheSearchGoesOn) {
    platform.AddDevice("Com2");
    PrinterAt(3, 9600);
    platform.FailNext(VirtualPlatform::Operation::SetLineSettings, 5);
    int32_t list[] = {3, 1, 2};
    EXPECT_TRUE(AutoConnect(list));
    EXPECT_EQ(list[0], 2) << "the port that refused its line settings was passed over";
    EXPECT_EQ(list[1], 0);
    EXPECT_STREQ(GetLastPortError(), "Error updating DataControlBlock (Error: 5)");
}

TEST_F(SearchTest, PortThatDoesNotOpenCostsNoExchangeAndLeavesTheLastRateForTheNextOpen) {
    int32_t list[] = {2, 9};
    EXPECT_FALSE(AutoConnect(list));
    EXPECT_TRUE(Written().empty());
    EXPECT_TRUE(Sleeps().empty());
    EXPECT_FALSE(platform.IsOpen());
    ASSERT_TRUE(OpenComPort(1));
    EXPECT_EQ(platform.Line().BaudRate, 115200u);
}

TEST_F(SearchTest, AnEntryWhosePortDoesNotOpenIsPassedOver) {
    AnswerEveryRequest(SysInfoReply(150)); // a printer on the port left open
    for (int32_t entry : {-1, 0, 300}) {
        SCOPED_TRACE(entry);
        if (!platform.IsOpen()) {
            ASSERT_TRUE(OpenComPort(1));
        }
        int32_t list[] = {2, entry};
        EXPECT_FALSE(AutoConnect(list));
        EXPECT_EQ(list[0], 2);
        EXPECT_EQ(RequestsWritten(), 0) << "no exchange with the port left open";
    }
}

TEST_F(SearchTest, AShortAnswerToBIsNoPrinter) {
    for (const Bytes &shortReply : {ReplyFrame('B'), ReplyFrame('B', Bytes(19, 0))}) {
        // An earlier printer's identity stays behind in the receive buffer.
        AnswerEveryRequest(SysInfoReply(150));
        SystemInfo info;
        ASSERT_TRUE(GetSysInfo(&info));
        AnswerEveryRequest(shortReply);
        int32_t list[] = {2, 1};
        EXPECT_FALSE(AutoConnect(list));
        EXPECT_EQ(ProcessLink().lastErrorCode, ZC_ERR_BAD_REPLY);
    }
}

class LinkModeTest : public LinkTest {};

TEST_F(LinkModeTest, PacketModeIsNotReachedOnACodelessAnswer) {
    for (const Bytes &codeless :
         {Bytes{0x02, 0x00, 0x00, 0x00, 0x03}, Bytes{0x02, 0x00, 0x01, 0x30, 0x31, 0x03}}) {
        PrinterIs([&](const Bytes &written) { return written[0] == 0x02 ? codeless : Bytes{}; });
        EXPECT_FALSE(SetStxProtocol());
        EXPECT_EQ(ProcessLink().lastErrorCode, ZC_ERR_BAD_REPLY);
    }
}

TEST_F(LinkModeTest, PacketModeReachedOnSilenceAndAnyStatusAnswer) {
    PrinterIs(
        [](const Bytes &written) { return written[0] == 0x02 ? ReplyFrame('E', {1}) : Bytes{}; });
    EXPECT_TRUE(SetStxProtocol());
    EXPECT_EQ(ProcessLink().terminalStatus, 0);
    EXPECT_EQ(RequestsWritten(), 1);
}

TEST_F(LinkModeTest, PacketModeFailsAfterFiveAnswersWithoutC) {
    PrinterIs([](const Bytes &written) {
        return written[0] == 'S' ? ToBytes("stx.protocol?\r\n") : Bytes{};
    });
    EXPECT_FALSE(SetStxProtocol());
    EXPECT_EQ(ProcessLink().terminalStatus, 2);
    EXPECT_EQ(RequestsWritten(), 0) << "the status query is asked only after silence";
    const Bytes line = {'S', 'T', 'X', '.', 'P', 'R', 'O', 'T', 'O', 'C', 'O', 'L', 0x0D, 0x00};
    Bytes fiveTimes;
    for (int i = 0; i < 5; ++i) fiveTimes.insert(fiveTimes.end(), line.begin(), line.end());
    EXPECT_EQ(Written(), fiveTimes);
}

TEST_F(LinkModeTest, PacketModeTriesAgainWhenTheReadinessCharacterCame) {
    int switches = 0;
    PrinterIs([&](const Bytes &written) {
        if (written[0] == 'S') return ++switches == 1 ? ToBytes("OK....C.") : Bytes{};
        return ReplyFrame('E', {0});
    });
    EXPECT_TRUE(SetStxProtocol());
    EXPECT_EQ(switches, 2);
}

TEST_F(LinkModeTest, PacketModeFailsWhenThePrinterStaysSilent) {
    EXPECT_FALSE(SetStxProtocol());
    EXPECT_EQ(RequestsWritten(), 5 * 3);
}

TEST_F(LinkModeTest, TerminalModeMakesTwentyFiveAttempts) {
    EXPECT_FALSE(SetCmdProtocol());
    Bytes expected = {0x02, 0x00, 0x02, 0x30, 0x80, 0xB2, 0x03};
    expected.insert(expected.end(), 25, 0x0D);
    EXPECT_EQ(Written(), expected);
    EXPECT_EQ(Now(), 25u * 4000);
}

TEST_F(LinkModeTest, TheSwitchToTerminalModeHasLeftBeforeTheFirstPurge) {
    ASSERT_TRUE(SetBaudRate(ZC_BR9600)); // 7 bytes: 7.3 ms on the line
    platform.SendAtLineRate();
    PrinterIs(
        [](const Bytes &written) { return written == Bytes{0x0D} ? ToBytes("CMD: ") : Bytes{}; });
    EXPECT_TRUE(SetCmdProtocol());
    EXPECT_EQ(platform.PurgedUnsent(), 0u);
    EXPECT_EQ(Waits().at(0), 8u) << "the wait is bounded by the switch's wire time";
}

TEST_F(LinkModeTest, TerminalModeEndsAtThePrompt) {
    int returns = 0;
    PrinterIs([&](const Bytes &written) {
        return written == Bytes{0x0D} && ++returns == 3 ? ToBytes("\r\nCMD: ") : Bytes{};
    });
    EXPECT_TRUE(SetCmdProtocol());
    EXPECT_EQ(returns, 3);
}

} // namespace
