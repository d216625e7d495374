// Descriptors of the lines to the printer (serial devices, device servers' sockets) and of the
// files fetched from it, on Linux.
#pragma once

// A line or a fetched file never takes descriptor 0, 1 or 2 of a program that closed its
// standard streams: what the program (or the trace) writes to standard error must not go down
// the line to the printer or into the user's file.
// Returns fd when it is above them (or negative), else a copy above them (close-on-exec) with fd
// closed; negative with errno set when no copy could be made.
int AboveStandardStreams(int fd);
