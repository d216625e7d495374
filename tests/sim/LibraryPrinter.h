// A simulated printer as the library sees a real one: registered as com<N> in this test
// process's own port directory, answering on its pseudo-terminal, with the library's port open
// on it at the printer's rate.
#pragma once

#include <zarelsim/Simulator.h>

#include <zarelcom/zarelcom.hpp>

#include <string>

namespace zarelsim::test {

// The port directory of this test process ($ZARELCOM_PORT_DIR, a new temporary folder, set on
// first use).
const std::string& PortDirectory();

// Options of a printer registered under a port number not used before in this process.
Options PrinterOnNewPort(uint32_t baud = 19200);

// A counted text the library can take; released at the end of its scope.
using Text = zarelcom::Text;

// The length-prefixed bytes of a counted text the library returned; the text is released.
std::string TakeText(zc_text text);

class LibraryPrinter {
public:
    explicit LibraryPrinter(
        Options options = PrinterOnNewPort()); // starts it; opens the port on it
    ~LibraryPrinter();                         // closes the port
    Simulator& printer() { return printer_; }
    int port() const { return port_; }

private:
    Options options_;
    int port_;
    Simulator printer_;
};

// The library's rate ordinal for a line rate of the printer's list.

} // namespace zarelsim::test
