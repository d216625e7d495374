// Runs a program as a child process and collects what it printed and how it ended, so that tests
// see zarelctl exactly as a script does.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ProgramResult {
    int exitCode = -1; // -1 when it did not end by itself
    std::string out;
    std::string err;
};

struct ProgramRun {
    std::vector<std::string> arguments;             // arguments[0] is the program's path
    std::map<std::string, std::string> environment; // added to (or replacing in) this process's
    bool errorOnTerminal = false; // standard error on a pseudo-terminal, not a pipe
    int timeoutSeconds = 120;     // then it is killed: only to catch hangs
};

ProgramResult RunProgram(const ProgramRun &run);
// The same with standard error on a pipe and the default time limit.
ProgramResult RunProgram(std::vector<std::string> arguments,
                         std::map<std::string, std::string> environment = {});
