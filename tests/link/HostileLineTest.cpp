// A printer that drips its bytes, and replies too short for what their function reads: no exchange
// is held open past its time, and no stale byte of an earlier reply passes for an answer.
#include <functional>
#include <string>

#include <zarelcom/zarelcom.h>

#include "LinkTest.h"
#include "link/CountedText.h"
#include "link/Exchange.h"
#include "link/Library.h"

namespace {

class HostileLineTest : public LinkTest {
protected:
    // Every byte of `bytes`, one each `intervalMs`, the first one at once.
    void Drip(const Bytes &bytes, uint32_t intervalMs) {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            Arrive({bytes[i]}, static_cast<uint32_t>(i * intervalMs));
    }
};

// The same drips in both pacings: the codes are the same.
class DrippingLine : public InBothPacings<HostileLineTest> {
protected:
    void SetUp() override {
        InBothPacings::SetUp();
        ASSERT_TRUE(SetBaudRate(ZC_BR19200)); // whatever rate an earlier test left
    }
};
INSTANTIATE_IN_BOTH_PACINGS(DrippingLine);

// Milliseconds that count bytes take at 19200 bit/s, ten bits each, rounded up.
uint64_t WireMs(uint64_t count) { return (count * 10 * 1000 + 19199) / 19200; }

Bytes Header(uint16_t n) { return {0x02, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)}; }

TEST_P(DrippingLine, ADrippingReplyEndsWithinItsTime) {
    const Bytes sysInfo = ReplyFrame('B', Bytes(20, 0x11));
    Bytes lateBody = Header(22);
    lateBody.resize(3 + 24, 0x11);
    Bytes oversized = Header(0xFFFF);
    oversized.resize(3 + 0xFFFF + 2, 0x31);
    const struct {
        const char *name;
        Bytes bytes;
        uint32_t intervalMs;
        int32_t code;
        uint64_t replyBytes; // whose wire time the reception may take beyond its 3.2 s
    } cases[] = {
        {"system information at one byte each 0.9 s", sysInfo, 900, ZC_ERR_SHORT_REPLY, 13 + 24},
        {"a body at one byte each 0.2 s", lateBody, 200, ZC_ERR_SHORT_REPLY, 13 + 24},
        {"stray bytes each 0.9 s", Bytes(20, 'x'), 900, ZC_ERR_SILENT, 13},
        {"65535 announced, four bytes a second", oversized, 250, ZC_ERR_NO_LENGTH, 13 + 0xFFFF + 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ClearFiFo();
        const uint64_t start = Now();
        Drip(c.bytes, c.intervalMs);
        EXPECT_FALSE(RcvPack(nullptr));
        EXPECT_EQ(ProcessLink().lastErrorCode, c.code);
        // One last pause of 100 ms at most may end past the time.
        EXPECT_LE(Now() - start, kReceptionMs + WireMs(c.replyBytes) + 100);
        platform.Sleep(static_cast<uint32_t>(c.bytes.size() * c.intervalMs)); // the drip's rest
    }
}

TEST_P(DrippingLine, AStrayThatComesAfterTheLastLookIsNotSeen) {
    // Ten strays 10 ms apart, then one at 150 ms: the eleventh look, at 110 ms, finds nothing.
    Drip(Bytes(10, 'x'), 10);
    Arrive({'x'}, 150);
    EXPECT_FALSE(RcvPack(nullptr));
    EXPECT_EQ(ProcessLink().lastErrorCode, ZC_ERR_SILENT);
}

TEST_F(HostileLineTest, LateBodyWritesBackTheCountThatCame) {
    Bytes reply = Header(40);
    reply.resize(3 + 42, 0x11);
    Drip(reply, 100);
    EXPECT_FALSE(RcvPack(nullptr));
    EXPECT_EQ(ProcessLink().lastErrorCode, ZC_ERR_SHORT_REPLY);
    // 3.2 s and 55 bytes' wire time (29 ms): bytes 0 to 32 came, the STX and length less.
    EXPECT_EQ(Written(), ToBytes("30"));
}

TEST_F(HostileLineTest, ASlowLineGetsItsWireTime) {
    ASSERT_TRUE(SetBaudRate(ZC_BR1200));
    const Bytes reply = ReplyFrame('I', Bytes(300, 0x22)); // 307 bytes: 2.56 s at 1200 bit/s
    Drip(reply, 8);
    EXPECT_TRUE(RcvPack(nullptr));
    EXPECT_EQ(ProcessLink().rcvBuffer[301], 0x22);
}

TEST_F(HostileLineTest, APrinterThatKeepsSendingDoesNotHoldTheTerminalWaits) {
    Drip(Bytes(2000, '.'), 50);
    EXPECT_FALSE(RcvCmdPack(ProcessLink().rcvBuffer));
    EXPECT_EQ(ProcessLink().terminalStatus, 2);
    // 100 ms, at most 39 settle polls of 100 ms, 11 reads of a byte each.
    EXPECT_LE(Now(), 100u + 39 * 100 + 11 * 50);

    const uint64_t start = Now();
    const zc_text longLine = NewText(std::string(200, 'A') + "\r\n");
    EXPECT_FALSE(RcvCmdPack1(longLine, ProcessLink().rcvBuffer));
    ReleaseText(longLine);
    // 100 ms, 39 polls for the first byte at most, 39 settle polls at most.
    EXPECT_LE(Now() - start, 100u + 39 * 100 + 39 * 100);
}

TEST_F(HostileLineTest, AFrameWithoutReplyCodeOrErrorNumberIsNoAnswer) {
    const Bytes cases[] = {
        {0x02, 0x00, 0x00, 0x00, 0x03},       // N = 0
        {0x02, 0x00, 0x01, 0x30, 0x31, 0x03}, // N = 1
        ReplyFrame('1'),                      // an error reply without its number
    };
    for (const Bytes &frame : cases) {
        AnswerEveryRequest(ErrorReply(7));
        EXPECT_EQ(GetPrintStatus(), -1); // leaves 7 behind in the receive buffer
        ProcessLink().lastErrorCode = 42;
        Arrive(frame);
        EXPECT_FALSE(RcvPack(nullptr));
        EXPECT_EQ(ProcessLink().lastErrorCode, ZC_ERR_BAD_REPLY);
    }
}

// What a reader hands out: its result and its outputs, as text.
using Reading = std::function<std::string()>;

std::string Of(std::initializer_list<int64_t> values) {
    std::string text;
    for (int64_t value : values) text += std::to_string(value) + ",";
    return text;
}

TEST_F(HostileLineTest, AReplyTooShortForItsReaderFails) {
    const struct {
        const char *name;
        std::size_t width; // reply data bytes the reader takes
        Reading read;
    } readers[] = {
        {"GetZarelType", 5, [] { return Of({GetZarelType()}); }},
        {"GetSysInfo", 20,
         [] {
             SystemInfo i = {-1, -1, -1, -1, -1};
             return Of(
                 {GetSysInfo(&i), i.SerialNo, i.ModelNo, i.Version, i.RefYear, i.RefMonthDay});
         }},
        {"GetPrintStatus", 1, [] { return Of({GetPrintStatus()}); }},
        {"GetFreeLogoNo", 1, [] { return Of({GetFreeLogoNo()}); }},
        {"GetMeasure", 1, [] { return Of({GetMeasure()}); }},
        {"GetMessageNo", 1, [] { return Of({GetMessageNo()}); }},
        {"GetInkStaus", 1, [] { return Of({GetInkStaus()}); }},
        {"GetBackUpRestoreReg", 1, [] { return Of({GetBackUpRestoreReg()}); }},
        {"GetFreeDiskSpc", 4, [] { return Of({GetFreeDiskSpc()}); }},
        {"GetMaxMsg", 2, [] { return Of({GetMaxMsg()}); }},
        {"GetConveyor", 4,
         [] {
             int32_t v = -1;
             return Of({GetConveyor(&v), v});
         }},
        {"GetEncoder", 8,
         [] {
             int32_t r[2] = {-1, -1}, s = -1;
             return Of({GetEncoder(r, &s), r[0], r[1], s});
         }},
        {"GetMsgDelay", 8,
         [] {
             int32_t r[2] = {-1, -1};
             return Of({GetMsgDelay(r), r[0], r[1]});
         }},
        {"GetSysData", 64,
         [] {
             uint8_t d[64] = {};
             return Of({GetSysData(d)}) + std::string(d, d + 64);
         }},
        {"GetLang", 2,
         [] {
             int32_t count = -1, current = -1;
             zc_text names = nullptr;
             const bool ok = GetLang(&count, &current, &names);
             const std::string text(TextView(names));
             ReleaseText(names);
             return Of({ok, count, current}) + text;
         }},
        {"GetSystemClock", 7,
         [] {
             int32_t c[6] = {-1, -1, -1, -1, -1, -1};
             return Of({GetSystemClock(c), c[0], c[1], c[2], c[3], c[4], c[5]});
         }},
        {"GetCYear", 2,
         [] {
             const char *t = "untouched";
             return Of({GetCYear(&t)}) + t;
         }},
        {"GetRollHour", 2,
         [] {
             const char *t = "untouched";
             return Of({GetRollHour(&t)}) + t;
         }},
        {"GetShift", 15,
         [] {
             int8_t s[15] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
             return Of({GetShift(s)}) + std::string(s, s + 15);
         }},
        {"GetCounter", 18,
         [] {
             int32_t r[5] = {3, -1, -1, -1, -1};
             return Of({GetCounter(r, 0), r[0], r[1], r[2], r[3], r[4]});
         }},
        {"GetTDFormat raw", 1 + 0x5A,
         [] { // the count byte 0x5A and its codes
             const char *t = "untouched";
             return Of({GetTDFormat(&t, 0)}) + t;
         }},
        {"GetTDFormat text", 1 + 0x5A,
         [] {
             const char *t = "untouched";
             return Of({GetTDFormat(&t, 1)}) + t;
         }},
        {"StxGetStringC", 2,
         [] {
             const char *t = "untouched";
             return Of({StxGetStringC(1, &t)}) + t;
         }},
        {"StxGetString", 2,
         [] {
             const zc_text t = StxGetString(1);
             const std::string text(TextView(t));
             ReleaseText(t);
             return text;
         }},
    };
    for (const auto &reader : readers) {
        SCOPED_TRACE(reader.name);
        AnswerEveryRequest({});
        const std::string failed = reader.read();
        for (const std::size_t held :
             {std::size_t{0}, std::size_t{1}, std::size_t{2}, reader.width - 1}) {
            if (held >= reader.width) continue;
            SCOPED_TRACE(held);
            AnswerEveryRequest(ReplyFrame('x', Bytes(reader.width, 0x5A))); // stale data behind
            const std::string good = reader.read();
            EXPECT_NE(good, failed) << "the whole reply is an answer";
            AnswerEveryRequest(ReplyFrame('x', Bytes(held, 0x5A)));
            ProcessLink().lastErrorCode = 42;
            EXPECT_EQ(reader.read(), failed);
            EXPECT_EQ(ProcessLink().lastErrorCode, ZC_ERR_BAD_REPLY);
        }
    }
}

} // namespace
