// A minimal printer for the benchmark: a child process on the far end of a pseudo-terminal that
// answers every request frame at once with a good reply (reply code = the command byte, one data
// byte 0).
#pragma once

#include <string>
#include <sys/types.h>

class PtyResponder {
public:
    // Opens the pseudo-terminal, registers it as com<port> in a fresh port directory (and points
    // ZARELCOM_PORT_DIR there), and starts the answering child. Throws std::runtime_error.
    explicit PtyResponder(int port);
    ~PtyResponder();
    PtyResponder(const PtyResponder &) = delete;
    PtyResponder &operator=(const PtyResponder &) = delete;

private:
    int master_ = -1;
    // Kept open: with no terminal side open, the master reads end in an error, not a wait.
    int terminal_ = -1;
    pid_t child_ = -1;
    std::string portDir_;
};
