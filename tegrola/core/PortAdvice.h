// What the operator can do about a port that did not open, from the library's record of why.
#pragma once

#include <zarelcom/zarelcom.h>

#include <string>

// portName: the port as the operator chose it ("COM3"). "" when the record tells of no failure.
std::string PortOpenAdvice(const std::string &portName, const zc_port_failure_info &failure);
