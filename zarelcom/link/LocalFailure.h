// Failures on the computer's side of a transfer (a file that cannot be read or written, a full
// disk), kept as the link's port error with the system's reason, so that a caller never takes
// them for the printer's refusal.
#pragma once

#include <string_view>

#include "link/Link.h"

// Keeps "<what>: <the system's text for error> (Error: <error>)", marked as a local failure.
void KeepLocalFailure(Link &link, std::string_view what, int error);
