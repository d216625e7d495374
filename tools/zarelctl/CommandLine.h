// The words and options of one zarelctl invocation, taken apart without any knowledge of what the
// commands do: global options anywhere on the line, each command's own options after its name.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace zarelctl {

// One option a command (or the tool) accepts. A null valueName makes it a flag.
struct OptionRule {
    const char *name;      // with its dashes: "--slot", "-o"
    const char *valueName; // "N", "FILE"; null for a flag
    const char *help;
    const char *shortName = nullptr; // "-p" for "--port", or null
};

// A mistake on the command line: the tool shows the usage and exits with 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommandLine {
    std::string command;                       // empty when only global options were given
    std::vector<std::string> words;            // the command's positional words, in order
    std::map<std::string, std::string> values; // option name -> value ("" for flags)

    bool Has(const std::string &option) const { return values.count(option) != 0; }
    const std::string *Value(const std::string &option) const;
};

// The options every command accepts.
const std::vector<OptionRule> &GlobalOptions();

// Splits argv. commandOptions gives the options of a command by its name (null when the name is
// unknown, which the caller reports). "--" ends the options; "--name=value" is accepted.
using CommandOptionsLookup = const std::vector<OptionRule> *(*)(const std::string &command);
CommandLine ParseCommandLine(int argc, const char *const *argv,
                             CommandOptionsLookup commandOptions);

// Numbers on the command line: decimal only, the whole word, within [min, max]; otherwise a
// UsageError that names what was wanted.
long ParseNumber(const std::string &text, const std::string &what, long min, long max);

} // namespace zarelctl
