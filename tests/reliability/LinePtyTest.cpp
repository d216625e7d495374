// The library and the simulated printer on one pseudo-terminal: they agree on every line rate,
// and a purge never takes back bytes the port has already written.
#include <gtest/gtest.h>

#include <zarelcom/zarelcom.h>

#include "PrinterOnPty.h"
#include "PtyPort.h"

namespace {

TEST(LinePty, PrinterAnswersAtEachOfItsLineRates) {
    for (uint32_t rate : {9600u, 19200u, 38400u, 57600u, 115200u}) {
        zarelsim::Options options;
        options.baud = rate;
        PrinterOnPty line(options);
        SystemInfo info{};
        EXPECT_TRUE(GetSysInfo(&info)) << rate << " bit/s";
        EXPECT_EQ(info.ModelNo, 230) << rate << " bit/s";
    }
}

// The switch to terminal mode writes its packet and purges at once; the far end must still get
// the packet when it reads late. Many rounds, because the pseudo-terminal hands bytes over on a
// kernel worker, so a purge takes them back only when it comes first.
TEST(LinePty, BytesWrittenBeforeAPurgeStillReachTheFarEnd) {
    PtyPort far(13);
    ASSERT_TRUE(OpenComPort(13));
    const Bytes packet{0x02, 0x00, 0x02, 0x30, 0x80, 0xB2, 0x03};
    constexpr int kRounds = 300;
    for (int round = 0; round < kRounds; ++round) {
        ASSERT_EQ(sio_write(packet.data(), int32_t(packet.size())), int32_t(packet.size()));
        ClearFiFo();
    }
    const Bytes got = far.Receive(packet.size() * kRounds);
    EXPECT_EQ(got.size(), packet.size() * kRounds);
    CloseComPort();
}

} // namespace
