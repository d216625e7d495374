// What the tool needs of the operating system, with a Linux side and a Windows side.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace zarelctl {

// What separates folders in a path: "/" on Linux; "\\", "/" and a drive's ":" on Windows.
extern const char *const PathSeparators;

// Why this computer will not let a fetched file be written to path: a fetched file is made
// beside its target and put in its place when whole, so the target must be a regular file (or not
// there yet) in a folder that takes a new file. An empty reason when it may; error is the
// system's error number for the reason.
struct LocalRefusal {
    std::string reason; // "it is a folder. Name a file in it", ...
    int error = 0;
};
LocalRefusal WhyNotWritable(const std::string &path);

// A local file opened for reading. Only a regular file is opened, and without waiting: a pipe or
// a device would hang the tool or pour out bytes without end. file is null when it did not open,
// and refusal says why; size is the file's length in bytes.
struct ReadableFile {
    std::unique_ptr<FILE, int (*)(FILE *)> file{nullptr, std::fclose};
    int64_t size = 0;
    LocalRefusal refusal;
};
ReadableFile OpenRegularFile(const std::string &path);

// The system's words for a port's error number (errno on Linux, GetLastError's code on Windows).
std::string SystemErrorText(int error);

// The group whose members may open device ("dialout"), or "" where the system has none.
std::string DeviceGroup(const std::string &device);

// Sets an environment variable of this process, for the library to read.
void SetEnvironment(const char *name, const char *value);

// The local time now, also past 2038 (32-bit Windows' time_t ends in January 2038).
std::tm LocalTimeNow();

// The folder the running program's file lies in.
std::string ProgramFolder();

// Runs program with args (args[0] its name) in place of this tool and ends with its exit
// status; returns only when it could not be started, with the system's reason.
std::string RunInstead(const std::string &program, std::vector<std::string> args);

} // namespace zarelctl
