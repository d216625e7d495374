// The packet exchange on the virtual-time device: polls, sleeps, retries and error codes.
#include <algorithm>
#include <cstdlib>

#include <zarelcom/zarelcom.h>

#include "LinkTest.h"
#include "link/Exchange.h"
#include "link/Library.h"

namespace {

// Sets ZARELCOM_PACING as a new link reads it; null removes it.
void SetPacingVariable(const char *value) {
#ifdef _WIN32
    _putenv_s("ZARELCOM_PACING", value ? value : "");
#else
    if (value)
        setenv("ZARELCOM_PACING", value, 1);
    else
        unsetenv("ZARELCOM_PACING");
#endif
}

const Bytes kStatusRequest = {0x02, 0x00, 0x02, 0x30, 0x45, 0x77, 0x03};
const Bytes kStatusReply = ReplyFrame('E', {0x00});

class ExchangeTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        ProcessLink().lastErrorCode = 42;
    }
    Bytes Request() const { return kStatusRequest; }
    bool Send() {
        Bytes frame = Request();
        return SendPackToZarel(frame.data());
    }
    bool Send2() {
        Bytes frame = Request();
        return SendPackToZarel2(frame.data());
    }
};

class PacedExchange : public InBothPacings<ExchangeTest> {};
INSTANTIATE_IN_BOTH_PACINGS(PacedExchange);

TEST_P(PacedExchange, SilentPrinterCostsThreeAttemptsOfAboutTwoSecondsAndSetsNoCode) {
    EXPECT_FALSE(Send());
    EXPECT_EQ(RequestsWritten(), 3);
    EXPECT_EQ(ProcessLink().retryCount, 3);
    EXPECT_EQ(ProcessLink().lastErrorCode, 42);
    // Each attempt: 101 polls of 20 ms for the first byte, or one wait on the line as long.
    if (Polled())
        EXPECT_EQ(Sleeps(), std::vector<uint32_t>(303, 20));
    else
        EXPECT_EQ(Waits(), std::vector<uint32_t>(3, 101 * 20));
    EXPECT_EQ(Now(), 3u * 101 * 20);
}

TEST_P(PacedExchange, GoodReplyEndsTheExchangeAtTheFirstAttempt) {
    AnswerEveryRequest(kStatusReply);
    EXPECT_TRUE(Send());
    EXPECT_EQ(ProcessLink().retryCount, 0);
    EXPECT_EQ(Written(), kStatusRequest);
    EXPECT_EQ(ProcessLink().currentLength, 3);
    EXPECT_EQ(Bytes(ProcessLink().rcvBuffer, ProcessLink().rcvBuffer + 5),
              Bytes({0x30, 'E', 0x00, kStatusReply[6], 0x03}));
    EXPECT_EQ(ProcessLink().lastErrorCode, 42) << "a success never resets the code";
}

TEST_F(ExchangeTest, ChecksumOfTheRequestIsFilledIntoTheCallersFrame) {
    AnswerEveryRequest(kStatusReply);
    Bytes frame = {0x02, 0x00, 0x02, 0x30, 0x74, 0x00, 0x03};
    ASSERT_TRUE(SendPackToZarel(frame.data()));
    EXPECT_EQ(frame, Bytes({0x02, 0x00, 0x02, 0x30, 0x74, 0xA6, 0x03}));
}

TEST_F(ExchangeTest, ChecksumWrapsOverALongPayload) {
    AnswerEveryRequest(ReplyFrame('O'));
    Bytes frame(521, 0xFF);
    frame[0] = 0x02;
    frame[1] = 0x02;
    frame[2] = 0x04;
    frame[520] = 0x03;
    ASSERT_TRUE(SendPackToZarel(frame.data()));
    const unsigned sum = 0x02 + 0x04 + 516 * 0xFF;
    EXPECT_EQ(frame[519], sum & 0xFF);
}

TEST_P(PacedExchange, StrayBytesBeforeTheReply) {
    Bytes tenStray(10, 'x');
    tenStray.insert(tenStray.end(), kStatusReply.begin(), kStatusReply.end());
    AnswerEveryRequest(tenStray);
    EXPECT_TRUE(Send());
    EXPECT_EQ(RequestsWritten(), 1);

    Bytes elevenStray(11, 'x');
    elevenStray.insert(elevenStray.end(), kStatusReply.begin(), kStatusReply.end());
    Arrive(elevenStray);
    EXPECT_FALSE(RcvPack(nullptr));
    EXPECT_EQ(ProcessLink().lastErrorCode, 100);
}

TEST_P(PacedExchange, ShortReplyGives102AndTellsThePrinterTheCountInDecimal) {
    const Bytes full = ReplyFrame('E', Bytes(20, 0x11));
    AnswerEveryRequest(Bytes(full.begin(), full.begin() + 3 + 12));
    EXPECT_FALSE(Send());
    EXPECT_EQ(ProcessLink().lastErrorCode, 102);
    Bytes perAttempt = kStatusRequest;
    perAttempt.insert(perAttempt.end(), {'1', '2'});
    Bytes expected;
    for (int i = 0; i < 3; ++i)
        expected.insert(expected.end(), perAttempt.begin(), perAttempt.end());
    EXPECT_EQ(Written(), expected);
}

TEST_F(ExchangeTest, SettlePollsThirtyMsApartUntilTheWholeReplyIsQueued) {
    Arrive(Bytes(kStatusReply.begin(), kStatusReply.begin() + 4));
    Arrive(Bytes(kStatusReply.begin() + 4, kStatusReply.end()), 100);
    EXPECT_TRUE(RcvPack(nullptr));
    EXPECT_EQ(Sleeps(), std::vector<uint32_t>({10, 30, 30, 30}));
}

TEST_F(ExchangeTest, SettleEndsWhenTheCountStoodStillOnMoreThanTenPolls) {
    Arrive(Bytes(kStatusReply.begin(), kStatusReply.begin() + 5));
    EXPECT_FALSE(RcvPack(nullptr));
    EXPECT_EQ(ProcessLink().lastErrorCode, 102);
    std::vector<uint32_t> expected = {10};
    expected.insert(expected.end(), 11, 30);
    const auto sleeps = Sleeps();
    EXPECT_EQ(std::vector<uint32_t>(sleeps.begin(), sleeps.begin() + 12), expected);
    EXPECT_TRUE(
        std::all_of(sleeps.begin() + 12, sleeps.end(), [](uint32_t ms) { return ms == 10; }));
    EXPECT_EQ(Now(), 10u + 11 * 30 + 1000)
        << "then the read waits out the port's read time-out for the rest";
    EXPECT_EQ(Written(), ToBytes("2"));
}

TEST_P(PacedExchange, BodyThatStopsComingGives102AfterTheReadTimeOut) {
    Arrive(Bytes(kStatusReply.begin(), kStatusReply.begin() + 5));
    EXPECT_FALSE(RcvPack(nullptr));
    EXPECT_EQ(ProcessLink().lastErrorCode, 102);
    // Polled: the STX probe, the settle's 11 polls, then 1 s of quiet. On the line there is no
    // settle to make: 1 s of quiet after the bytes that came.
    EXPECT_EQ(Now(), Polled() ? 10u + 11 * 30 + 1000 : 1000u);
    EXPECT_EQ(Written(), ToBytes("2"));
}

TEST_F(ExchangeTest, EventsPacingGoesOnTheMomentTheWholeReplyIsThere) {
    ProcessLink().pacing = Pacing::Events;
    AnswerEveryRequest(Bytes(kStatusReply.begin(), kStatusReply.begin() + 4), 7);
    Arrive(Bytes(kStatusReply.begin() + 4, kStatusReply.end()), 23);
    EXPECT_TRUE(Send());
    EXPECT_EQ(Now(), 23u);
    EXPECT_TRUE(Sleeps().empty());
}

TEST_F(ExchangeTest, PacingIsChosenPerLinkOrByTheEnvironment) {
    Link &link = ProcessLink();
    EXPECT_TRUE(zc_set_pacing(ZC_PACING_EVENTS));
    EXPECT_EQ(link.pacing, Pacing::Events);
    EXPECT_FALSE(zc_set_pacing(2));
    EXPECT_FALSE(zc_set_pacing(-1));
    EXPECT_EQ(link.pacing, Pacing::Events) << "a refused value changes nothing";

    zc_link *other = zc_link_new();
    zc_link *previous = zc_link_select(other);
    EXPECT_TRUE(zc_set_pacing(ZC_PACING_POLLED));
    zc_link_select(previous);
    zc_link_free(other);
    EXPECT_EQ(link.pacing, Pacing::Events) << "another link's pacing is its own";
    EXPECT_TRUE(zc_set_pacing(ZC_PACING_POLLED));
    EXPECT_EQ(link.pacing, Pacing::Polled);

    for (const auto &[setting, pacing] : {std::pair{"events", Pacing::Events},
                                          {"polled", Pacing::Polled},
                                          {"EVENTS", Pacing::Polled},
                                          {"", Pacing::Polled}}) {
        SetPacingVariable(setting);
        EXPECT_EQ(InitialPacing(), pacing) << setting;
        EXPECT_EQ(Link().pacing, pacing) << "a new link starts with the process's setting";
    }
    SetPacingVariable(nullptr);
    EXPECT_EQ(InitialPacing(), Pacing::Polled);
}

TEST_P(PacedExchange, MissingLengthGives101) {
    Arrive({0x02, 0x00});
    EXPECT_FALSE(RcvPack(nullptr));
    EXPECT_EQ(ProcessLink().lastErrorCode, 101);
}

TEST_P(PacedExchange, SilenceAfterTheFirstByteGives103) {
    Arrive({'x'});
    EXPECT_FALSE(RcvPack(nullptr));
    EXPECT_EQ(ProcessLink().lastErrorCode, 103);
    // 11 probes of 10 ms; the 10 that found nothing also slept 100 ms after their read. Waiting
    // on the line, each probe waits up to the moment its polled twin looks (the first takes the
    // byte at once, the second waits 20 ms, the others 110 ms), and the last silence is not waited.
    const auto sleeps = Sleeps();
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 10u), Polled() ? 11 : 0);
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 100u), Polled() ? 10 : 0);
    const auto waits = Waits();
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 110u), Polled() ? 0 : 9);
    EXPECT_EQ(Now(), Polled() ? 1110u : 1010u);
}

TEST_P(PacedExchange, ErrorReplySetsThePrinterNumberAndRetries) {
    AnswerEveryRequest(ErrorReply(7));
    EXPECT_FALSE(Send());
    EXPECT_EQ(RequestsWritten(), 3);
    EXPECT_EQ(ProcessLink().lastErrorCode, 7);
    EXPECT_FALSE(Send2());
    EXPECT_EQ(RequestsWritten(), 6);
    EXPECT_EQ(ProcessLink().retryCount, 3);
}

TEST_P(PacedExchange, Error16StopsOnlyTheCommandExchange) {
    AnswerEveryRequest(ErrorReply(16));
    EXPECT_FALSE(Send());
    EXPECT_EQ(RequestsWritten(), 1);
    EXPECT_EQ(ProcessLink().retryCount, 0);
    EXPECT_EQ(ProcessLink().lastErrorCode, 16);
    EXPECT_FALSE(Send2());
    EXPECT_EQ(RequestsWritten(), 4);
}

TEST_P(PacedExchange, Error16LeftByAnEarlierExchangeDoesNotCutTheNextShort) {
    ProcessLink().lastErrorCode = 16;
    EXPECT_FALSE(Send());
    EXPECT_EQ(RequestsWritten(), 3);
    AnswerEveryRequest(ErrorReply(7));
    ProcessLink().lastErrorCode = 16;
    EXPECT_FALSE(Send());
    EXPECT_EQ(RequestsWritten(), 6);
}

TEST_P(PacedExchange, ReplyChecksumAndEtxAreNotChecked) {
    Bytes reply = kStatusReply;
    reply[6] ^= 0x5A;
    reply[7] = 'z';
    AnswerEveryRequest(reply);
    EXPECT_TRUE(Send());
}

TEST_P(PacedExchange, ClosedPortFailsEveryAttemptWithoutWaiting) {
    CloseComPort();
    EXPECT_FALSE(Send());
    EXPECT_EQ(ProcessLink().retryCount, 3);
    EXPECT_TRUE(Sleeps().empty());
    EXPECT_EQ(ProcessLink().lastErrorCode, 42);
}

TEST_P(PacedExchange, ReplyLongerThanTheBufferIsRefusedAndDroppedWhole) {
    Bytes oversized = {0x02, 0x03, 0xFF}; // N = 1023: N + 2 does not fit
    oversized.resize(3 + 1023 + 2, 0x31);
    Arrive(oversized);
    Arrive(kStatusReply);
    EXPECT_FALSE(RcvPack(nullptr));
    EXPECT_EQ(ProcessLink().lastErrorCode, 101);
    EXPECT_TRUE(RcvPack(nullptr)) << "the next reply is read whole";
    EXPECT_EQ(ProcessLink().rcvBuffer[1], 'E');
}

TEST_P(PacedExchange, ReplyFillingTheBufferExactlyIsGood) {
    Arrive(ReplyFrame('E', Bytes(1020, 0x22))); // N = 1022, N + 2 = 1024
    EXPECT_TRUE(RcvPack(nullptr));
    EXPECT_EQ(ProcessLink().rcvBuffer[1021], 0x22);
}

} // namespace
