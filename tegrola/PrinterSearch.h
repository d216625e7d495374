// The automatic connection's search for the printer, as the library's AutoConnect makes it (every
// listed port at the five printer rates until one answers with its system information), but
// made of single library calls so that it can be stopped: between tries, and during a try that
// waits for a silent port, whose port is then closed. A silent port costs AutoConnect about 30 s.
#pragma once

#include <cstdint>
#include <mutex>

class TPrinterSearch {
public:
    // Takes and rewrites the candidate list as AutoConnect does: list[0] one more than the number
    // of ports, list[1..] the COM numbers. True when a printer answered: list[0] is then the
    // position of its port, list[1] the printer baud index (0-4), and the port stays open at that
    // rate. False when none answered or the search was stopped.
    bool Run(int32_t *list);
    // From any thread: Run returns false soon, within about a second and a half, and starts no
    // further try.
    void Stop();

private:
    // Opens the port unless the search was stopped, as one step against Stop.
    bool OpenUnlessStopped(int32_t port);
    bool Stopped();

    std::mutex FLock;
    bool FStopped = false;
};
