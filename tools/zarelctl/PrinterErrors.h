// A failure that the printer, the line or the port caused, with the library's last error code.
#pragma once

#include <stdexcept>
#include <string>

namespace zarelctl {

// The printer refused, did not answer, or the port could not be used: the tool exits with 1.
// code is the library's last error code that explains it, or -1 when no code was set.
class PrinterFailure : public std::runtime_error {
public:
    PrinterFailure(const std::string &message, int code, std::string reason)
        : std::runtime_error(message), code_(code), reason_(std::move(reason)) {}
    int Code() const { return code_; }
    const std::string &Reason() const { return reason_; }

private:
    int code_;
    std::string reason_;
};

} // namespace zarelctl
