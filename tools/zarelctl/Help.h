// The tool's --help and each command's --help.
#pragma once

#include "Command.h"

#include <string>

namespace zarelctl {

std::string ToolHelp();
// A command's own help; its last line sends the reader to the tool's help for the options every
// command takes (the man page cuts each command's help there).
std::string CommandHelp(const Command &command);
// The one-line usage shown with a usage error.
std::string UsageLine(const Command *command);

} // namespace zarelctl
