// A zarelctl command: its name, how it is called, its help, and what it does.
#pragma once

#include "CommandLine.h"
#include "Session.h"

#include <string>
#include <vector>

namespace zarelctl {

struct Command {
    std::string name;
    std::string usage;   // the arguments after the name, e.g. "FILE [--slot N]"
    std::string summary; // one line for the tool's command list
    std::string details; // the rest of the command's --help
    std::vector<OptionRule> options;
    // Takes the arguments apart first, then (when it talks to the printer) calls
    // session.Connect(), so that a usage error never waits for a printer.
    void (*run)(Session &session);
};

// The commands by family, each defined beside the code that runs them.
std::vector<Command> PortCommands();
std::vector<Command> QueryCommands();
std::vector<Command> SettingCommands();
std::vector<Command> HeadCommands();
std::vector<Command> ClockCommands();
std::vector<Command> TransferCommands();
std::vector<Command> LogoCommands();

// Every command, in the order the help lists them.
const std::vector<Command> &AllCommands();
const Command *FindCommand(const std::string &name);

} // namespace zarelctl
