// Which link the calling thread's exports act on.
#pragma once

#include "link/Link.h"

// The calling thread's selected link: the process-wide one unless it selected another.
Link &SelectedLink() noexcept;
// True when the calling thread's selected link was freed while selected; exports then refuse.
bool SelectedLinkFreed() noexcept;
