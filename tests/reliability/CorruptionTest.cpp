// Bytes changed on the line: a fetched block whose checksum or ETX is wrong is asked for again
// instead of being taken, a damaged file length fetches nothing, and the simulator's line noise
// garbles what it hears.
#include <gtest/gtest.h>

#include <zarelcom/zarelcom.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <thread>

#include "PrinterOnPty.h"
#include "PtyPort.h"
#include "link/Exchange.h"

namespace {

constexpr int kPortNumber = 15;

// The printer's "}" reply carrying block 1, with its checksum (or, spoilt, one off).
Bytes BlockReply(const Bytes& data, bool spoilt) {
    const Bytes head{0x02, 0x02, 0x04, '0', '}', 0x01, 0xFE};
    Bytes frame(head.size() + data.size() + 2);
    std::copy(head.begin(), head.end(), frame.begin());
    std::copy(data.begin(), data.end(), frame.begin() + long(head.size()));
    uint8_t sum = 0;
    for (size_t i = 1; i < frame.size() - 2; ++i) sum = uint8_t(sum + frame[i]);
    frame[frame.size() - 2] = uint8_t(sum + (spoilt ? 1 : 0));
    frame.back() = 0x03;
    return frame;
}

class CorruptedBlock : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(OpenComPort(kPortNumber)); }
    void TearDown() override { CloseComPort(); }

    // Answers each block request with the next reply; returns how many requests came.
    int Answer(const std::vector<Bytes>& replies) {
        int requests = 0;
        for (const Bytes& reply : replies) {
            if (far.Receive(9, 3000).size() != 9) break;
            ++requests;
            far.Send(reply);
        }
        return requests;
    }

    PtyPort far{kPortNumber};
    const Bytes data = Pattern(512, 4);
};

TEST_F(CorruptedBlock, IsAskedForAgainAndTheGoodCopyTaken) {
    auto fetch = std::async(std::launch::async, [] { return bool(StxGetPack(1)); });
    EXPECT_EQ(Answer({BlockReply(data, true), BlockReply(data, false)}), 2);
    EXPECT_TRUE(fetch.get());
    EXPECT_EQ(0, std::memcmp(ProcessLink().rcvBuffer + 4, data.data(), 512));
}

TEST_F(CorruptedBlock, ThreeTimesOverIsAFailedBlock) {
    auto fetch = std::async(std::launch::async, [] { return bool(StxGetPack(1)); });
    const Bytes spoilt = BlockReply(data, true);
    EXPECT_EQ(Answer({spoilt, spoilt, spoilt}), 3);
    EXPECT_FALSE(fetch.get());
}

TEST_F(CorruptedBlock, ALengthReplyChangedOnTheLineFetchesNothing) {
    TemporaryFile local(Pattern(10, 1), "kept.bin");
    auto fetch = std::async(std::launch::async, [&] {
        const zc_text path = MakeText(local.Path().data(), int32_t(local.Path().size()));
        const zc_text name = MakeText("A.BIN", 5);
        const bool ok = StxUpLoadFile(path, name);
        ReleaseText(name);
        ReleaseText(path);
        return ok;
    });
    ASSERT_EQ(far.Receive(31, 3000).size(), 31u); // the file request
    // "w" with the length 0x0400 (two blocks), its checksum one off.
    far.Send({0x02, 0x00, 0x06, '0', 'w', 0x00, 0x04, 0x00, 0x00, 0xB2, 0x03});
    EXPECT_FALSE(fetch.get());
    EXPECT_TRUE(far.Drain(100).empty()) << "blocks were asked for on a damaged length";
    EXPECT_EQ(local.Content(), Pattern(10, 1));
}

TEST(LineNoise, GarblesWhatThePrinterHears) {
    zarelsim::Options options;
    options.noisePerMillion = 1000000; // every byte
    PrinterOnPty line(options);
    const Bytes request{0x02, 0x00, 0x02, 0x30, 0x42, 0x74, 0x03};
    ASSERT_EQ(sio_write(request.data(), int32_t(request.size())), int32_t(request.size()));
    // Until the printer has heard every byte (at most 10 s, a bound only against a hang).
    for (int look = 0; look < 1000 && line.Printer().Stats().bytesHeard < request.size(); ++look)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const zarelsim::Statistics heard = line.Printer().Stats();
    ASSERT_EQ(heard.bytesHeard, request.size());
    EXPECT_EQ(heard.requests, 0u) << "a request came through a line that changes every byte";
}

} // namespace
