// The local files of the transfers, the one place that knows the system's file calls (a Linux
// and a Windows side): files to send are read in binary mode with 64-bit lengths, and fetched
// files replace their targets whole (ReplacementFile.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(FILE *file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<FILE, FileCloser>;

// Opens path for reading, in binary mode, when it names a regular file; size gets its length.
// Anything else (a folder, a device, a FIFO or socket) is refused without waiting on it: the open
// does not block, and the check comes before any read. Null when refused or not readable.
FileHandle OpenRegularFile(const std::string &path, int64_t &size);
