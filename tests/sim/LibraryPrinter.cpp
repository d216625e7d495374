#include "LibraryPrinter.h"

#include <cstdlib>
#include <stdexcept>

#include <unistd.h>

namespace zarelsim::test {
namespace {
// The process's port directory; the printers remove their entries, the directory goes at exit.
char portDirectory[] = "/tmp/zarelsim-ports-XXXXXX";
void RemovePortDirectory() { rmdir(portDirectory); }
} // namespace

const std::string& PortDirectory() {
    static const std::string directory = [] {
        if (!mkdtemp(portDirectory))
            throw std::runtime_error("cannot make a temporary port directory");
        std::atexit(RemovePortDirectory);
        setenv("ZARELCOM_PORT_DIR", portDirectory, 1);
        return std::string(portDirectory);
    }();
    return directory;
}

Options PrinterOnNewPort(uint32_t baud) {
    static int lastPort = 20;
    Options options;
    options.baud = baud;
    options.comNumber = ++lastPort;
    options.portDirectory = PortDirectory();
    options.rebootMs = 100;
    return options;
}

std::string TakeText(zc_text text) { return Text::Adopt(text).str(); }

LibraryPrinter::LibraryPrinter(Options options)
    : options_(options), port_(options.comNumber), printer_(std::move(options)) {
    printer_.Start();
    SetBaudRate(zarelcom::RateOrdinal(options_.baud)); // kept while closed, used by the open
    if (!OpenComPort(port_))
        throw std::runtime_error("the library cannot open com" + std::to_string(port_) + ": " +
                                 GetLastPortError());
}

LibraryPrinter::~LibraryPrinter() { CloseComPort(); }

} // namespace zarelsim::test
