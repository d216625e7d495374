// Fault descriptions and when a fault strikes.
#include "FaultPlan.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace zarelsim {
namespace {

TEST(FaultTest, ReadsKindValueCommandsAndRepeat) {
    const Fault f = ParseFault("error:16@B,0x7C,@/3");
    EXPECT_EQ(f.kind, FaultKind::ErrorReply);
    EXPECT_EQ(f.value, 16u);
    EXPECT_EQ(f.commands, (std::vector<uint8_t>{'B', 0x7C, '@'}));
    EXPECT_EQ(f.every, 3u);
    const Fault plain = ParseFault("silence");
    EXPECT_EQ(plain.kind, FaultKind::Silence);
    EXPECT_FALSE(plain.value.has_value());
    EXPECT_TRUE(plain.commands.empty());
    EXPECT_EQ(plain.every, 1u);
    EXPECT_EQ(ParseFault("error:0").value, 0u);
    EXPECT_EQ(DescribeFault(f), "error:16@0x42,0x7C,0x40/3");
}

TEST(FaultTest, RefusesWhatItCannotRead) {
    for (const char* text : {"noise", "error:x", "error:300", "delay/0", "stray@BB", "drip:5/"})
        EXPECT_THROW(ParseFault(text), std::invalid_argument) << text;
}

TEST(FaultTest, StrikesTheGivenCommandsEveryKthTime) {
    FaultPlan plan;
    plan.Add(ParseFault("error:7@B/2"));
    plan.Add(ParseFault("delay:40"));
    std::vector<bool> errors;
    for (int i = 0; i < 4; ++i) {
        errors.push_back(plan.For('B', false).errorNumber.has_value());
        EXPECT_FALSE(plan.For('M', false).errorNumber.has_value());
    }
    EXPECT_EQ(errors, (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(plan.For('M', false).delayMs, 40u);
    plan.Clear();
    EXPECT_EQ(plan.For('M', false).delayMs, 0u);
}

TEST(FaultTest, HangUpWithoutCommandsWaitsForATransferToStart) {
    FaultPlan plan;
    plan.Add(ParseFault("hangup:2"));
    EXPECT_FALSE(plan.For('B', false).hangUpAfter.has_value());
    EXPECT_EQ(plan.For('|', true).hangUpAfter, 2u);
}

} // namespace
} // namespace zarelsim
