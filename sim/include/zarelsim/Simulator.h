// zarel-sim in process: a simulated Zarel HP printer at the far end of a pseudo-terminal.
//
//   zarelsim::Options options;
//   options.comNumber = 7;                 // also registers com7 in the port directory
//   zarelsim::Simulator printer(options);  // opens the pseudo-terminal
//   printer.Start();                       // answers on its own thread from now on
//   OpenComPort(7);  ...                   // the library talks to it
//   printer.State().logos[4]               // what arrived in logo slot 5
//   printer.Stop();                        // or let the destructor do it
//
// Every member function may be called from any thread while the printer runs.
#pragma once

#include <zarelsim/Fault.h>
#include <zarelsim/PrinterState.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

namespace zarelsim {

struct Options {
    uint32_t baud = 19200;      // the printer's line rate; it answers only a host at this rate
    int comNumber = 0;          // > 0: register the pseudo-terminal as com<N> in portDirectory
    std::string portDirectory;  // empty: $ZARELCOM_PORT_DIR, else $XDG_CONFIG_HOME/zarelcom/ports
                                // (~/.config/zarelcom/ports)
    std::string stateDirectory; // non-empty: load the printer's state from here, save every change
    bool throttle = false;      // carry bytes at the line's real rate both ways (10 bits a byte):
                                // what the host sends is heard only once it has crossed the wire
    std::string logFile;        // non-empty: both directions in hex with time stamps
    std::ostream* logoArt =
        nullptr;                  // non-null: each received logo drawn as text, one character a dot
                                  // (written on the printer's thread: read it after Stop())
    std::string dumpDirectory;    // non-empty: each received logo written there as LOGOnn.BMP
    uint32_t rebootMs = 1000;     // how long the printer stays deaf after "P" (restart)
    uint32_t noisePerMillion = 0; // line noise: of every million bytes, each way, this many are
                                  // changed at random (1000: 0.1 %)
    uint32_t noiseSeed = 1;       // the noise's random sequence, for runs that repeat
    std::vector<Fault> faults;
};

enum class LinkMode { Packet, Terminal };

// Counts of what the printer saw, for tests.
struct Statistics {
    uint64_t bytesHeard = 0;     // every byte that came in from the host
    uint64_t requests = 0;       // good request frames
    uint64_t badFrames = 0;      // frames answered with an error for their framing
    uint64_t ignoredBytes = 0;   // bytes outside frames in packet mode, or at a foreign line rate
    uint64_t blocksReceived = 0; // "~" blocks stored
    uint64_t blocksSent = 0;     // "}" blocks answered
    uint64_t repliesSent = 0;
};

class Simulator {
public:
    // Opens the pseudo-terminal, loads the state folder and registers com<N>. Throws
    // std::runtime_error saying what failed.
    explicit Simulator(Options options = {});
    ~Simulator(); // stops, removes com<N>
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    const std::string& SlavePath() const; // e.g. /dev/pts/4: what the host opens
    std::string ComEntry() const;         // the registered com<N> path, empty without one

    void Start();       // answer on a thread of the simulator's own
    void Run();         // answer on the calling thread until Stop() or RequestStop()
    void Stop();        // ends Start()'s thread; waits for it
    void RequestStop(); // async-signal-safe: asks Run() to return

    void AddFault(const Fault& fault);
    void ClearFaults();

    PrinterState State() const; // a copy of the printer's state
    void Update(
        const std::function<void(PrinterState&)>& change); // change it (saved with a state folder)
    LinkMode Mode() const;
    uint32_t Baud() const; // the printer's own line rate now
    Statistics Stats() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace zarelsim
