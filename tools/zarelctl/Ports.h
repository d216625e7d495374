// The machine's serial ports as the library lists them, and what to do about one that did not
// open, told from the library's record of why.
#pragma once

#include <zarelcom/zarelcom.h>

#include <string>
#include <vector>

namespace zarelctl {

// Every port the library lists, in COM order.
std::vector<zc_port_info> ListedPorts();

// The system's words for why the port did not open: "Permission denied", "not a serial port".
std::string OpenReason(const zc_port_failure_info &failure);

// "could not open COM33 (/dev/ttyUSB0): ..." with what to do for this failure, naming the program
// that holds a busy line when the library found it ("picocom, process 4242").
std::string OpenAdvice(const std::string &portName, const zc_port_failure_info &failure);

} // namespace zarelctl
