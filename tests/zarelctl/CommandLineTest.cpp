// Taking the command line apart: global options anywhere, a command's own options, values in
// both spellings, negative numbers as words, and the mistakes that must be usage errors.
#include "Command.h"
#include "CommandLine.h"

#include <gtest/gtest.h>

using namespace zarelctl;

namespace {

const std::vector<OptionRule> *Lookup(const std::string &name) {
    const Command *command = FindCommand(name);
    return command ? &command->options : nullptr;
}

CommandLine Parse(std::vector<const char *> words) {
    words.insert(words.begin(), "zarelctl");
    return ParseCommandLine(static_cast<int>(words.size()), words.data(), Lookup);
}

TEST(CommandLine, GlobalOptionsBeforeAndAfterTheCommand) {
    CommandLine line =
        Parse({"--port", "3", "send-logo", "logo.bmp", "--json", "--slot=7", "--baud", "38400"});
    EXPECT_EQ(line.command, "send-logo");
    EXPECT_EQ(line.words, std::vector<std::string>{"logo.bmp"});
    EXPECT_EQ(*line.Value("--port"), "3");
    EXPECT_EQ(*line.Value("--slot"), "7");
    EXPECT_EQ(*line.Value("--baud"), "38400");
    EXPECT_TRUE(line.Has("--json"));
    EXPECT_FALSE(line.Has("--auto"));
}

TEST(CommandLine, NegativeNumbersAndDoubleDashAreWords) {
    CommandLine line = Parse({"make-logo", "--left", "-3", "--text", "-x-", "-o", "out.bmp"});
    EXPECT_EQ(*line.Value("--left"), "-3");
    EXPECT_EQ(*line.Value("--text"), "-x-");
    EXPECT_EQ(*line.Value("-o"), "out.bmp");
    EXPECT_EQ(Parse({"counter", "set", "1", "-5", "0", "0", "on"}).words[2], "-5");
    EXPECT_EQ(Parse({"string", "set", "2", "--", "--not-an-option"}).words[2], "--not-an-option");
}

TEST(CommandLine, MistakesAreUsageErrors) {
    EXPECT_THROW(Parse({"info", "--slot", "3"}), UsageError); // another command's option
    EXPECT_THROW(Parse({"--slot", "3", "send-logo", "x"}),
                 UsageError); // before the command it belongs to
    EXPECT_THROW(Parse({"send-logo", "x", "--slot"}), UsageError); // value missing
    EXPECT_THROW(Parse({"info", "--json=yes"}), UsageError);       // a flag with a value
    EXPECT_THROW(Parse({"--frobnicate"}), UsageError);
}

TEST(CommandLine, NumbersAreWholeAndInRange) {
    EXPECT_EQ(ParseNumber("50", "slot", 1, 50), 50);
    EXPECT_EQ(ParseNumber("-7", "offset", -10, 10), -7);
    for (const char *bad : {"", "51", "0", "5x", "x5", " 5", "5.0", "99999999999999999999"})
        EXPECT_THROW(ParseNumber(bad, "slot", 1, 50), UsageError) << bad;
}

} // namespace
