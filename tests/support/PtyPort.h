// A real pseudo-terminal for tests, reachable by COM number: the library opens the terminal
// side through the entry com<n> of a temporary port directory ($ZARELCOM_PORT_DIR, set on first
// use for the whole test process), and the test plays the far end on the master side.
//
//   PtyPort pty(7);                  // OpenComPort(7) now opens this pseudo-terminal
//   pty.Send({0x02, 0x00});          // bytes the host will read
//   auto got = pty.Receive(5);       // bytes the host wrote (waits up to 2 s for 5)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PtyPort {
public:
    // Opens a pseudo-terminal pair and makes com<number> point at its terminal side. Aborts the
    // test program when the system has no pseudo-terminals.
    explicit PtyPort(int number);
    // Removes the entry and closes both sides.
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // The port directory every PtyPort of this process uses.
    static std::string Directory();

    int Number() const { return number_; }
    // The terminal side's device path (/dev/pts/N) and the com<n> entry leading to it.
    const std::string& TerminalPath() const { return terminalPath_; }
    std::string EntryPath() const;
    int Master() const { return master_; }

    // The line rate the terminal side is set to, in bit/s.
    uint32_t LineRate() const;

    // Writes every byte to the master side (the host reads them).
    void Send(const std::vector<uint8_t>& bytes);
    // Reads from the master side until count bytes came or timeoutMs passed.
    std::vector<uint8_t> Receive(size_t count, int timeoutMs = 2000);
    // Reads whatever comes within quietMs (for checking that nothing was sent).
    std::vector<uint8_t> Drain(int quietMs = 50);

private:
    int number_;
    int master_ = -1;
    int terminal_ = -1; // kept open, so that the master never sees a hang-up between opens
    std::string terminalPath_;
};
