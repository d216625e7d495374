// What the tool needs of the operating system, with a Linux side and a Windows side.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace zarelctl {

// What separates folders in a path: "/" on Linux; "\\", "/" and a drive's ":" on Windows.
extern const char *const PathSeparators;

// True when the file at path may be written: the file itself when it exists, else its folder.
bool MayWrite(const std::string &path);

// The local time of a moment.
std::tm LocalTime(std::time_t moment);

// The folder the running program's file lies in.
std::string ProgramFolder();

// Runs program with args (args[0] its name) in place of this tool and ends with its exit
// status; returns only when it could not be started, with the system's reason.
std::string RunInstead(const std::string &program, std::vector<std::string> args);

} // namespace zarelctl
