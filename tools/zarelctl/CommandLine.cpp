#include "CommandLine.h"

#include <charconv>

namespace zarelctl {

const std::vector<OptionRule> &GlobalOptions() {
    static const std::vector<OptionRule> options = {
        {"--port", "PORT",
         "the serial port: a COM number (default 1), a device or its by-id name, or a device "
         "server's rfc2217://host:port or socket://host:port?baud=RATE",
         "-p"},
        {"--auto", nullptr,
         "search every listed port at the five printer rates instead of --port/--baud", "-a"},
        {"--baud", "RATE", "line rate: 9600, 19200 (default), 38400, 57600 or 115200", "-b"},
        {"--pacing", "MODE",
         "how exchanges wait for the printer: polled (default, the protocol's fixed polls) or "
         "events (on the "
         "line, going on the moment the reply is there; for firmware that keeps up with "
         "back-to-back requests)"},
        {"--json", nullptr, "print the result as one JSON object for scripts", "-j"},
        {"--trace", nullptr,
         "write every frame and terminal line sent and received to standard error", "-t"},
        {"--help", nullptr, "show the help of the tool or of the command", "-h"},
        {"--version", nullptr, "show the version of the tool and of the library", "-V"},
    };
    return options;
}

const std::string *CommandLine::Value(const std::string &option) const {
    auto found = values.find(option);
    return found == values.end() ? nullptr : &found->second;
}

namespace {

const OptionRule *FindOption(const std::vector<OptionRule> *options, const std::string &name) {
    if (!options) return nullptr;
    for (const OptionRule &option : *options)
        if (name == option.name || (option.shortName && name == option.shortName)) return &option;
    return nullptr;
}

} // namespace

CommandLine ParseCommandLine(int argc, const char *const *argv,
                             CommandOptionsLookup commandOptions) {
    CommandLine line;
    const std::vector<OptionRule> *ownOptions = nullptr;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        bool looksLikeOption = !optionsEnded && word.size() > 1 && word[0] == '-';
        if (looksLikeOption && word == "--") {
            optionsEnded = true;
            continue;
        }
        if (!looksLikeOption) {
            if (line.command.empty()) {
                line.command = word;
                ownOptions = commandOptions(word);
            } else {
                line.words.push_back(word);
            }
            continue;
        }
        std::string inlineValue;
        bool hasInlineValue = false;
        if (auto equals = word.find('='); equals != std::string::npos && word.rfind("--", 0) == 0) {
            inlineValue = word.substr(equals + 1);
            word.erase(equals);
            hasInlineValue = true;
        }
        const OptionRule *rule = FindOption(&GlobalOptions(), word);
        if (!rule) rule = FindOption(ownOptions, word);
        if (!rule) {
            // A negative number is a value, not an option (for example an offset of -3).
            if (word.size() > 1 && word[0] == '-' && word[1] >= '0' && word[1] <= '9' &&
                !line.command.empty()) {
                line.words.push_back(word);
                continue;
            }
            throw UsageError(
                "unknown option '" + word + "'" +
                (line.command.empty() ? std::string() : " for '" + line.command + "'"));
        }
        word = rule->name;
        if (!rule->valueName) {
            if (hasInlineValue) throw UsageError("option " + word + " takes no value");
            line.values[word] = "";
            continue;
        }
        if (!hasInlineValue) {
            if (i + 1 >= argc)
                throw UsageError("option " + word + " needs a value (" + rule->valueName + ")");
            inlineValue = argv[++i];
        }
        line.values[word] = inlineValue;
    }
    return line;
}

long ParseNumber(const std::string &text, const std::string &what, long min, long max) {
    long value = 0;
    const char *end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < min || value > max)
        throw UsageError(what + " must be a whole number from " + std::to_string(min) + " to " +
                         std::to_string(max) + ", not '" + text + "'");
    return value;
}

} // namespace zarelctl
