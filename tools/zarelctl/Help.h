// The tool's --help and each command's --help.
#pragma once

#include "Command.h"

#include <string>

namespace zarelctl {

std::string ToolHelp();
std::string CommandHelp(const Command &command);
// The one-line usage shown with a usage error.
std::string UsageLine(const Command *command);

} // namespace zarelctl
