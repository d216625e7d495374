#include "Help.h"

#include <algorithm>

namespace zarelctl {

namespace {

std::string OptionLines(const std::vector<OptionRule> &options) {
    size_t width = 0;
    auto label = [](const OptionRule &option) {
        std::string name =
            option.shortName ? std::string(option.shortName) + ", " : std::string(4, ' ');
        if (option.name[1] != '-') name = "";
        return name + option.name + (option.valueName ? std::string(" ") + option.valueName : "");
    };
    for (const OptionRule &option : options) width = std::max(width, label(option).size());
    std::string text;
    for (const OptionRule &option : options) {
        std::string name = label(option);
        text += "  " + name + std::string(width - name.size() + 2, ' ') + option.help + "\n";
    }
    return text;
}

const char *const exitStatus = "Exit status: 0 done; 1 the printer refused or did not answer, or a "
                               "file or port could not be used\n"
                               "(the message says why and what to do; with --json also its source, "
                               "code and reason); 2 a usage error.\n";

} // namespace

std::string UsageLine(const Command *command) {
    if (!command)
        return "Usage: zarelctl [--port PORT | --auto] [--baud RATE] [--json] [--trace] COMMAND "
               "[ARGUMENTS]";
    return "Usage: zarelctl [--port PORT | --auto] [--baud RATE] [--json] [--trace] " +
           command->name + (command->usage.empty() ? "" : " " + command->usage);
}

std::string ToolHelp() {
    std::string text = UsageLine(nullptr) + "\n\nDrives a Zarel HP marking printer over its serial "
                                            "line, for scripts and production lines.\n\n"
                                            "Commands:\n";
    size_t width = 0;
    for (const Command &command : AllCommands()) width = std::max(width, command.name.size());
    for (const Command &command : AllCommands())
        text += "  " + command.name + std::string(width - command.name.size() + 2, ' ') +
                command.summary + "\n";
    text += "\nGlobal options:\n" + OptionLines(GlobalOptions());
    text += "\nRun 'zarelctl COMMAND --help' for the arguments of a command.\n";
    text += exitStatus;
    return text;
}

std::string CommandHelp(const Command &command) {
    std::string text = UsageLine(&command) + "\n\n" + command.summary + ".\n";
    if (!command.details.empty()) text += "\n" + command.details + "\n";
    if (!command.options.empty()) text += "\nOptions:\n" + OptionLines(command.options);
    // The options every command takes are told once, in the tool's help.
    std::string common;
    for (const OptionRule &option : GlobalOptions())
        common += (common.empty() ? "" : ", ") + std::string(option.name);
    text +=
        "\nOptions of every command (" + common + ") and the exit status: see 'zarelctl --help'.\n";
    return text;
}

} // namespace zarelctl
