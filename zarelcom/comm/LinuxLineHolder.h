// Which process holds a terminal line that would not open, so that the refusal can name it.
#pragma once

#include <string>

struct LineHolder {
    int pid = 0;         // 0 when none is seen
    std::string program; // its program's name (/proc/<pid>/comm)
};

// The process holding device: the one whose lock is on it, else one that has it open, leaving out
// a pseudo-terminal's own far end (a simulator keeps the terminal side open beside its master,
// and is not the program in the way). This process may be the holder (a line opened twice).
// Processes of other users cannot be looked into.
LineHolder FindLineHolder(const std::string &device);
