#include "LinkTest.h"

#include <algorithm>

#include <zarelcom/zarelcom.h>

#include "link/Frame.h"
#include "link/Library.h"

Bytes ToBytes(const std::string &text) { return Bytes(text.begin(), text.end()); }

Bytes ReplyFrame(uint8_t code, const Bytes &data) {
    const std::size_t n = 2 + data.size();
    Bytes frame(n + kFrameOverhead);
    frame[0] = kStx;
    frame[1] = static_cast<uint8_t>(n >> 8);
    frame[2] = static_cast<uint8_t>(n);
    frame[3] = kLeadByte;
    frame[4] = code;
    std::copy(data.begin(), data.end(), frame.begin() + 5);
    unsigned sum = 0;
    for (std::size_t i = 1; i < n + 3; ++i) sum += frame[i];
    frame[n + 3] = static_cast<uint8_t>(sum);
    frame[n + 4] = kEtx;
    return frame;
}

Bytes ErrorReply(uint8_t number) { return ReplyFrame(kErrorReplyCode, {number}); }

void LinkTest::SetUp() {
    platform.AddDevice("Com1");
    ProcessLink().port.Close();
    ProcessLink().port.UsePlatform(platform);
    ASSERT_TRUE(OpenComPort(1));
}

void LinkTest::TearDown() {
    ProcessLink().pacing = Pacing::Polled;
    ProcessLink().port.Close();
    ProcessLink().port.UsePlatform(SystemPlatform());
}

void LinkTest::PrinterIs(Printer printer, uint32_t delayMs) {
    platform.SetPeer([printer, delayMs](VirtualPlatform &line, const Bytes &block, uint64_t) {
        const Bytes answer = printer(block);
        if (!answer.empty()) line.Arrive(answer, delayMs);
    });
}

void LinkTest::AnswerEveryRequest(const Bytes &answer, uint32_t delayMs) {
    PrinterIs([answer](const Bytes &written) { return written.at(0) == kStx ? answer : Bytes{}; },
              delayMs);
}

void LinkTest::Arrive(const Bytes &bytes, uint32_t afterMs) { platform.Arrive(bytes, afterMs); }

Bytes LinkTest::Written() const { return platform.Written(); }

int LinkTest::RequestsWritten() const {
    int requests = 0;
    for (const auto &block : platform.WriteBlocks())
        if (!block.bytes.empty() && block.bytes[0] == kStx) ++requests;
    return requests;
}

std::vector<uint32_t> LinkTest::Sleeps() const { return platform.Sleeps(); }

std::vector<uint32_t> LinkTest::Waits() const { return platform.Waits(); }

std::string PacingName(const ::testing::TestParamInfo<Pacing> &info) {
    return info.param == Pacing::Polled ? "Polled" : "Events";
}

uint64_t LinkTest::Now() const { return platform.Now(); }

int32_t LinkTest::Queued() const { return static_cast<int32_t>(platform.InQueue()); }
