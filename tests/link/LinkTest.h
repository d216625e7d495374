// The fixture of the link tests: the library's port open on a virtual-time device whose far end
// a test scripts as the printer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "VirtualPlatform.h"
#include "link/Exchange.h"

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(const std::string &text);

// A reply frame with its checksum: lead byte "0", the code, the data.
Bytes ReplyFrame(uint8_t code, const Bytes &data = {});
// The printer's error reply: code "1", the error number.
Bytes ErrorReply(uint8_t number);

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The printer: called with every block the host writes; what it returns arrives `delayMs`
    // later (nothing arrives for an empty answer).
    using Printer = std::function<Bytes(const Bytes &written)>;
    void PrinterIs(Printer printer, uint32_t delayMs = 1);
    // The same answer to every request frame.
    void AnswerEveryRequest(const Bytes &answer, uint32_t delayMs = 1);
    void Arrive(const Bytes &bytes, uint32_t afterMs = 0);

    Bytes Written() const;
    // How many request frames (blocks beginning with STX) the host wrote.
    int RequestsWritten() const;
    std::vector<uint32_t> Sleeps() const;
    // The limits of the waits on the line (events pacing), in order.
    std::vector<uint32_t> Waits() const;
    uint64_t Now() const;
    int32_t Queued() const;

    VirtualPlatform platform;
};

// A link fixture whose tests run once in each pacing: the rules they check (outcomes, codes,
// attempts, deadlines) hold in both; only the way of waiting differs.
template <typename Fixture>
class InBothPacings : public Fixture, public ::testing::WithParamInterface<Pacing> {
protected:
    void SetUp() override {
        Fixture::SetUp();
        ProcessLink().pacing = this->GetParam();
    }
    bool Polled() const { return this->GetParam() == Pacing::Polled; }
};

std::string PacingName(const ::testing::TestParamInfo<Pacing> &info);

#define INSTANTIATE_IN_BOTH_PACINGS(Suite)                                                         \
    INSTANTIATE_TEST_SUITE_P(Pacings, Suite, ::testing::Values(Pacing::Polled, Pacing::Events),    \
                             PacingName)
