// The machine's serial ports as the library lists them, and what to do about one that did not
// open, told from the library's reason for it.
#pragma once

#include <zarelcom/zarelcom.h>

#include <string>
#include <vector>

namespace zarelctl {

// Every port the library lists, in COM order.
std::vector<zc_port_info> ListedPorts();

// A failed open as the library reported it: "Cannot open Com33: /dev/ttyUSB0: Permission denied
// (Error: 13)".
struct OpenRefusal {
    std::string device; // what the port resolved to; empty when it leads to no device
    int error = -1;     // the system's error number
    std::string reason; // the system's words for it
};
OpenRefusal ReadOpenRefusal(const std::string &portName, const std::string &libraryMessage);

// "could not open COM33 (/dev/ttyUSB0): ..." with what to do for this reason. holder names the
// program that holds a busy device ("picocom, process 4242"), or is empty when it is unknown.
std::string OpenAdvice(const std::string &portName, const OpenRefusal &refusal,
                       const std::string &holder);

} // namespace zarelctl
